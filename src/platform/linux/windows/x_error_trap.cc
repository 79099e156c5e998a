#include "platform/linux/windows/x_error_trap.h"

#include <map>
#include <mutex>

#include "base/log.h"

namespace hovra::platform::linux_desktop {
namespace {

std::mutex s_mutex;
std::map<Display*, std::atomic<bool>*>& Trapped() {
  static std::map<Display*, std::atomic<bool>*> s_trapped;
  return s_trapped;
}
int OnError(Display* display, XErrorEvent* error) {
  {
    std::lock_guard<std::mutex> lock(s_mutex);
    if (Trapped().contains(display)) return 0;
  }
  // Xlib's own handler would end the process; another connection's refusal is only told.
  static LogOnce s_refused;
  if (s_refused.First()) {
    Log("X server refused a request (error %d, request %d.%d); further refusals are not logged",
        error->error_code, error->request_code, error->minor_code);
  }
  return 0;
}

int QuietIoError(Display*) { return 0; }  // the exit handler below takes over

void OnIoErrorExit(Display*, void* broken) {
  static LogOnce s_lost;
  if (s_lost.First()) Log("windows: the X display went away; windows are no longer followed");
  static_cast<std::atomic<bool>*>(broken)->store(true);
}

}  // namespace

void TrapErrorsOf(Display* display, std::atomic<bool>* broken) {
  {
    std::lock_guard<std::mutex> lock(s_mutex);
    Trapped()[display] = broken;
  }
  static std::once_flag s_once;
  std::call_once(s_once, [] {
    XSetErrorHandler(OnError);
    XSetIOErrorHandler(QuietIoError);
  });
  XSetIOErrorExitHandler(display, OnIoErrorExit, broken);
}

void UntrapErrorsOf(Display* display) {
  std::lock_guard<std::mutex> lock(s_mutex);
  Trapped().erase(display);
}

}  // namespace hovra::platform::linux_desktop
