#include "app/config_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <system_error>

#include "base/log.h"
#include "platform/services.h"

namespace hovra::app {
namespace {

ConfigBlock s_hovraSvrCfg{};  // loaded once at start, never written back

}  // namespace

std::filesystem::path UserConfigBase() {
  // A relative $XDG_CONFIG_HOME is invalid and ignored, as the XDG rules ask.
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && xdg[0] == '/') return xdg;
  return std::filesystem::path(platform::GetHost().HomeDirectory()) / ".config";
}

std::filesystem::path ConfigFolder(const std::optional<std::string>& overrideDir) {
  if (overrideDir && !overrideDir->empty()) return *overrideDir;
  return UserConfigBase() / kConfigFolderName;
}

void LoadOrCreateConfigFile(const std::filesystem::path& folder) {
  std::filesystem::path file = folder / kConfigFileName;
  {
    std::ifstream in(file, std::ios::binary);
    if (in) {
      // A shorter file leaves the rest of the block zero.
      in.read(reinterpret_cast<char*>(s_hovraSvrCfg.data()), kConfigBlockBytes);
      return;
    }
  }
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (out) {
    out.write(reinterpret_cast<const char*>(s_hovraSvrCfg.data()), kConfigBlockBytes);
    out.close();
  }
  if (!out) {
    // The program runs on with the zero block; the operator should know why.
    Log("cannot create configuration file %s: %s", file.c_str(),
        ec ? ec.message().c_str() : std::strerror(errno));
  }
}

const ConfigBlock& HovraSvrCfg() { return s_hovraSvrCfg; }

void ResetHovraSvrCfgForTesting() { s_hovraSvrCfg.fill(0); }

}  // namespace hovra::app
