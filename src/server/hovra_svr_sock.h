// The network server: the TCP listener (IPv6, dual-stack), LAN discovery and the client
// table, run by one worker thread on an event loop (epoll, kqueue or poll). Created once
// at start-up; everything a client asks for runs on the worker, each client's messages in
// arrival order, no client for more than a short slice of a pass while others wait.
// Replies are queued per client and written as its socket takes them; only the worker
// touches client sockets. Other threads hand it work through its mailbox.
#pragma once

#include <pthread.h>

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/rate_limit.h"
#include "server/client.h"
#include "server/connection_limits.h"
#include "server/discovery.h"
#include "server/event_loop.h"
#include "server/pin_guard.h"
#include "server/security/guess_penalties.h"
#include "server/worker_mailbox.h"

namespace hovra {

struct ServerOptions {
  DiscoveryOptions discovery;
  ServerHooks hooks;
  std::string poller;  // "" the platform's best backend; "poll", "epoll", "kqueue"
  ConnectionLimits connections;
  security::GuessLimits guesses;
  SteadyClock guessClock = RealSteadyClock();  // what PIN-guess waits are measured by
};

class CHovraSvrSock {
 public:
  // `addr` is not used: the listener binds to the IPv6 any-address. Port 0 takes any free
  // port (see ListeningPort). A socket that cannot be set up stays closed (-1).
  CHovraSvrSock(const std::string& addr, unsigned short port, ServerOptions options = {});
  ~CHovraSvrSock();  // Stop()
  CHovraSvrSock(const CHovraSvrSock&) = delete;
  CHovraSvrSock& operator=(const CHovraSvrSock&) = delete;

  // Asks the worker to stop; returns at once.
  void setStop();
  // Stops and waits for the worker: the listener closes (new connections are refused),
  // every client's held input is released and its connection closed. Any thread but the
  // worker; the main thread must not be needed by the worker meanwhile (its queue ended).
  void Stop();

  bool IsListening() const { return tcpSock != -1; }
  unsigned short ListeningPort() const { return listeningPort_; }
  const char* PollerName() const { return loop_->BackendName(); }
  size_t ClientCount() const { return clientCount_.load(std::memory_order_relaxed); }

  // Reports a new frontmost application to every client that asked (any thread; the
  // worker queues the reports).
  void SendCurrentApplication(const char* bundleId);

  // The connected clients' addresses ("192.168.1.7", "fe80::1"), in table order; safe from
  // any thread.
  std::vector<std::string> ConnectedPeerAddresses() const;

 private:
  static void* SvrThreadProc(void* self);
  void ThreadProcImpl();
  bool BeforeWait();
  void AcceptNewConn();
  void PauseAccepting();
  void ResumeAccepting();
  void OnClientEvent(int fd, unsigned ready);
  // After a client's slice: where its input and its end go, then its replies.
  void AfterSlice(_MouseClnt& c, int result);
  void ResumeInput(_MouseClnt& c);
  void WatchStalls();
  void ServeBacklog();
  void Flush(_MouseClnt& c);
  void MarkClosing(_MouseClnt& c);
  void CloseMarked();
  void RemoveClient(int sock);
  void ShutDown();
  // The guards on connections (hovra_svr_sock_guards.cc).
  bool Admit(_MouseClnt& c);
  void TrackUnverified(_MouseClnt& c);
  void ForgetUnverified(_MouseClnt& c);
  long CloseOverdue();
  void WatchProtection();
  void NoteProtection(bool on);
  void CloseUnverified();

  int tcpSock = -1;
  unsigned short listeningPort_ = 0;
  std::unique_ptr<Discovery> discovery;
  pthread_t thread{};
  bool threadCreated = false;
  std::atomic<int> isRunning{0};
  // The client table, by descriptor (ascending order); worker thread only.
  std::map<int, std::unique_ptr<_MouseClnt>> clients;
  std::atomic<size_t> clientCount_{0};
  // The table's size and addresses for other threads, set wherever the table changes.
  void TableChanged();
  mutable std::mutex peersMutex_;
  std::vector<std::string> peerAddresses_;

  ServerHooks hooks_;
  std::unique_ptr<EventLoop> loop_;
  WorkerMailbox mailbox_;
  std::vector<int> backlog_;  // clients whose complete input waits for the next pass
  std::vector<int> closing_;  // clients closed at the next loop boundary
  // While descriptors are exhausted, accepting pauses instead of spinning on the listener.
  bool acceptPaused_ = false;
  EventLoop::TimerId acceptResume_ = 0;
  EventLoop::TimerId stallTimer_ = 0;  // runs while some client's input waits for its replies

  PinGuard pinGuard_;
  ConnectionLimits limits_;
  UnverifiedCounts unverified_;
  uint64_t nextSerial_ = 0;
  struct Deadline {
    std::chrono::steady_clock::time_point due;
    int sock;
    uint64_t serial;
  };
  std::deque<Deadline> unverifiedDeadlines_;  // in accepting order, so in order of `due`
  EventLoop::TimerId deadlineTimer_ = 0;
  EventLoop::TimerId protectionTimer_ = 0;
  bool protectionSeen_ = false;  // protection as last looked at
  Episode allFullEpisode_;
  Episode sourceFullEpisode_;
  LineRateLimiter overdueLines_;
};

}  // namespace hovra
