#include "tests/wayland/wayland_client.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace hovra::testing {
namespace {

bool Starts(const std::string& line, const std::string& kind) {
  return line.compare(0, kind.size() + 1, kind + " ") == 0 || line == kind;
}

// A pipe's write end for the client's output; its read end goes to `readEnd`.
int OutputPipe(int* readEnd) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return -1;
  *readEnd = fds[0];
  return fds[1];
}

}  // namespace

WaylandClient::WaylandClient(const SwaySession& sway, const std::string& appId)
    : process_(
          {.argv = {HOVRA_WAYLAND_TEST_CLIENT, "--app-id", appId},
           .env = {{"WAYLAND_DISPLAY", sway.Display()}, {"XDG_RUNTIME_DIR", sway.RuntimeDir()}},
           .outputFd = OutputPipe(&fd_)}) {
  ready_ = !TakeKind("ready", 1, 10s).empty();
}

WaylandClient::~WaylandClient() {
  if (fd_ >= 0) ::close(fd_);
}

void WaylandClient::Read(std::chrono::milliseconds wait) {
  pollfd ready{fd_, POLLIN, 0};
  char buffer[4096];
  if (fd_ < 0 || ::poll(&ready, 1, static_cast<int>(wait.count())) <= 0) return;
  const ssize_t n = ::read(fd_, buffer, sizeof buffer);
  if (n > 0) partial_.append(buffer, static_cast<size_t>(n));
  for (size_t end; (end = partial_.find('\n')) != std::string::npos; partial_.erase(0, end + 1)) {
    std::string line = partial_.substr(0, end);
    std::istringstream in(line);
    std::string kind;
    in >> kind;
    if (kind == "motion" || kind == "pointer-enter") in >> pointerX_ >> pointerY_;
    // A button is kept with where the pointer was when it came.
    if (kind == "button") line += " " + std::to_string(pointerX_) + " " + std::to_string(pointerY_);
    pending_.push_back(std::move(line));
  }
}

bool WaylandClient::ReadUntil(const std::function<bool()>& done, std::chrono::milliseconds wait) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (!done()) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left <= 0ms) return false;
    Read(left);
  }
  return true;
}

std::vector<std::istringstream> WaylandClient::TakeKind(const std::string& kind, size_t count,
                                                        std::chrono::milliseconds wait) {
  std::vector<std::istringstream> found;
  ReadUntil(
      [&] {
        std::erase_if(pending_, [&](const std::string& line) {
          if (!Starts(line, kind)) return false;
          found.emplace_back(line.substr(kind.size()));  // the fields after the kind
          return true;
        });
        return found.size() >= count;
      },
      wait);
  return found;
}

}  // namespace hovra::testing
