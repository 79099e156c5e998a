// Loopback plumbing for the load benchmarks (clients are the tests' SocketClient): the
// descriptor limit and the bare echo server the latency figure is compared with.
#pragma once

#include <atomic>
#include <thread>

namespace hovra::bench {

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
