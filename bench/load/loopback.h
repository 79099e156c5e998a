// Loopback plumbing for the load benchmarks: blocking clients and the bare echo server
// the latency figure is compared with.
#pragma once

#include <atomic>
#include <string>
#include <string_view>
#include <thread>

namespace hovra::bench {

// A connected TCP socket to 127.0.0.1:port with TCP_NODELAY, or -1.
int ConnectLoopback(unsigned short port);
// The same with a small receive buffer set before connecting, for a client that will not
// read: the server's replies back up at once.
int ConnectNonReader(unsigned short port);
bool SendAll(int fd, std::string_view bytes);
// Reads until `text` has arrived (within `seconds`); false on close, error or time-out.
// Bytes after `text` in the same read are kept in `pending` for the next call.
bool ReadUntil(int fd, std::string_view text, std::string& pending, int seconds = 30);
// Raises the soft descriptor limit to the hard one; returns the new soft limit.
long RaiseDescriptorLimit();

// Accepts one connection at a time on 127.0.0.1 and answers every read with "echo": the
// least any server can do per message, the floor the real server is measured against.
class EchoServer {
 public:
  EchoServer();
  ~EchoServer();
  EchoServer(const EchoServer&) = delete;
  EchoServer& operator=(const EchoServer&) = delete;
  unsigned short Port() const { return port_; }

 private:
  void Serve();
  int listener_ = -1;
  unsigned short port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace hovra::bench
