#include "platform/macos/osascript_scripts.h"

#include <cstring>

#include "base/log.h"

namespace hovra::platform::macos {
namespace {

// "-": the program is read from standard input.
const std::vector<std::string> kReadSourceFromStdin{"-"};

std::string FirstLine(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  return line.empty() ? "no message" : line;
}

}  // namespace

void OsascriptScripts::Run(const Script& script) { RunAndTell(script); }

ChildOutcome OsascriptScripts::RunAndTell(const Script& script) {
  ChildOutcome outcome = RunWithInput(program_, kReadSourceFromStdin, script.source, timeout_);
  Report(script, outcome);
  return outcome;
}

void OsascriptScripts::Report(const Script& script, const ChildOutcome& outcome) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto logged = failingLogged_.find(script.name);
  if (outcome.kind == ChildOutcome::kExited && outcome.code == 0) {
    if (logged != failingLogged_.end()) failingLogged_.erase(logged);  // said again next time
    return;
  }
  if (logged != failingLogged_.end()) return;
  failingLogged_.emplace(script.name);
  const int nameLength = static_cast<int>(script.name.size());
  switch (outcome.kind) {
    case ChildOutcome::kNotStarted:
      Log("script %.*s not run: cannot start %s: %s", nameLength, script.name.data(),
          program_.c_str(), std::strerror(outcome.code));
      break;
    case ChildOutcome::kTimedOut:
      Log("script %.*s still running after %lld ms: killed", nameLength, script.name.data(),
          static_cast<long long>(timeout_.count()));
      break;
    case ChildOutcome::kSignalled:
      Log("script %.*s ended by signal %d", nameLength, script.name.data(), outcome.code);
      break;
    case ChildOutcome::kExited:
      Log("script %.*s failed (exit %d): %s", nameLength, script.name.data(), outcome.code,
          FirstLine(outcome.errorText).c_str());
      break;
  }
}

}  // namespace hovra::platform::macos
