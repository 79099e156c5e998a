// Scripts through a fake `osascript` on PATH that records its input and fails or hangs.
#include "platform/macos/osascript_scripts.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>

#include "tests/support/temp_dir.h"

namespace hovra::testing {
namespace {

namespace fs = std::filesystem;
using platform::Script;
using platform::macos::ChildOutcome;
using platform::macos::OsascriptScripts;

constexpr const char* kFakeInterpreter = R"sh(#!/bin/sh
printf '%s\n' "$@" > "$FAKE_OSA_DIR/args"
echo $$ > "$FAKE_OSA_DIR/pid"
mode=$(cat "$FAKE_OSA_DIR/mode")
[ "$mode" = deaf ] && exit 0
cat > "$FAKE_OSA_DIR/source"
case "$mode" in
  fail) echo "0:5: execution error: Mail got an error (-1728)" >&2; echo more >&2; exit 1 ;;
  hang) sleep 600 & echo $! > "$FAKE_OSA_DIR/child"; wait ;;
esac
)sh";

// Gone, or a zombie its new parent has not reaped yet.
bool Ended(pid_t pid) {
  std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  size_t close = stat.rfind(')');
  return ::kill(pid, 0) != 0 || (close != std::string::npos && stat.substr(close + 2, 1) == "Z");
}

struct FakeOsascript : ::testing::Test {
  FakeOsascript() {
    WriteFile(dir_ / "osascript", kFakeInterpreter);
    fs::permissions(dir_ / "osascript", fs::perms::owner_all);
    Mode("ok");
    oldPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (dir_.string() + ":" + oldPath_).c_str(), 1);
    ::setenv("FAKE_OSA_DIR", dir_.c_str(), 1);
  }
  ~FakeOsascript() override { ::setenv("PATH", oldPath_.c_str(), 1); }
  void Mode(const char* mode) { WriteFile(dir_ / "mode", mode); }
  ChildOutcome Run(const std::string& source) {
    return scripts_.RunAndTell(Script("Test", source));
  }

  TempDir temp_;
  const fs::path& dir_ = temp_.path();
  std::string oldPath_;
  OsascriptScripts scripts_{"osascript", 10s};
};

TEST_F(FakeOsascript, TheSourceGoesWholeToStandardInputAndNoShellSeesIt) {
  const std::string source =
      "tell application \"System Events\"\n\tkeystroke \"$(touch pwned)`touch pwned`\"\nend tell "
      "-- caf\xC3\xA9; rm -rf ~";
  ChildOutcome outcome = Run(source);
  EXPECT_EQ(outcome.kind, ChildOutcome::kExited);
  EXPECT_EQ(outcome.code, 0);
  EXPECT_EQ(ReadFile(dir_ / "source"), source);
  EXPECT_EQ(ReadFile(dir_ / "args"), "-\n") << "the source is read from standard input";
  EXPECT_FALSE(fs::exists("pwned"));

  const std::string large(300 * 1024, 'x');  // several pipe buffers
  Run(large);
  EXPECT_EQ(ReadFile(dir_ / "source"), large);
  Mode("deaf");  // leaves unread: the SIGPIPE of writing the rest must be absorbed
  EXPECT_EQ(Run(large).kind, ChildOutcome::kExited);
}

TEST_F(FakeOsascript, FailuresAreToldWithTheStartOfTheErrors) {
  Mode("fail");
  ChildOutcome outcome = Run("beep");
  EXPECT_EQ(outcome.kind, ChildOutcome::kExited);
  EXPECT_EQ(outcome.code, 1);
  EXPECT_EQ(outcome.errorText, "0:5: execution error: Mail got an error (-1728)\nmore\n");
  ChildOutcome missing = OsascriptScripts("no-such-osascript").RunAndTell(Script("Test", "beep"));
  EXPECT_EQ(missing.kind, ChildOutcome::kNotStarted);
  EXPECT_EQ(missing.code, ENOENT);
}

TEST_F(FakeOsascript, AScriptStillRunningAtTheDeadlineIsKilledWithWhatItStarted) {
  Mode("hang");
  ChildOutcome outcome = OsascriptScripts("osascript", 300ms).RunAndTell(Script("Test", "delay 9"));
  EXPECT_EQ(outcome.kind, ChildOutcome::kTimedOut);
  EXPECT_NE(::kill(std::stoi(ReadFile(dir_ / "pid")), 0), 0) << "killed and reaped";
  const pid_t child = std::stoi(ReadFile(dir_ / "child"));
  EXPECT_TRUE(PollUntil([child] { return Ended(child); }, 10s)) << "its process group went with it";
}

}  // namespace
}  // namespace hovra::testing
