// Runs a program with text on its standard input and waits for it, with a deadline. No
// shell: the program is started directly (a bare name is looked up on PATH), in its own
// process group, with default signal handling and nothing blocked; its standard output
// goes to /dev/null and the start of its standard error is kept. When the deadline passes,
// the whole process group is killed and reaped.
//   ChildOutcome out = RunWithInput("/usr/bin/osascript", {"-"}, source, 30s);
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace hovra::platform::macos {

// Standard error kept from a child, at most: enough for the message that says why.
inline constexpr size_t kChildErrorBytes = 4096;

struct ChildOutcome {
  enum Kind { kExited, kSignalled, kTimedOut, kNotStarted };
  Kind kind = kNotStarted;
  int code = 0;           // exit status, the signal, or errno when not started
  std::string errorText;  // the start of standard error
};

ChildOutcome RunWithInput(const std::string& program, const std::vector<std::string>& arguments,
                          std::string_view input, std::chrono::milliseconds timeout);

}  // namespace hovra::platform::macos
