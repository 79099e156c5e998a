// One connected client: its socket, its receive buffer and what it asked for.
#pragma once

#include <atomic>
#include <mutex>

#include "base/log.h"
#include "input/held_input.h"

namespace hovra {

inline constexpr int kRecvBufferBytes = 8192;  // per client; one frame or line must fit

struct _MouseClnt {
  int sock = -1;
  int recvLen = 0;  // bytes held in recvBuf, 0 to kRecvBufferBytes
  // Set by "reportCurrentApp"; read by the main thread's reports, hence atomic.
  std::atomic<bool> reportApp{false};
  char recvBuf[kRecvBufferBytes + 1] = {};  // always NUL-terminated at recvLen

  // Serialises writes to the socket: a report from the main thread never interleaves
  // its bytes with a reply the worker is writing.
  std::mutex sendMutex;
  // Raised when the client is to be closed at the next loop boundary (a reply that
  // could not be delivered in time); the socket is shut down at once.
  std::atomic<bool> dropRequested{false};
  // What this client holds down, released when its connection ends.
  HeldInput held;
  // Connected while PIN protection was on and not verified yet: only "verifypassword "
  // and "ping" are carried out, everything else is consumed and ignored.
  bool mustVerify = false;
  int failedChecks = 0;  // of "verifypassword " while mustVerify
  // Logged once per client: its buffer filled up without a frame or line.
  LogOnce overflowLogged;
  LogOnce longLineLogged;
  LogOnce unverifiedLogged;
};

}  // namespace hovra
