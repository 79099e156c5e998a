#include "platform/journal/journal_workspace.h"

#include <dirent.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "platform/journal/json_line.h"
#include "platform/journal/png_file.h"

namespace hovra::platform::journal {

std::string JournalWorkspace::AbsolutePathForAppBundle(std::string_view bundleId) {
  const auto& installed = desktop_.Config().installed;
  auto found = installed.find(std::string(bundleId));
  return found == installed.end() ? std::string() : found->second;
}

void JournalWorkspace::SetNotificationHandler(std::function<void(const WorkspaceEvent&)> handler) {
  std::lock_guard<std::mutex> lock(handlerMutex_);
  handler_ = std::move(handler);
}

void JournalWorkspace::Notify(const WorkspaceEvent& event) {
  desktop_.ApplyNotice(event);
  std::function<void(const WorkspaceEvent&)> handler;
  {
    std::lock_guard<std::mutex> lock(handlerMutex_);
    handler = handler_;
  }
  if (handler) handler(event);
}

std::vector<ImageRepresentation> JournalWorkspace::IconForFile(std::string_view path) {
  // Each PNG file listed for the application is one representation; a file that cannot
  // be decoded is left out (ReadPngFile says why in the log).
  std::vector<ImageRepresentation> image;
  const auto& icons = desktop_.Config().icons;
  auto found = icons.find(std::string(path));
  if (found == icons.end()) return image;
  for (const std::string& file : found->second) {
    if (std::optional<ImageRepresentation> rep = ReadPngFile(file))
      image.push_back(std::move(*rep));
  }
  return image;
}

void JournalWorkspace::OpenURL(std::string_view url) {
  if (!journal_.Enabled()) return;
  journal_.Write(JsonLine().Text("kind", "openURL").Text("url", url).Finish());
}

std::optional<std::string> JournalWorkspace::ReadPropertyList(std::string_view path) {
  std::ifstream in{std::string(path), std::ios::binary};
  if (!in) return std::nullopt;
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::optional<std::vector<DirectoryEntry>> JournalWorkspace::ListDirectory(std::string_view path) {
  std::vector<DirectoryEntry> entries;
  if (!VisitDirectory(path, [&](const DirectoryEntry& entry) {
        entries.push_back(entry);
        return true;
      })) {
    return std::nullopt;
  }
  return entries;
}

bool JournalWorkspace::VisitDirectory(std::string_view path,
                                      const std::function<bool(const DirectoryEntry&)>& visit) {
  std::string folder(path);
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return false;
  const std::string prefix = folder + (folder.ends_with('/') ? "" : "/");
  DirectoryEntry entry;
  while (dirent* d = ::readdir(dir)) {
    entry.name = d->d_name;
    if (entry.name == "." || entry.name == "..") continue;
#ifdef DT_DIR
    // The kind the folder itself records saves a stat; links are followed, and a file
    // system that records nothing is asked.
    if (d->d_type != DT_UNKNOWN && d->d_type != DT_LNK) {
      entry.isDirectory = d->d_type == DT_DIR;
      if (!visit(entry)) break;
      continue;
    }
#endif
    struct stat st {};
    entry.isDirectory = ::stat((prefix + entry.name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    if (!visit(entry)) break;
  }
  ::closedir(dir);
  return true;
}

}  // namespace hovra::platform::journal
