// A blocking loopback client for tests: connect, send, and read with a deadline.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <utility>

namespace hovra::testing {

using namespace std::chrono_literals;

class SocketClient {
 public:
  // Connects to 127.0.0.1 (or ::1 when `ipv6`) at `port`; check Connected().
  explicit SocketClient(unsigned short port, bool ipv6 = false);
  explicit SocketClient(int connectedFd) : fd_(connectedFd) {}
  ~SocketClient();
  SocketClient(SocketClient&& other) noexcept { *this = std::move(other); }
  SocketClient& operator=(SocketClient&& other) noexcept {  // `other` closes what this held
    std::swap(fd_, other.fd_);
    std::swap(pending_, other.pending_);
    std::swap(closed_, other.closed_);
    return *this;
  }
  SocketClient(const SocketClient&) = delete;
  SocketClient& operator=(const SocketClient&) = delete;

  // Connects and reads the greeting line.
  static SocketClient Greeted(unsigned short port);

  bool Connected() const { return fd_ >= 0; }
  // A small receive buffer, for a client that stops reading: its replies back up at once.
  void ShrinkReceiveBuffer();
  // Sends small writes at once (no Nagle delay), for round-trip measurements.
  void NoDelay();
  // Hands the descriptor over to the caller, who closes it.
  int Release() { return std::exchange(fd_, -1); }
  int Fd() const { return fd_; }
  bool Send(std::string_view bytes);
  // Reads until `count` bytes arrived or the deadline passed; returns what arrived.
  std::string Read(size_t count, std::chrono::milliseconds wait = 5s);
  // Reads until `text` has arrived (returns everything up to and including it).
  std::string ReadUntil(std::string_view text, std::chrono::milliseconds wait = 5s);
  // Whatever arrives within `wait` (used to show that nothing more comes).
  std::string ReadAvailable(std::chrono::milliseconds wait = 200ms);
  // True when the peer closed the connection within `wait`.
  bool WaitForClose(std::chrono::milliseconds wait = 5s);
  // Closes with a reset instead of an orderly close.
  void Reset();
  void Close();

 private:
  bool Fill(std::chrono::steady_clock::time_point deadline);
  std::string Take(size_t count);  // up to `count` bytes of what arrived
  int fd_ = -1;
  std::string pending_;
  bool closed_ = false;
};

// Connects to 127.0.0.1:port from the loopback address `source` ("127.0.0.7").
SocketClient ConnectFrom(const char* source, unsigned short port);

// A UDP socket bound to a loopback address at any free port (or `port`).
class UdpCatcher {
 public:
  explicit UdpCatcher(const char* address = "127.0.0.1", unsigned short port = 0);
  ~UdpCatcher();
  UdpCatcher(const UdpCatcher&) = delete;
  UdpCatcher& operator=(const UdpCatcher&) = delete;
  unsigned short Port() const { return port_; }
  int Fd() const { return fd_; }
  // The next datagram, or nothing (empty) when none came within `wait`.
  std::string Receive(std::chrono::milliseconds wait = 5s);
  void SendTo(unsigned short port, std::string_view bytes);

 private:
  int fd_ = -1;
  unsigned short port_ = 0;
};

// A frame as a client sends it: the tag, the payload's length in three digits, the payload.
std::string EncodeFrame(std::string_view tag, std::string_view payload);
inline std::string KeyFrame(std::string_view payload) { return EncodeFrame("key", payload); }
inline std::string MouseFrame(std::string_view payload) { return EncodeFrame("mos", payload); }

// Writes `line` and a line feed to the Unix stream socket at `path`; false on failure.
bool SendUnixLine(const std::string& path, std::string_view line);

// Binds `fd` to a loopback `address` at `port` (0: any free port); returns the port.
unsigned short BindLoopback(int fd, const char* address = "127.0.0.1", unsigned short port = 0);

// A port that was free a moment ago (UDP or TCP) on loopback.
unsigned short FreePort(bool udp);

}  // namespace hovra::testing
