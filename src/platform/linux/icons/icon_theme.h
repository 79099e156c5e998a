// The freedesktop icon theme lookup: an icon name at a pixel size, searched in the theme,
// the themes it inherits, hicolor, then the pixmaps folders. Directory matching follows
// each folder's Type (Fixed, Scalable, Threshold), sizes and scale. Where no folder
// matches, the nearest size wins, a larger one before a smaller one (shrinking keeps the
// detail that enlarging would blur). Index files and folder listings are cached for a
// few seconds, so a burst of lookups reads each once.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace hovra::platform::linux_desktop {

struct IconFolders {
  std::vector<std::string> themeRoots;  // $HOME/.icons, $XDG_DATA_HOME/icons, each data dir's icons
  std::vector<std::string> pixmapRoots;  // each data dir's pixmaps
  static IconFolders FromEnvironment();
};

class IconThemes {
 public:
  explicit IconThemes(IconFolders folders) : folders_(std::move(folders)) {}

  // The file of icon `name` for `size` pixels, `theme` first; nothing when none exists.
  std::optional<std::string> Find(std::string_view name, int size, const std::string& theme);

 private:
  enum class DirType { kFixed, kScalable, kThreshold };
  struct Subdir {
    std::string path;  // relative to the theme's folder
    DirType type = DirType::kThreshold;
    int size = 0, minSize = 0, maxSize = 0, threshold = 2, scale = 1;
  };
  struct Theme {
    std::vector<std::string> inherits;
    std::vector<Subdir> subdirs;
    std::vector<std::string> folders;  // this theme's folder under each root that has it
  };
  using Clock = std::chrono::steady_clock;
  struct Listing {
    Clock::time_point read;
    std::set<std::string, std::less<>> names;
  };

  std::shared_ptr<const Theme> LoadTheme(const std::string& name);
  bool Exists(const std::string& folder, const std::string& file);
  std::optional<std::string> InTheme(std::string_view name, int size, const std::string& theme,
                                     std::set<std::string>& visited);
  std::optional<std::string> InSubdir(std::string_view name, const Subdir& dir, const Theme& theme);
  std::optional<std::string> LookupIcon(std::string_view name, int size, const Theme& theme);
  std::optional<std::string> InPixmaps(std::string_view name);

  static bool Matches(const Subdir& dir, int size);
  static long Distance(const Subdir& dir, int size);

  IconFolders folders_;
  std::mutex mutex_;
  std::map<std::string, std::pair<Clock::time_point, std::shared_ptr<const Theme>>> themes_;
  std::map<std::string, Listing, std::less<>> listings_;
};

}  // namespace hovra::platform::linux_desktop
