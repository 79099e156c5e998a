#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <utility>

namespace hovra::testing {
namespace {

std::chrono::milliseconds Left(std::chrono::steady_clock::time_point deadline) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                               std::chrono::steady_clock::now());
}

}  // namespace

LineReader::LineReader(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return;
  pid_ = ::fork();
  if (pid_ == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives a test that crashed
    ::dup2(pipeFds[1], STDOUT_FILENO);
    for (const std::string& entry : env) ::putenv(const_cast<char*>(entry.c_str()));
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    std::_Exit(127);
  }
  ::close(pipeFds[1]);
  fd_ = pipeFds[0];
}

LineReader::~LineReader() {
  Kill();
  if (fd_ >= 0) ::close(fd_);
}

void LineReader::Kill() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

bool LineReader::ReadSome(std::chrono::milliseconds wait) {
  pollfd fd{fd_, POLLIN, 0};
  if (fd_ < 0 || ::poll(&fd, 1, static_cast<int>(wait.count())) <= 0) return false;
  char buffer[4096];
  ssize_t n = ::read(fd_, buffer, sizeof buffer);
  if (n <= 0) return false;
  partial_.append(buffer, static_cast<size_t>(n));
  for (size_t end; (end = partial_.find('\n')) != std::string::npos;) {
    lines_.push_back(partial_.substr(0, end));
    partial_.erase(0, end + 1);
  }
  return true;
}

std::optional<std::string> LineReader::WaitFor(const std::function<bool(const std::string&)>& match,
                                               std::chrono::milliseconds wait) {
  auto deadline = std::chrono::steady_clock::now() + wait;
  size_t checked = 0;
  for (;;) {
    for (; checked < lines_.size(); ++checked) {
      if (match(lines_[checked])) return lines_[checked];
    }
    const auto left = Left(deadline);
    if (left.count() <= 0) return std::nullopt;
    ReadSome(left);
  }
}

std::vector<std::string> LineReader::Take(size_t count, std::chrono::milliseconds wait) {
  auto deadline = std::chrono::steady_clock::now() + wait;
  while (lines_.size() < count) {
    const auto left = Left(deadline);
    if (left.count() <= 0) break;
    ReadSome(left);
  }
  while (ReadSome(0ms)) {
  }
  return std::exchange(lines_, {});
}

}  // namespace hovra::testing
