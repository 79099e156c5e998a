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
  std::string folder(path);
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::vector<DirectoryEntry> entries;
  while (dirent* d = ::readdir(dir)) {
    std::string name = d->d_name;
    if (name == "." || name == "..") continue;
    struct stat st {};
    std::string full = folder + (folder.ends_with('/') ? "" : "/") + name;
    bool isDir = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    entries.push_back(DirectoryEntry{std::move(name), isDir});
  }
  ::closedir(dir);
  return entries;
}

}  // namespace hovra::platform::journal
