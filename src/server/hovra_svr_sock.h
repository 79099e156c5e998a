// The network server: the TCP listener (IPv6, dual-stack), LAN discovery, one worker
// thread with a poll loop, the client table, framing and dispatch, replies and reports.
// Created once at start-up; everything a client asks for runs on the worker thread, one
// message at a time, in arrival order.
#pragma once

#include <poll.h>
#include <pthread.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "server/client.h"
#include "server/discovery.h"

namespace hovra {

// What the server asks of the application shell.
struct ServerHooks {
  std::function<bool()> isPasswordProtection;       // "needpassword\n" after the greeting
  std::function<bool(const char*)> verifyPassword;  // the "verifypassword " check
};

struct ServerOptions {
  DiscoveryOptions discovery;
  ServerHooks hooks;
};

class CHovraSvrSock {
 public:
  // `addr` is not used: the listener binds to the IPv6 any-address. Port 0 takes any free
  // port (see ListeningPort). A socket that cannot be set up stays closed (-1).
  CHovraSvrSock(const std::string& addr, unsigned short port, ServerOptions options = {});
  ~CHovraSvrSock();
  CHovraSvrSock(const CHovraSvrSock&) = delete;
  CHovraSvrSock& operator=(const CHovraSvrSock&) = delete;

  // Asks the worker loop to end; returns at once.
  void setStop();
  bool IsListening() const { return tcpSock != -1; }
  unsigned short ListeningPort() const;

  // Reports a new frontmost application to every client that asked (main thread).
  void SendCurrentApplication(const char* bundleId);

  // Query replies (worker thread), each sent whole to the asking client.
  void OnGetDockInfo(_MouseClnt& c);
  void OnGetIcon(const char* name, _MouseClnt& c);  // nothing when there is no icon
  void OnStartGetActivatedApp(_MouseClnt& c);
  void OnBrowseFiles(const char* path, _MouseClnt& c);

  // Everything a read does after recv: appends the bytes, runs the framing loop and
  // flushes gathered wheel motion. Returns the framing result (negative: drop the client).
  // Public so that tests can drive the framing without a socket read.
  int ReceiveBytes(_MouseClnt& c, const char* data, size_t len);
  // Removes the first n bytes of the client's buffer; returns the new length.
  static int RemoveFromRecvBuf(_MouseClnt& c, int n);

  size_t ClientCount();
  // The connected clients' addresses ("192.168.1.7", "fe80::1"), in table order; safe from
  // any thread.
  std::vector<std::string> ConnectedPeerAddresses();

  // The PIN check of "verifypassword " (false when no check is installed).
  bool VerifyPassword(const char* text) const;

 private:
  friend struct CommandContext;

  static void* SvrThreadProc(void* self);
  void ThreadProcImpl();
  void RunOnePass(std::vector<pollfd>& fds);
  void AcceptNewConn();
  int RecvClntData(_MouseClnt& c);
  int HandleClntMsg(_MouseClnt& c);
  int HandleMsg(_MouseClnt& c, char* p);
  int HandleGesture(_MouseClnt& c);
  int HandleKeyString(_MouseClnt& c, char* payload, int n);
  int HandleMouseString(_MouseClnt& c, char* payload, int n);
  void ClearClnt(_MouseClnt& c);
  void RemoveClient(int sock);
  // Replies that must arrive whole: on failure the client is dropped.
  void SendReply(_MouseClnt& c, const char* data, size_t len);
  void SendSingle(_MouseClnt& c, const char* data, size_t len);

  int tcpSock = -1;
  std::unique_ptr<Discovery> discovery;
  unsigned int lastBcTick = 0;
  pthread_t thread{};
  bool threadCreated = false;
  std::atomic<int> isRunning{0};
  std::map<int, std::unique_ptr<_MouseClnt>> clients;
  std::mutex clientsMutex;  // guards the table's structure against the main thread's walks

  ServerHooks hooks_;
  std::unique_ptr<char[]> iconBuf_;  // the icon reply buffer, made on first use
  int wakePipe_[2] = {-1, -1};       // makes setStop end the wait at once
  // Accepts pause while descriptors are exhausted, instead of spinning on the listener.
  unsigned int acceptPausedUntil_ = 0;
  bool acceptPaused_ = false;
};

}  // namespace hovra
