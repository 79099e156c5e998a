#include "platform/journal/sim_control.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <vector>

#include "base/json_depth.h"
#include "base/log.h"
#include "base/printable.h"

namespace hovra::platform::journal {
namespace {

constexpr size_t kMaxLineBytes = 65536;  // per connection; a longer line drops it
constexpr size_t kReadChunkBytes = 4096;
constexpr int kBacklog = 8;

const std::map<std::string, WorkspaceEventKind, std::less<>> kNoticeKinds = {
    {"launched", WorkspaceEventKind::kLaunched},
    {"terminated", WorkspaceEventKind::kTerminated},
    {"activated", WorkspaceEventKind::kActivated},
    {"deactivated", WorkspaceEventKind::kDeactivated},
    {"woke", WorkspaceEventKind::kWoke}};

std::runtime_error SystemError(const std::string& what) {
  return std::runtime_error(what + ": " + std::strerror(errno));
}

// A socket file left by an earlier run would make bind fail; anything else stays.
void RemoveStaleSocket(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) ::unlink(path.c_str());
}

int Listen(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof(address.sun_path)) {
    throw std::runtime_error("sim-control: the socket path \"" + path + "\" is empty or too long");
  }
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw SystemError("sim-control: socket");
  RemoveStaleSocket(path);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      ::listen(fd, kBacklog) != 0) {
    auto error = SystemError("sim-control: cannot listen at \"" + path + "\"");
    ::close(fd);
    throw error;
  }
  return fd;
}

struct Connection {
  int fd = -1;
  std::string pending;  // bytes of a line not yet ended
};

}  // namespace

std::optional<WorkspaceEvent> ParseNotice(std::string_view line) {
  if (!JsonNestingWithin(line)) return std::nullopt;
  nlohmann::json root = nlohmann::json::parse(line, nullptr, false);
  if (root.is_discarded() || !root.is_object()) return std::nullopt;
  auto notify = root.find("notify");
  if (notify == root.end() || !notify->is_string()) return std::nullopt;
  auto kind = kNoticeKinds.find(notify->get<std::string>());
  if (kind == kNoticeKinds.end()) return std::nullopt;
  WorkspaceEvent event;
  event.kind = kind->second;
  if (event.kind == WorkspaceEventKind::kWoke ||
      !(root.contains("bundleId") || root.contains("name"))) {
    return event;
  }
  RunningApp app;
  try {
    app.bundleId = root.value("bundleId", "");
    app.name = root.value("name", "");
    app.policy = root.value("policy", kActivationPolicyRegular);
  } catch (const nlohmann::json::exception&) {
    return std::nullopt;  // a member of the wrong type
  }
  event.app = std::move(app);
  return event;
}

SimControl::SimControl(std::string path, JournalWorkspace& workspace, MainQueue& mainQueue)
    : path_(std::move(path)), workspace_(workspace), mainQueue_(mainQueue) {
  listenFd_ = Listen(path_);
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    auto error = SystemError("sim-control: pipe");
    ::close(listenFd_);
    ::unlink(path_.c_str());
    throw error;
  }
  stopRead_ = pipeFds[0];
  stopWrite_ = pipeFds[1];
  thread_ = std::thread([this] { Serve(); });
}

SimControl::~SimControl() {
  char byte = 1;
  while (::write(stopWrite_, &byte, 1) < 0 && errno == EINTR) {
  }
  thread_.join();
  ::close(stopRead_);
  ::close(stopWrite_);
  ::close(listenFd_);
  ::unlink(path_.c_str());
}

void SimControl::Deliver(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.empty()) return;
  std::optional<WorkspaceEvent> event = ParseNotice(line);
  if (!event) {
    static LogOnce s_badLine;
    if (s_badLine.First()) {
      Log("sim-control: ignoring a line that is not a notice: %s", Printable(line).c_str());
    }
    return;
  }
  mainQueue_.Post(
      [&workspace = workspace_, notice = std::move(*event)] { workspace.Notify(notice); });
}

void SimControl::Serve() {
  std::vector<Connection> connections;
  std::vector<pollfd> polled;
  for (;;) {
    polled.assign({pollfd{stopRead_, POLLIN, 0}, pollfd{listenFd_, POLLIN, 0}});
    for (const Connection& c : connections) polled.push_back(pollfd{c.fd, POLLIN, 0});
    if (::poll(polled.data(), polled.size(), -1) < 0) {
      if (errno == EINTR) continue;
      Log("sim-control: poll failed: %s; no more notices are taken", std::strerror(errno));
      break;
    }
    if (polled[0].revents != 0) break;
    // Walk the connections before accepting, so that `polled` still matches them.
    for (size_t i = connections.size(); i-- > 0;) {
      if (polled[i + 2].revents == 0) continue;
      Connection& c = connections[i];
      char chunk[kReadChunkBytes];
      ssize_t got = ::read(c.fd, chunk, sizeof(chunk));
      if (got < 0 && errno == EINTR) continue;
      bool closed = got <= 0;
      if (!closed) c.pending.append(chunk, static_cast<size_t>(got));
      for (size_t end; (end = c.pending.find('\n')) != std::string::npos;) {
        Deliver(std::string_view(c.pending).substr(0, end));
        c.pending.erase(0, end + 1);
      }
      if (closed) Deliver(c.pending);  // a last line without its line feed still counts
      if (!closed && c.pending.size() > kMaxLineBytes) {
        Log("sim-control: a line of over %zu bytes; closing that connection", kMaxLineBytes);
        closed = true;
      }
      if (closed) {
        ::close(c.fd);
        connections.erase(connections.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
    if (polled[1].revents != 0) {
      int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd >= 0) connections.push_back(Connection{fd, {}});
    }
  }
  for (const Connection& c : connections) ::close(c.fd);
}

}  // namespace hovra::platform::journal
