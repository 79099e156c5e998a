// The script services on macOS: each script's source goes to `osascript` on its standard
// input (never through a shell, never on its command line) and runs to completion on the
// calling thread, at most `timeout` long; a script still running then is killed. Results
// are ignored. A failing script is logged once (its first line of error), not on every run.
//   OsascriptScripts scripts;                       // /usr/bin/osascript, 30 s
//   OsascriptScripts scripts("osascript", 200ms);   // found on PATH (tests)
#pragma once

#include <chrono>
#include <mutex>
#include <set>
#include <string>

#include "platform/macos/child_process.h"
#include "platform/script_services.h"

namespace hovra::platform::macos {

inline constexpr const char* kOsascriptPath = "/usr/bin/osascript";
// A script that talks to an application that does not answer gives up after two minutes
// by itself; the worker thread, which every client waits on, is held for less.
inline constexpr std::chrono::milliseconds kScriptTimeout{30000};

class OsascriptScripts : public ScriptServices {
 public:
  explicit OsascriptScripts(std::string program = kOsascriptPath,
                            std::chrono::milliseconds timeout = kScriptTimeout)
      : program_(std::move(program)), timeout_(timeout) {}

  void Run(const Script& script) override;
  // The same, telling how it ended.
  ChildOutcome RunAndTell(const Script& script);

 private:
  void Report(const Script& script, const ChildOutcome& outcome);

  const std::string program_;
  const std::chrono::milliseconds timeout_;
  std::mutex mutex_;
  std::set<std::string, std::less<>> failingLogged_;  // script names whose failure was said
};

}  // namespace hovra::platform::macos
