// Reads the Dock's applications from its preference file (binary or XML property list):
// the "file-label" and "bundle-identifier" of each "persistent-apps" tile, in Dock order.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hovra::catalogue {

struct DockTile {
  std::optional<std::string> label;
  std::optional<std::string> bundleId;
};

// Nothing when the bytes are not a property list dictionary with a "persistent-apps" array.
std::optional<std::vector<DockTile>> ParseDockTiles(std::string_view plistBytes);

// The Dock's tiles: the workspace's own list where it keeps one (a desktop's favourites),
// else the platform's Dock preference file; nothing when that cannot be read.
std::optional<std::vector<DockTile>> ReadDockTiles();

}  // namespace hovra::catalogue
