#include "app/config_security.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/config_file.h"
#include "app/document_store.h"
#include "base/log.h"
#include "platform/posix/file_settings_store.h"
#include "platform/posix/private_files.h"

namespace hovra::app {
namespace {

namespace fs = std::filesystem;

constexpr const char* kKeptFiles[] = {platform::posix::kSettingsFileName, kConfigFileName,
                                      kStoreFileName};

std::string ModeText(mode_t mode) {
  char text[8];
  std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
  return text;
}

// What is wrong with `path` (a folder or a file), or empty.
std::string OwnershipProblem(const fs::path& path, const char* what) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};  // missing: made privately when needed
  if (st.st_uid != ::geteuid()) {
    return std::string("the configuration ") + what + " " + path.string() +
           " belongs to another user (uid " + std::to_string(st.st_uid) +
           "); it is not used. Remove it, or give it to this user.";
  }
  if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    return std::string("the configuration ") + what + " " + path.string() +
           " can be changed by other users (mode " + ModeText(st.st_mode) +
           "); it is not used, since it holds the PIN. Make it private with: chmod go-w '" +
           path.string() + "'";
  }
  return {};
}

}  // namespace

std::string CheckConfigFolder(const fs::path& folder) {
  std::error_code ec;
  if (!platform::posix::CreatePrivateFolder(folder, ec)) {
    return "cannot create the configuration folder " + folder.string() + ": " + ec.message();
  }
  std::string problem = OwnershipProblem(folder, "folder");
  for (const char* name : kKeptFiles) {
    if (problem.empty()) problem = OwnershipProblem(folder / name, "file");
  }
  return problem;
}

bool ConfigFolderIsPrivate(const fs::path& folder) {
  std::string problem = CheckConfigFolder(folder);
  if (problem.empty()) return true;
  std::fprintf(stderr, "hovra-server: %s\n", problem.c_str());
  return false;
}

void RaiseDescriptorLimit() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= limit.rlim_max) return;
  rlim_t wanted = limit.rlim_max;
  limit.rlim_cur = wanted;
  if (::setrlimit(RLIMIT_NOFILE, &limit) == 0) return;
  // Some systems refuse an unlimited soft limit; the most a process may open will do.
  constexpr rlim_t kFallback = 10240;
  limit.rlim_cur = kFallback < wanted ? kFallback : wanted;
  if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) {
    Log("cannot raise the limit of open descriptors: %s", std::strerror(errno));
  }
}

}  // namespace hovra::app
