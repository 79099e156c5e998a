// One connection to an X display with XTEST, that survives the display going away: a lost
// connection is logged once and closed, and reopened on a later use once the retry
// interval has passed (so a dead display costs one connect attempt per interval, never a
// busy loop). Not thread-safe: the owner serialises its use.
#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <string>

#include "base/log.h"

namespace hovra::platform::x11 {

class X11Connection {
 public:
  X11Connection(std::string name, std::chrono::milliseconds retryInterval)
      : name_(std::move(name)), retryInterval_(retryInterval) {}
  ~X11Connection() { Close(); }
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  // Opens the display now; false (and logged) when it cannot be reached or lacks XTEST.
  bool Open();
  // The open display, reopening it when it was lost and a retry is due; null meanwhile.
  // `reopened` is set when this call opened a new connection.
  Display* Get(bool* reopened);
  // True when the connection broke during the Xlib calls since the last check; it is
  // then closed (the caller drops what it was doing).
  bool CheckLost();
  bool IsOpen() const { return display_ != nullptr; }
  const std::string& Name() const { return name_; }

 private:
  static void OnIoErrorExit(Display* display, void* self);
  void Close();

  std::string name_;
  std::chrono::milliseconds retryInterval_;
  std::chrono::steady_clock::time_point nextAttempt_{};
  Display* display_ = nullptr;
  bool broken_ = false;  // set from Xlib's I/O error path, checked after each use
  bool everOpened_ = false;
  LogOnce lostLog_;
};

}  // namespace hovra::platform::x11
