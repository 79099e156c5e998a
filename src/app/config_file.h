// The configuration folder and the 16-byte configuration file kept in it.
//   ConfigFolder(override)  - the folder: the override when given, else
//                             $XDG_CONFIG_HOME/HovraServer, else ~/.config/HovraServer of
//                             the real user (a simulated desktop's home never moves it);
//   LoadOrCreateConfigFile  - reads an existing HovraServer.cfg into the block (and leaves
//                             the file as it is) or creates the folder and a zero file;
//   HovraSvrCfg()           - the block, zero until a file was read.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace hovra::app {

inline constexpr const char* kConfigFolderName = "HovraServer";
inline constexpr const char* kConfigFileName = "HovraServer.cfg";
inline constexpr size_t kConfigBlockBytes = 16;  // reserved; nothing depends on its content

using ConfigBlock = std::array<uint8_t, kConfigBlockBytes>;

// The per-user base folder of configuration files (XDG), without the product's folder.
std::filesystem::path UserConfigBase();
std::filesystem::path ConfigFolder(const std::optional<std::string>& overrideDir);
void LoadOrCreateConfigFile(const std::filesystem::path& folder);

const ConfigBlock& HovraSvrCfg();
void ResetHovraSvrCfgForTesting();

}  // namespace hovra::app
