#include "actions/files_and_apps.h"

#include "base/log.h"
#include "base/printable.h"
#include "catalogue/script_quoting.h"
#include "platform/services.h"

namespace hovra::actions {
namespace {

std::string& UuidText() {
  static std::string s_uuid;
  return s_uuid;
}

// A carriage return or line feed in a name would end the entry or the whole listing early
// on the client's side, so such names are not listed.
bool BreaksListing(std::string_view name) {
  return name.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace

std::string GetAppVersion() { return platform::GetHost().AppVersion(); }

void SetUUID(std::string uuid) { UuidText() = std::move(uuid); }

const std::string& GetUUID() { return UuidText(); }

std::string ExpandTilde(std::string_view path) {
  if (path == "~" || path.starts_with("~/"))
    return platform::GetHost().HomeDirectory() + std::string(path.substr(1));
  return std::string(path);
}

void browseFile(const char* path, std::string& out) {
  static LogOnce s_cut, s_oddName;
  std::string folder = ExpandTilde(path == nullptr ? "" : path);
  // Room for the entries: the buffer less the final "\n" and the NUL.
  const size_t limit = out.size() + kFolderListingBytes - 2;
  // The folder is read only until the reply is full: a huge folder costs no more.
  platform::GetWorkspace().VisitDirectory(folder, [&](const platform::DirectoryEntry& entry) {
    if (BreaksListing(entry.name)) {
      if (s_oddName.First())
        Log("browseFile: leaving out a name with a line break in \"%s\"",
            Printable(folder).c_str());
      return true;
    }
    if (out.size() + entry.name.size() + 2 > limit) {
      if (s_cut.First())
        Log("browseFile: the listing of \"%s\" is cut to fit its reply", Printable(folder).c_str());
      return false;
    }
    out += entry.isDirectory ? 'd' : 'f';
    out += entry.name;
    out += '\r';
    return true;
  });
  out += '\n';
}

void LaunchFile(const char* path) {
  std::string file = ExpandTilde(path == nullptr ? "" : path);
  std::string source = catalogue::SubstituteQuoted(kOpenFileFinder.source, file);
  platform::GetScripts().Run(platform::Script(kOpenFileFinder.name, source, file));
}

}  // namespace hovra::actions
