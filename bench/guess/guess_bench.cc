// hovra_guess_bench: how many PIN answers an attacker on the LAN gets checked, hammering the
// server as fast as loopback allows from one source and from 64 (127.0.0.1 and up), and the
// time that leaves to find the PIN (6,561 values, half of them on average).
//   hovra_guess_bench [--hours H] [--speedup N]
// The server is the real one, in this process, with its real limits. The clock its guess
// penalties are measured by runs N times faster than real time, so that H hours pass in
// H * 3600 / N real seconds; the attackers still send as fast as they can in real time,
// which is far more than the limits let through (each refused answer costs them only a
// round trip), so the figure is the limits' and not the attackers' speed.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_platform.h"
#include "bench/load/figures.h"
#include "server/hovra_svr_sock.h"

namespace hovra::bench {
namespace {

constexpr double kPinValues = 6561;       // four digits 1 to 9
constexpr int kAnswersPerConnection = 6;  // the sixth wrong one ends the connection
constexpr int kAttackerThreads = 4;

int ConnectFrom(const std::string& source, unsigned short port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in from{};
  from.sin_family = AF_INET;
  ::inet_pton(AF_INET, source.c_str(), &from.sin_addr);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (fd >= 0 && (::bind(fd, reinterpret_cast<sockaddr*>(&from), sizeof from) != 0 ||
                  ::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Reads until the server closes the connection (or a second passes without a byte).
void DrainUntilClosed(int fd) {
  char sink[4096];
  pollfd pfd{fd, POLLIN, 0};
  while (::poll(&pfd, 1, 1000) > 0 && ::recv(fd, sink, sizeof sink, 0) > 0) {
  }
}

// One connection: six wrong answers at once, then the replies until the server closes it.
bool Attack(const std::string& source, unsigned short port, long& answers) {
  const int fd = ConnectFrom(source, port);
  if (fd < 0) return false;
  std::string burst;
  for (int i = 0; i < kAnswersPerConnection; ++i)
    burst += "verifypassword 00000000000000000000000000000000\n";
  const bool sent =
      ::send(fd, burst.data(), burst.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(burst.size());
  if (sent) DrainUntilClosed(fd);
  ::close(fd);
  if (sent) answers += kAnswersPerConnection;
  return sent;
}

struct Outcome {
  long answers = 0;  // sent by the attackers
  long checked = 0;  // that reached the PIN check
  double realSeconds = 0;
  double simulatedSeconds = 0;
};

Outcome Measure(int sources, double hours, long speedup) {
  BenchPlatform platform;
  std::atomic<long> checked{0};
  const auto start = std::chrono::steady_clock::now();
  ServerOptions options;
  options.discovery.port = 0;
  options.hooks.isPasswordProtection = [] { return true; };
  options.hooks.verifyPassword = [&checked](const char*, const std::string&, int) {
    ++checked;
    return false;
  };
  options.guessClock = [start, speedup] {
    return start + (std::chrono::steady_clock::now() - start) * speedup;
  };
  CHovraSvrSock server("", 0, options);
  const auto realLength =
      std::chrono::duration<double>(hours * 3600 / static_cast<double>(speedup));
  const auto end =
      start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(realLength);

  std::atomic<long> answers{0};
  std::vector<std::thread> attackers;
  for (int t = 0; t < std::min(sources, kAttackerThreads); ++t) {
    attackers.emplace_back([&, t] {
      long mine = 0;
      for (int next = t; std::chrono::steady_clock::now() < end;) {
        Attack("127.0.0." + std::to_string(next + 1), server.ListeningPort(), mine);
        next += kAttackerThreads;
        if (next >= sources) next = t % sources;
      }
      answers += mine;
    });
  }
  for (std::thread& attacker : attackers) attacker.join();
  const double real =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  server.Stop();
  return Outcome{answers.load(), checked.load(), real, real * static_cast<double>(speedup)};
}

std::string Duration(double seconds) {
  if (seconds >= 2 * 86400) return Format("%.1f days", seconds / 86400);
  return Format("%.1f hours", seconds / 3600);
}

void Report(int sources, double hours, long speedup, double targetSeconds) {
  const Outcome o = Measure(sources, hours, speedup);
  const std::string who = sources == 1 ? "1 source" : std::to_string(sources) + " sources";
  const double rate =
      o.simulatedSeconds > 0 ? static_cast<double>(o.checked) / o.simulatedSeconds : 0;
  const double expected = rate > 0 ? (kPinValues / 2) / rate : 0;
  PrintFigure("guess: answers sent, " + who,
              Format("%.0f a second", static_cast<double>(o.answers) / o.realSeconds) + ", " +
                  std::to_string(o.checked) + " checked in " +
                  Format("%.0f simulated hours", o.simulatedSeconds / 3600));
  PrintFigure("guess: PIN guesses per second an attacker gets, " + who, Format("%.5f", rate));
  PrintFigure("guess: expected time to guess the PIN, " + who, Duration(expected),
              ">= " + Duration(targetSeconds), Check(rate > 0 && expected >= targetSeconds));
}

}  // namespace
}  // namespace hovra::bench

int main(int argc, char** argv) {
  double hours = 24;
  long speedup = 2880;  // a day in 30 s
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    if (name == "--hours") {
      hours = std::atof(argv[i + 1]);
    } else if (name == "--speedup") {
      speedup = std::atol(argv[i + 1]);
    } else {
      std::fprintf(stderr, "usage: hovra_guess_bench [--hours H] [--speedup N]\n");
      return 2;
    }
  }
  if (hours <= 0 || speedup <= 0) return 2;
  hovra::bench::Report(1, hours, speedup, 7 * 86400.0);
  hovra::bench::Report(64, hours, speedup, 86400.0);
  return 0;
}
