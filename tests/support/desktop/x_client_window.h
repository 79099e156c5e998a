// A real X client window for window-tracking tests, on its own connection.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

struct _XDisplay;

namespace hovra::testing {

// The values of a list property (windows, atoms) of `window`; empty when it has none.
std::vector<unsigned long> XListProperty(_XDisplay* display, unsigned long window, const char* name,
                                         unsigned long type);

struct XClientWindowSpec {
  std::string wmClass{};
  std::string wmInstance{};
  std::string gtkApplicationId{};  // left out when empty
  bool skipTaskbar = false;
};

class XClientWindow {
 public:
  XClientWindow(const std::string& display, const XClientWindowSpec& spec);
  ~XClientWindow();
  XClientWindow(const XClientWindow&) = delete;
  XClientWindow& operator=(const XClientWindow&) = delete;

  bool Open() const { return display_ != nullptr; }
  uint64_t Id() const { return window_; }
  std::string HexId() const;  // "0x..." for wmctrl and xprop
  // Sets _NET_WM_PID (and the machine) on the mapped window.
  void SetPid(int pid);
  // Destroys the window now (an application closing it).
  void Close();
  // Whether the window manager put _NET_WM_STATE_<state> on the window ("HIDDEN", ...).
  bool HasState(const std::string& state);
  // Whether the window manager asked the window to close (WM_DELETE_WINDOW) by then.
  bool WaitForDeleteRequest(std::chrono::milliseconds wait);

 private:
  void SetProperty(const char* name, unsigned long type, int format, const void* data, int count);
  _XDisplay* display_ = nullptr;
  unsigned long window_ = 0;
};

}  // namespace hovra::testing
