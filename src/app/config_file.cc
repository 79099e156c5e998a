#include "app/config_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "base/log.h"
#include "platform/posix/private_files.h"
#include "platform/posix/system_host.h"

namespace hovra::app {
namespace {

ConfigBlock s_hovraSvrCfg{};  // loaded once at start, never written back

}  // namespace

std::filesystem::path UserConfigBase() {
  // A relative $XDG_CONFIG_HOME is invalid and ignored, as the XDG rules ask.
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  // The real user's home, never a simulated desktop's: simulated facts must not move the
  // folder that holds the PIN.
  return std::filesystem::path(platform::posix::SystemHost().HomeDirectory()) / ".config";
}

std::filesystem::path ConfigFolder(const std::optional<std::string>& overrideDir) {
  if (overrideDir && !overrideDir->empty()) return *overrideDir;
  return UserConfigBase() / kConfigFolderName;
}

void LoadOrCreateConfigFile(const std::filesystem::path& folder) {
  using platform::posix::FileRead;
  std::filesystem::path file = folder / kConfigFileName;
  // Only a regular file is read, and without blocking: a FIFO in its place must not hang
  // start-up. Anything else there is left as it is.
  FileRead read =
      platform::posix::ReadRegularFile(file, kConfigBlockBytes, /*longerIsError=*/false);
  if (read.outcome == FileRead::Outcome::kRead) {
    // A shorter file leaves the rest of the block zero.
    std::memcpy(s_hovraSvrCfg.data(), read.text.data(),
                read.text.size() < kConfigBlockBytes ? read.text.size() : kConfigBlockBytes);
    return;
  }
  if (read.outcome == FileRead::Outcome::kUnusable) {
    Log("configuration file %s is not read (%s); running with the zero block", file.c_str(),
        read.problem.c_str());
    return;
  }
  std::error_code ec;
  int fd = -1;
  if (platform::posix::CreatePrivateFolder(folder, ec)) {
    fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  }
  bool written = fd >= 0 && ::write(fd, s_hovraSvrCfg.data(), kConfigBlockBytes) ==
                                static_cast<ssize_t>(kConfigBlockBytes);
  if (!written && fd >= 0) ::unlink(file.c_str());  // never a short file in its place
  if (fd >= 0) ::close(fd);
  if (!written) {
    // The program runs on with the zero block; the operator should know why.
    Log("cannot create configuration file %s: %s", file.c_str(),
        ec ? ec.message().c_str() : std::strerror(errno));
  }
}

const ConfigBlock& HovraSvrCfg() { return s_hovraSvrCfg; }

void ResetHovraSvrCfgForTesting() { s_hovraSvrCfg.fill(0); }

}  // namespace hovra::app
