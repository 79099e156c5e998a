// Many clients at once, driven from one thread with epoll: each sends frames on its own
// schedule, spread evenly over the period, and every tenth frame carries a "ping" whose
// "echo" is timed.
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "bench/load/latency_bench.h"
#include "tests/support/socket_client.h"

namespace hovra::bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBurst = 32;

struct BusyClient {
  int fd = -1;
  long sends = 0;
  bool pingOutstanding = false;
  Clock::time_point pingSent;
  std::string pending;
};

class ClientDriver {
 public:
  explicit ClientDriver(int count)
      : clients_(static_cast<size_t>(count)), epoll_(::epoll_create1(EPOLL_CLOEXEC)) {}
  ~ClientDriver() {
    for (BusyClient& c : clients_) {
      if (c.fd >= 0) ::close(c.fd);
    }
    ::close(epoll_);
  }

  int Connect(unsigned short port) {
    int connected = 0;
    // A crowd connects faster than one accept per pass takes it: the listen queue
    // overflows and connects are retried by the kernel, so this may take a while.
    for (size_t i = 0; i < clients_.size(); ++i) {
      testing::SocketClient client(port);
      client.NoDelay();
      clients_[i].fd = client.Release();
      if (clients_[i].fd < 0) continue;
      epoll_event event{};
      event.events = EPOLLIN;
      event.data.u64 = i;
      ::epoll_ctl(epoll_, EPOLL_CTL_ADD, clients_[i].fd, &event);
      ++connected;
    }
    return connected;
  }

  // Waits until every connected client has its greeting line (or `seconds` passed).
  void AwaitGreetings(int seconds) {
    const auto deadline = Clock::now() + std::chrono::seconds(seconds);
    size_t greeted = 0;
    for (const BusyClient& c : clients_) greeted += c.fd < 0 ? 1 : 0;
    while (greeted < clients_.size() && Clock::now() < deadline) {
      greeted += Poll(10, [](BusyClient& c) {
        const size_t at = c.pending.find('\n');
        if (at == std::string::npos) return size_t{0};
        c.pending.clear();
        return size_t{1};
      });
    }
  }

  void RunBusy(int rate, int seconds, ManyClientsFigures& figures) {
    const auto period = std::chrono::nanoseconds(1'000'000'000 / rate);
    const auto start = Clock::now() + std::chrono::milliseconds(10);
    const auto end = start + std::chrono::seconds(seconds);
    const auto n = static_cast<long>(clients_.size());
    long round = 0;
    long index = 0;
    auto dueOf = [&] { return start + round * period + period * index / n; };
    while (Clock::now() < end) {
      // A bounded burst, so that echoes are read promptly even when sending runs late.
      int burst = 0;
      for (auto due = dueOf(); burst < kBurst && due <= Clock::now() && due < end;
           due = dueOf(), ++burst) {
        SendNext(static_cast<size_t>(index), figures);
        if (++index == n) {
          index = 0;
          ++round;
        }
      }
      const auto wait = std::chrono::ceil<std::chrono::milliseconds>(dueOf() - Clock::now());
      Poll(static_cast<int>(std::max<long>(0, wait.count())),
           [&](BusyClient& c) { return TakeEchoes(c, figures); });
    }
    const auto drainUntil = Clock::now() + std::chrono::seconds(2);
    while (Outstanding() > 0 && Clock::now() < drainUntil) {
      Poll(10, [&](BusyClient& c) { return TakeEchoes(c, figures); });
    }
    figures.pingsUnanswered = Outstanding();
  }

 private:
  void SendNext(size_t i, ManyClientsFigures& figures) {
    BusyClient& c = clients_[i];
    if (c.fd < 0) return;
    const bool ping = (c.sends + static_cast<long>(i)) % 10 == 0 && !c.pingOutstanding;
    const std::string_view bytes = ping ? "mos005m 1 1ping\n" : "mos005m 1 1";
    if (ping) {
      c.pingOutstanding = true;
      c.pingSent = Clock::now();
    }
    if (::send(c.fd, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL) ==
        static_cast<ssize_t>(bytes.size())) {
      ++figures.framesSent;
    }
    ++c.sends;
  }

  size_t TakeEchoes(BusyClient& c, ManyClientsFigures& figures) {
    for (size_t at; (at = c.pending.find("echo")) != std::string::npos;) {
      c.pending.erase(0, at + 4);
      if (c.pingOutstanding) {
        c.pingOutstanding = false;
        figures.pingMicros.push_back(
            std::chrono::duration<double, std::micro>(Clock::now() - c.pingSent).count());
      }
    }
    return 0;
  }

  long Outstanding() const {
    long count = 0;
    for (const BusyClient& c : clients_) count += c.pingOutstanding ? 1 : 0;
    return count;
  }

  // Reads what arrived; `onData` looks at the client's pending bytes and returns a count.
  template <typename OnData>
  size_t Poll(int timeoutMs, OnData onData) {
    epoll_event events[256];
    int ready = ::epoll_wait(epoll_, events, 256, timeoutMs);
    size_t total = 0;
    for (int e = 0; e < ready; ++e) {
      BusyClient& c = clients_[events[e].data.u64];
      char buf[4096];
      ssize_t n = ::recv(c.fd, buf, sizeof buf, MSG_DONTWAIT);
      if (n <= 0) {
        if (n == 0) {
          ::epoll_ctl(epoll_, EPOLL_CTL_DEL, c.fd, nullptr);
        }
        continue;
      }
      c.pending.append(buf, static_cast<size_t>(n));
      total += onData(c);
    }
    return total;
  }

  std::vector<BusyClient> clients_;
  int epoll_;
};

}  // namespace

ManyClientsFigures MeasureManyClients(LaunchedServer& server, int clients, int rate,
                                      int busySeconds, int idleSeconds,
                                      const std::vector<std::string>& nonReaderAsks) {
  ManyClientsFigures figures;
  ClientDriver driver(clients);
  figures.connected = driver.Connect(server.Port());
  driver.AwaitGreetings(30);
  // Clients that ask for large replies and never read them, left open meanwhile.
  std::vector<testing::SocketClient> nonReaders;
  for (const std::string& asks : nonReaderAsks) {
    testing::SocketClient& client = nonReaders.emplace_back(server.Port());
    client.ShrinkReceiveBuffer();
    ::send(client.Fd(), asks.data(), asks.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
  }
  const double beforeBusy = server.CpuSeconds();
  const auto busyStart = std::chrono::steady_clock::now();
  driver.RunBusy(rate, busySeconds, figures);
  figures.busyCpuShare =
      (server.CpuSeconds() - beforeBusy) /
      std::chrono::duration<double>(std::chrono::steady_clock::now() - busyStart).count();
  figures.peakRssKiB = server.PeakRssKiB();
  nonReaders.clear();
  if (idleSeconds <= 0) return figures;
  const double before = server.CpuSeconds();
  std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
  figures.idleCpuShare = (server.CpuSeconds() - before) / idleSeconds;
  return figures;
}

IdleFigures MeasureIdleClients(LaunchedServer& server, int clients, int idleSeconds) {
  IdleFigures figures;
  ClientDriver driver(clients);
  figures.connected = driver.Connect(server.Port());
  driver.AwaitGreetings(120);
  std::this_thread::sleep_for(std::chrono::seconds(1));  // accepting and greeting settle
  const double before = server.CpuSeconds();
  std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
  figures.idleCpuShare = (server.CpuSeconds() - before) / idleSeconds;
  figures.rssKiB = server.RssKiB();
  return figures;
}

}  // namespace hovra::bench
