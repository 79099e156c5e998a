// Scripts run through a fake `osascript` found on PATH: a shell script that records its
// arguments and standard input, then fails, hangs or leaves as the test asks.
#include "platform/macos/osascript_scripts.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace hovra::testing {
namespace {

namespace fs = std::filesystem;
using platform::macos::ChildOutcome;
using platform::macos::OsascriptScripts;
using namespace std::chrono_literals;

constexpr const char* kFakeInterpreter = R"sh(#!/bin/sh
printf '%s\n' "$@" > "$FAKE_OSA_DIR/args"
echo $$ > "$FAKE_OSA_DIR/pid"
case "$(cat "$FAKE_OSA_DIR/mode")" in
  deaf) exit 0 ;;
esac
cat > "$FAKE_OSA_DIR/source"
case "$(cat "$FAKE_OSA_DIR/mode")" in
  fail) echo "0:5: execution error: Mail got an error (-1728)" >&2; echo more >&2; exit 1 ;;
  hang) sleep 600 & echo $! > "$FAKE_OSA_DIR/child"; wait ;;
esac
exit 0
)sh";

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Ended: no such process, or a zombie that its new parent has not reaped yet.
bool Ended(pid_t pid) {
  if (::kill(pid, 0) != 0) return true;
  std::string stat = Read("/proc/" + std::to_string(pid) + "/stat");
  size_t close = stat.rfind(')');
  return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z';
}

bool GoneWithin(pid_t pid, std::chrono::milliseconds deadline) {
  auto until = std::chrono::steady_clock::now() + deadline;
  while (std::chrono::steady_clock::now() < until) {
    if (Ended(pid)) return true;
    std::this_thread::sleep_for(5ms);
  }
  return false;
}

class FakeOsascript : public ::testing::Test {
 protected:
  FakeOsascript() {
    char pattern[] = "/tmp/hovra-osa-XXXXXX";
    dir_ = ::mkdtemp(pattern);
    std::ofstream(dir_ / "osascript") << kFakeInterpreter;
    fs::permissions(dir_ / "osascript", fs::perms::owner_all);
    Mode("ok");
    const char* path = std::getenv("PATH");
    oldPath_ = path ? path : "";
    ::setenv("PATH", (dir_.string() + ":" + oldPath_).c_str(), 1);
    ::setenv("FAKE_OSA_DIR", dir_.c_str(), 1);
  }
  ~FakeOsascript() override {
    ::setenv("PATH", oldPath_.c_str(), 1);
    fs::remove_all(dir_);
  }
  void Mode(const char* mode) { std::ofstream(dir_ / "mode") << mode; }

  fs::path dir_;
  std::string oldPath_;
  OsascriptScripts scripts_{"osascript", 10s};
};

TEST_F(FakeOsascript, TheSourceGoesWholeToStandardInputAndNoShellSeesIt) {
  const std::string source =
      "tell application \"System Events\"\n\tkeystroke \"$(touch pwned)`touch pwned`\"\nend tell "
      "-- caf\xC3\xA9; rm -rf ~";
  ChildOutcome outcome = scripts_.RunAndTell(platform::Script("Test.Quotes", source));
  EXPECT_EQ(outcome.kind, ChildOutcome::kExited);
  EXPECT_EQ(outcome.code, 0);
  EXPECT_EQ(Read(dir_ / "source"), source);
  EXPECT_EQ(Read(dir_ / "args"), "-\n") << "the source is read from standard input";
  EXPECT_FALSE(fs::exists("pwned"));

  std::string large(300 * 1024, 'x');  // several pipe buffers
  scripts_.Run(platform::Script("Test.Large", large));
  EXPECT_EQ(Read(dir_ / "source"), large);
}

TEST_F(FakeOsascript, AFailingScriptReportsItsStatusAndTheStartOfItsErrors) {
  Mode("fail");
  ChildOutcome outcome = scripts_.RunAndTell(platform::Script("Test.Fail", "beep"));
  EXPECT_EQ(outcome.kind, ChildOutcome::kExited);
  EXPECT_EQ(outcome.code, 1);
  EXPECT_EQ(outcome.errorText, "0:5: execution error: Mail got an error (-1728)\nmore\n");
}

TEST_F(FakeOsascript, AnInterpreterThatReadsNothingDoesNotHurtTheCaller) {
  Mode("deaf");  // leaves at once: writing the rest raises SIGPIPE, which must be absorbed
  ChildOutcome outcome =
      scripts_.RunAndTell(platform::Script("Test.Deaf", std::string(1 << 20, 'y')));
  EXPECT_EQ(outcome.kind, ChildOutcome::kExited);
  EXPECT_EQ(outcome.code, 0);
}

TEST_F(FakeOsascript, AScriptStillRunningAtTheDeadlineIsKilledWithWhatItStarted) {
  Mode("hang");
  OsascriptScripts quick("osascript", 300ms);
  ChildOutcome outcome = quick.RunAndTell(platform::Script("Test.Hang", "delay 600"));
  EXPECT_EQ(outcome.kind, ChildOutcome::kTimedOut);
  pid_t interpreter = std::stoi(Read(dir_ / "pid"));
  EXPECT_NE(::kill(interpreter, 0), 0) << "reaped";
  std::string child = Read(dir_ / "child");
  ASSERT_FALSE(child.empty());
  EXPECT_TRUE(GoneWithin(std::stoi(child), 10s)) << "its process group went with it";
}

TEST_F(FakeOsascript, AMissingInterpreterIsReportedNotRun) {
  OsascriptScripts missing("no-such-osascript-anywhere");
  ChildOutcome outcome = missing.RunAndTell(platform::Script("Test.Missing", "beep"));
  EXPECT_EQ(outcome.kind, ChildOutcome::kNotStarted);
  EXPECT_EQ(outcome.code, ENOENT);
}

}  // namespace
}  // namespace hovra::testing
