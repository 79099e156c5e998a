#include "catalogue/dock_plist.h"

#include <plist/plist.h>

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>

#include "base/log.h"
#include "platform/services.h"

namespace hovra::catalogue {
namespace {

struct PlistFree {
  void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

std::optional<std::string> StringAt(plist_t dict, const char* key) {
  plist_t node = plist_dict_get_item(dict, key);
  if (node == nullptr || plist_get_node_type(node) != PLIST_STRING) return std::nullopt;
  // Read in place with its length: copying it out asserts that the text holds no NUL, and
  // a binary property list can carry one (which would end the program).
  uint64_t length = 0;
  const char* value = plist_get_string_ptr(node, &length);
  if (value == nullptr) return std::nullopt;
  return std::string(value, static_cast<size_t>(length));
}

DockTile TileFrom(plist_t element) {
  DockTile tile;
  if (plist_get_node_type(element) != PLIST_DICT) return tile;
  plist_t data = plist_dict_get_item(element, "tile-data");
  if (data == nullptr || plist_get_node_type(data) != PLIST_DICT) return tile;
  tile.label = StringAt(data, "file-label");
  tile.bundleId = StringAt(data, "bundle-identifier");
  return tile;
}

}  // namespace

std::optional<std::vector<DockTile>> ParseDockTiles(std::string_view plistBytes) {
  if (plistBytes.empty() || plistBytes.size() > std::numeric_limits<uint32_t>::max())
    return std::nullopt;
  plist_t raw = nullptr;
  plist_from_memory(plistBytes.data(), static_cast<uint32_t>(plistBytes.size()), &raw);
  PlistPtr root(raw);
  if (root == nullptr || plist_get_node_type(raw) != PLIST_DICT) return std::nullopt;
  plist_t apps = plist_dict_get_item(raw, "persistent-apps");
  if (apps == nullptr || plist_get_node_type(apps) != PLIST_ARRAY) return std::nullopt;
  std::vector<DockTile> tiles;
  uint32_t count = plist_array_get_size(apps);
  for (uint32_t i = 0; i < count; ++i) tiles.push_back(TileFrom(plist_array_get_item(apps, i)));
  return tiles;
}

std::optional<std::vector<DockTile>> ReadDockTiles() {
  static LogOnce s_unreadable;
  platform::Workspace& workspace = platform::GetWorkspace();
  if (std::optional<std::vector<platform::DockItem>> items = workspace.DockItems()) {
    std::vector<DockTile> tiles;
    for (platform::DockItem& item : *items)
      tiles.push_back(DockTile{std::move(item.label), std::move(item.bundleId)});
    return tiles;
  }
  std::string path = workspace.DockPropertyListPath();
  std::optional<std::string> bytes;
  if (!path.empty()) bytes = workspace.ReadPropertyList(path);
  std::optional<std::vector<DockTile>> tiles;
  if (bytes) tiles = ParseDockTiles(*bytes);
  if (!tiles) {
    if (path.empty()) {
      // A desktop without a Dock list (the simulated one by default): nothing is wrong.
      if (s_unreadable.First()) Debug("catalogue: no Dock list; the Dock description stays empty");
    } else if (s_unreadable.First()) {
      Log("catalogue: no Dock applications from \"%s\" (%s); the Dock description stays empty",
          path.c_str(), bytes ? "no \"persistent-apps\" array" : "cannot be read");
    }
  } else {
    s_unreadable.Rearm();
  }
  return tiles;
}

}  // namespace hovra::catalogue
