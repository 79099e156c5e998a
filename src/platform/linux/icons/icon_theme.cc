#include "platform/linux/icons/icon_theme.h"

#include <dirent.h>
#include <glib.h>

#include <array>
#include <cstdlib>
#include <limits>
#include <sstream>

namespace hovra::platform::linux_desktop {
namespace {

constexpr std::array<const char*, 3> kExtensions{".png", ".svg", ".xpm"};
constexpr std::chrono::seconds kCacheLifetime{10};  // installed icons show up this late

std::vector<std::string> SplitList(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, separator)) {
    if (!part.empty()) parts.push_back(part);
  }
  return parts;
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? value : fallback;
}

int IntegerOr(GKeyFile* file, const char* group, const char* key, int fallback) {
  GError* error = nullptr;
  int value = g_key_file_get_integer(file, group, key, &error);
  if (error != nullptr) {
    g_error_free(error);
    return fallback;
  }
  return value;
}

}  // namespace

IconFolders IconFolders::FromEnvironment() {
  IconFolders folders;
  const std::string home = EnvOr("HOME", "/");
  folders.themeRoots.push_back(home + "/.icons");
  folders.themeRoots.push_back(EnvOr("XDG_DATA_HOME", home + "/.local/share") + "/icons");
  for (const std::string& dir :
       SplitList(EnvOr("XDG_DATA_DIRS", "/usr/local/share:/usr/share"), ':')) {
    folders.themeRoots.push_back(dir + "/icons");
    folders.pixmapRoots.push_back(dir + "/pixmaps");
  }
  return folders;
}

bool IconThemes::Exists(const std::string& folder, const std::string& file) {
  auto found = listings_.find(folder);
  if (found == listings_.end() || Clock::now() - found->second.read > kCacheLifetime) {
    Listing listing{Clock::now(), {}};
    if (DIR* dir = ::opendir(folder.c_str())) {
      while (dirent* entry = ::readdir(dir)) listing.names.insert(entry->d_name);
      ::closedir(dir);
    }
    found = listings_.insert_or_assign(folder, std::move(listing)).first;
  }
  return found->second.names.contains(file);
}

std::shared_ptr<const IconThemes::Theme> IconThemes::LoadTheme(const std::string& name) {
  auto cached = themes_.find(name);
  if (cached != themes_.end() && Clock::now() - cached->second.first <= kCacheLifetime)
    return cached->second.second;
  auto theme = std::make_shared<Theme>();
  bool indexed = false;
  for (const std::string& root : folders_.themeRoots) {
    const std::string folder = root + "/" + name;
    if (!Exists(root, name)) continue;
    theme->folders.push_back(folder);
    if (indexed || !Exists(folder, "index.theme")) continue;
    // The first index.theme found describes the theme; its folders may be spread over
    // several roots.
    GKeyFile* index = g_key_file_new();
    if (g_key_file_load_from_file(index, (folder + "/index.theme").c_str(), G_KEY_FILE_NONE,
                                  nullptr)) {
      indexed = true;
      char* inherits = g_key_file_get_string(index, "Icon Theme", "Inherits", nullptr);
      if (inherits != nullptr) theme->inherits = SplitList(inherits, ',');
      g_free(inherits);
      char* dirs = g_key_file_get_string(index, "Icon Theme", "Directories", nullptr);
      for (const std::string& path : SplitList(dirs != nullptr ? dirs : "", ',')) {
        Subdir dir;
        dir.path = path;
        dir.size = IntegerOr(index, path.c_str(), "Size", 0);
        if (dir.size <= 0) continue;  // a folder without a size cannot be matched
        char* type = g_key_file_get_string(index, path.c_str(), "Type", nullptr);
        std::string typeName = type != nullptr ? type : "Threshold";
        g_free(type);
        dir.type = typeName == "Fixed"      ? DirType::kFixed
                   : typeName == "Scalable" ? DirType::kScalable
                                            : DirType::kThreshold;
        dir.minSize = IntegerOr(index, path.c_str(), "MinSize", dir.size);
        dir.maxSize = IntegerOr(index, path.c_str(), "MaxSize", dir.size);
        dir.threshold = IntegerOr(index, path.c_str(), "Threshold", 2);
        dir.scale = IntegerOr(index, path.c_str(), "Scale", 1);
        theme->subdirs.push_back(std::move(dir));
      }
      g_free(dirs);
    }
    g_key_file_free(index);
  }
  std::shared_ptr<const Theme> loaded = indexed ? theme : nullptr;
  themes_[name] = {Clock::now(), loaded};
  return loaded;
}

bool IconThemes::Matches(const Subdir& dir, int size) {
  if (dir.scale != 1) return false;
  switch (dir.type) {
    case DirType::kFixed:
      return dir.size == size;
    case DirType::kScalable:
      return dir.minSize <= size && size <= dir.maxSize;
    case DirType::kThreshold:
      return dir.size - dir.threshold <= size && size <= dir.size + dir.threshold;
  }
  return false;
}

long IconThemes::Distance(const Subdir& dir, int size) {
  int low = dir.size, high = dir.size;
  if (dir.type == DirType::kScalable) {
    low = dir.minSize;
    high = dir.maxSize;
  } else if (dir.type == DirType::kThreshold) {
    low = dir.size - dir.threshold;
    high = dir.size + dir.threshold;
  }
  const long scale = dir.scale;
  if (size < low * scale) return low * scale - size;
  if (size > high * scale) {
    // Smaller images rank after every larger one: enlarging blurs.
    return size - high * scale + std::numeric_limits<int>::max() / 2;
  }
  return 0;
}

std::optional<std::string> IconThemes::InSubdir(std::string_view name, const Subdir& dir,
                                                const Theme& theme) {
  for (const std::string& folder : theme.folders) {
    const std::string path = folder + "/" + dir.path;
    for (const char* extension : kExtensions) {
      const std::string file = std::string(name) + extension;
      if (Exists(path, file)) return path + "/" + file;
    }
  }
  return std::nullopt;
}

std::optional<std::string> IconThemes::LookupIcon(std::string_view name, int size,
                                                  const Theme& theme) {
  std::optional<std::string> closest;
  long closestDistance = std::numeric_limits<long>::max();
  for (const Subdir& dir : theme.subdirs) {
    const bool matches = Matches(dir, size);
    const long distance = matches ? 0 : Distance(dir, size);
    if (!matches && distance >= closestDistance) continue;
    if (std::optional<std::string> file = InSubdir(name, dir, theme)) {
      if (matches) return file;
      closest = std::move(file);
      closestDistance = distance;
    }
  }
  return closest;
}

std::optional<std::string> IconThemes::InTheme(std::string_view name, int size,
                                               const std::string& themeName,
                                               std::set<std::string>& visited) {
  if (!visited.insert(themeName).second) return std::nullopt;  // inheritance loops
  std::shared_ptr<const Theme> theme = LoadTheme(themeName);
  if (!theme) return std::nullopt;
  if (auto found = LookupIcon(name, size, *theme)) return found;
  for (const std::string& parent : theme->inherits) {
    if (auto found = InTheme(name, size, parent, visited)) return found;
  }
  return std::nullopt;
}

std::optional<std::string> IconThemes::InPixmaps(std::string_view name) {
  for (const std::string& root : folders_.pixmapRoots) {
    for (const char* extension : kExtensions) {
      std::string file = std::string(name) + extension;
      if (Exists(root, file)) return root + "/" + file;
    }
  }
  return std::nullopt;
}

std::optional<std::string> IconThemes::Find(std::string_view name, int size,
                                            const std::string& theme) {
  if (name.empty() || name.find('/') != std::string_view::npos) return std::nullopt;
  std::lock_guard<std::mutex> lock(mutex_);
  std::set<std::string> visited;
  if (auto found = InTheme(name, size, theme, visited)) return found;
  if (auto found = InTheme(name, size, "hicolor", visited)) return found;
  return InPixmaps(name);
}

}  // namespace hovra::platform::linux_desktop
