// How the Linux desktop reads a script's name: "MediaNext.VLC" is the operation
// "MediaNext" offered to the application "VLC"; "PlayerPlay.QuickTime.Pause" adds the
// variant "Pause"; "PPTPgDn.Keynote.Direct" the variant "Direct". The actions offer some
// operations to several applications in turn (each script acting only when its application
// is frontmost); on Linux such an operation is carried out once, by the script of the
// first application offered that is installed, which is the first script the command runs.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

namespace hovra::platform::linux_desktop {

struct ScriptName {
  std::string_view operation;  // "MediaNext"
  std::string_view target;     // "VLC"; empty when the name has no dot
  std::string_view variant;    // "Pause", "Direct"; empty when none
};

ScriptName ParseScriptName(std::string_view name);

// The macOS bundle identifier of an application named in script names ("VLC" ->
// "org.videolan.vlc"); empty for names that are not applications.
std::string_view BundleIdOf(std::string_view target);

// Whether the script `name` is the one of its command that carries the operation out on
// Linux: true for operations offered to one application only; for the others, true when
// no application offered before `name.target` is installed.
bool CarriesOutItsCommand(const ScriptName& name,
                          const std::function<bool(std::string_view bundleId)>& isInstalled);

}  // namespace hovra::platform::linux_desktop
