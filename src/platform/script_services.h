// Running the short scripts of the desktop actions. Every script the system runs has a
// stable name ("VolumeUp", "MediaNext.VLC", "BrowserNewURL.Safari"), its exact source text
// and, where it was built from client data, that argument. A macOS backend runs the
// source; the journal records it; another desktop can carry out the name its own way.
#pragma once

#include <string_view>

namespace hovra::platform {

// A fixed script. Declare them `inline constexpr` beside the code that runs them.
struct ScriptText {
  std::string_view name;
  std::string_view source;
};

// A script about to run. Views only: the caller keeps a built source alive for the call.
struct Script {
  std::string_view name;
  std::string_view source;
  std::string_view argument;  // the client's text a builder substituted, if any

  Script(const ScriptText& text) : name(text.name), source(text.source) {}  // NOLINT
  Script(std::string_view n, std::string_view s, std::string_view arg = {})
      : name(n), source(s), argument(arg) {}
};

class ScriptServices {
 public:
  virtual ~ScriptServices() = default;
  // Runs to completion on the calling thread; results and errors are ignored.
  virtual void Run(const Script& script) = 0;
};

}  // namespace hovra::platform
