#include "tests/qt/session_bus.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace hovra::testing {
namespace {

using namespace std::chrono_literals;

constexpr char kDbusDaemon[] = "/usr/bin/dbus-daemon";

// Forks and runs argv with stdout (and stderr) on `outFd`; stdin is /dev/null.
pid_t Spawn(const std::vector<std::string>& argv, int outFd, bool keepStderr = false) {
  pid_t pid = ::fork();
  if (pid != 0) return pid;
  int devNull = ::open("/dev/null", O_RDWR);
  ::dup2(devNull, STDIN_FILENO);
  ::dup2(outFd, STDOUT_FILENO);
  if (!keepStderr) ::dup2(outFd, STDERR_FILENO);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  ::execv(args[0], args.data());
  ::_exit(127);
}

void StopAndWait(pid_t pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

ChildProcess::ChildProcess(std::vector<std::string> argv, std::string outputFile)
    : outputFile_(std::move(outputFile)) {
  int out = ::open(outputFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0) return;
  pid_ = Spawn(argv, out);
  ::close(out);
}

ChildProcess::~ChildProcess() { StopAndWait(pid_); }

std::string ChildProcess::Output() const { return ReadAll(outputFile_); }

bool ChildProcess::WaitForOutput(const std::string& text, std::chrono::milliseconds wait) const {
  auto deadline = std::chrono::steady_clock::now() + wait;
  while (Output().find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

bool PrivateSessionBus::Available() { return ::access(kDbusDaemon, X_OK) == 0; }

PrivateSessionBus::PrivateSessionBus() {
  char pattern[] = "/tmp/hovra-bus-XXXXXX";
  dir_ = ::mkdtemp(pattern);
  std::filesystem::create_directories(dir_ + "/services");
  std::ofstream(dir_ + "/bus.conf")
      << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
         " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
         "<busconfig><type>session</type>\n"
      << "<listen>unix:dir=" << dir_ << "</listen><auth>EXTERNAL</auth>\n"
      << "<servicedir>" << dir_ << "/services</servicedir>\n"
      << "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
         "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n";
  int ready[2];
  if (::pipe2(ready, O_CLOEXEC) != 0) return;
  // The daemon prints its address on the pipe once it accepts connections.
  pid_ =
      Spawn({kDbusDaemon, "--config-file=" + dir_ + "/bus.conf", "--nofork", "--print-address=1"},
            ready[1], /*keepStderr=*/true);
  ::close(ready[1]);
  char buffer[512];
  ssize_t got = 0;
  while ((got = ::read(ready[0], buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
    if (got > 0) address_.append(buffer, static_cast<size_t>(got));
    if (address_.find('\n') != std::string::npos) break;
  }
  ::close(ready[0]);
  if (!address_.empty() && address_.back() == '\n') address_.pop_back();
}

PrivateSessionBus::~PrivateSessionBus() {
  StopAndWait(pid_);
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string RunForOutput(const std::vector<std::string>& argv) {
  char pattern[] = "/tmp/hovra-out-XXXXXX";
  int out = ::mkstemp(pattern);
  if (out < 0) return "";
  pid_t pid = Spawn(argv, out, /*keepStderr=*/true);
  ::close(out);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  std::string text = ReadAll(pattern);
  ::unlink(pattern);
  return text;
}

}  // namespace hovra::testing
