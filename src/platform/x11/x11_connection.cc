#include "platform/x11/x11_connection.h"

#include <X11/extensions/XTest.h>

#include <cstdlib>
#include <mutex>

namespace hovra::platform::x11 {
namespace {

// Xlib's default handlers end the process on a lost connection or a refused request;
// a server that types for a phone must outlive both, so they are replaced once.
int QuietIoError(Display*) { return 0; }  // the connection's exit handler logs and returns

int LogProtocolError(Display*, XErrorEvent* error) {
  static LogOnce refused;
  if (refused.First()) {
    Log("X server refused a request (error %d, request %d.%d); further refusals are not logged",
        error->error_code, error->request_code, error->minor_code);
  }
  return 0;
}

void InstallHandlers() {
  static std::once_flag once;
  std::call_once(once, [] {
    XSetIOErrorHandler(QuietIoError);
    XSetErrorHandler(LogProtocolError);
  });
}

}  // namespace

bool X11Connection::Open() {
  InstallHandlers();
  nextAttempt_ = std::chrono::steady_clock::now() + retryInterval_;
  if (name_.empty() && std::getenv("DISPLAY") == nullptr) return false;  // no desktop here
  Display* display = XOpenDisplay(name_.empty() ? nullptr : name_.c_str());
  if (display == nullptr) {
    if (!everOpened_) Log("cannot open X display \"%s\"", name_.c_str());
    return false;
  }
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
    Log("X display \"%s\" has no XTEST extension; input cannot be posted there", name_.c_str());
    XCloseDisplay(display);
    return false;
  }
  XSetIOErrorExitHandler(display, OnIoErrorExit, this);
  XTestGrabControl(display, True);  // keep posting even while another client grabs the server
  display_ = display;
  broken_ = false;
  if (everOpened_) Log("X display \"%s\" is back; input is posted again", name_.c_str());
  everOpened_ = true;
  lostLog_.Rearm();
  return true;
}

Display* X11Connection::Get(bool* reopened) {
  *reopened = false;
  if (display_ != nullptr) return display_;
  if (std::chrono::steady_clock::now() < nextAttempt_) return nullptr;
  *reopened = Open();
  return display_;
}

bool X11Connection::CheckLost() {
  if (!broken_) return false;
  if (lostLog_.First()) {
    Log("lost the connection to X display \"%s\"; input is dropped until it is back",
        name_.c_str());
  }
  Close();
  nextAttempt_ = std::chrono::steady_clock::now() + retryInterval_;
  return true;
}

void X11Connection::OnIoErrorExit(Display*, void* self) {
  // Returning (instead of exiting) leaves the display unusable but the process alive;
  // the owner notices through CheckLost() and closes it.
  static_cast<X11Connection*>(self)->broken_ = true;
}

void X11Connection::Close() {
  if (display_ == nullptr) return;
  XCloseDisplay(display_);
  display_ = nullptr;
}

}  // namespace hovra::platform::x11
