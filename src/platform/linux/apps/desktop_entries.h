// The desktop entries of the XDG data folders, indexed the ways the workspace asks for
// them: by id, by the window class an entry names (StartupWMClass), by executable and by
// name; and the default handlers of a content type or an address scheme. The index is
// rebuilt on the next question after GIO reports a change. Safe from any thread.
#pragma once

#include <gio/gio.h>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hovra::platform::linux_desktop {

struct DesktopEntry {
  std::string id;              // the desktop-file id without ".desktop" ("org.gnome.Nautilus")
  std::string name;            // the localised Name
  std::string path;            // the .desktop file
  std::string icon;            // the Icon key as written: a theme name or an absolute path
  std::string startupWmClass;  // StartupWMClass, when given
  std::string executable;      // the file name of Exec's program ("vlc")
};

class DesktopEntries {
 public:
  // Follows GIO's change notices in the calling thread's main context.
  DesktopEntries();
  ~DesktopEntries();
  DesktopEntries(const DesktopEntries&) = delete;
  DesktopEntries& operator=(const DesktopEntries&) = delete;

  std::optional<DesktopEntry> Find(std::string_view id);
  // StartupWMClass equal to `wmClass`; else an entry whose id is the class (any case).
  std::optional<DesktopEntry> FindByWmClass(std::string_view wmClass);
  // The one entry whose program is `executable`; nothing when several are, or for a
  // launcher that runs other programs (env, sh, flatpak ...).
  std::optional<DesktopEntry> FindByExecutable(std::string_view executable);
  std::optional<DesktopEntry> FindByName(std::string_view name);
  std::optional<DesktopEntry> FindByPath(std::string_view path);  // the .desktop file
  std::vector<DesktopEntry> All();

  // The id of the default application for a content type ("inode/directory") or for an
  // address scheme ("https"); empty when there is none.
  std::string DefaultForType(const char* contentType);
  std::string DefaultForScheme(const char* scheme);

  // Forgets the index (GIO's change notice calls this).
  void Invalidate();

 private:
  struct Index {
    std::vector<DesktopEntry> entries;  // in GIO's order
    std::map<std::string, size_t, std::less<>> byId;
    std::map<std::string, size_t, std::less<>> byWmClass;
    std::map<std::string, size_t, std::less<>> byLowerId;
    std::map<std::string, size_t, std::less<>> byPath;
    std::map<std::string, std::optional<size_t>, std::less<>> byExecutable;  // nullopt: several
  };
  static std::shared_ptr<const Index> Build();
  std::shared_ptr<const Index> Current();

  std::mutex mutex_;
  std::shared_ptr<const Index> index_;
  GAppInfoMonitor* monitor_ = nullptr;
  gulong changedHandler_ = 0;
};

// "vlc.desktop" -> "vlc"; other text unchanged.
std::string WithoutDesktopSuffix(std::string_view id);

}  // namespace hovra::platform::linux_desktop
