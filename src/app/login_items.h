// Launch at login through the user's XDG autostart folder ($XDG_CONFIG_HOME/autostart,
// else ~/.config/autostart). An entry is the server's when its Exec program resolves to
// the server's own location; entries marked Hidden=true (deleted, in XDG terms) or
// X-GNOME-Autostart-enabled=false (switched off) and entries for any other location do not
// count. Entries are taken in file-name order. Turning it on rewrites a switched-off entry
// of the server, enabled, rather than adding a second one (a hidden one stays deleted). The entry
// runs
// `<program> --hidden`: the server starts without showing anything.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace hovra::app {

inline constexpr const char* kStartHiddenOption = "--hidden";

class LoginItems {
 public:
  LoginItems(std::filesystem::path autostartDir, std::filesystem::path programPath);
  // The current user's autostart folder and this process's executable (/proc/self/exe).
  static LoginItems ForCurrentUser();

  bool launchOnLogin();
  bool isAutoRun() { return launchOnLogin(); }
  // The toggle: removes the first entry of the server when there is one, else adds one.
  // Returns the new state and sets the "Auto Start" mark to it; nothing, and no change,
  // when the autostart folder cannot be read.
  std::optional<bool> setLaunchOnLogin();

  const std::filesystem::path& AutostartDir() const { return dir_; }
  // Why the last change failed, in words for the user; empty when it did not.
  const std::string& LastError() const { return lastError_; }

 private:
  struct Entry {
    std::filesystem::path file;
    std::filesystem::path program;  // resolved; empty when the entry names no usable path
    bool enabled = true;            // false: hidden or switched off
    bool switchedOff = false;       // X-GNOME-Autostart-enabled=false (and not hidden)
  };

  std::optional<std::vector<Entry>> loginItems() const;
  std::optional<std::filesystem::path> mainBundleLoginItemCopy() const;
  void addMainBundleToLoginItems();
  void removeMainBundleFromLoginItems();
  std::filesystem::path NewEntryFile() const;

  std::optional<std::filesystem::path> DisabledEntryOfServer() const;

  std::filesystem::path dir_;
  std::filesystem::path program_;  // resolved
  std::string lastError_;
};

// Exec text that runs `program` with the start-hidden option, quoted and escaped for a
// desktop entry file; and the program path read back from such a value.
std::string DesktopExecValue(const std::string& program);
std::optional<std::string> DesktopExecProgram(const std::string& rawValue);

}  // namespace hovra::app
