// A real X client window on its own connection: for window tracking, or a focused one
// covering the display that records the characters and buttons it receives.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

// Xlib stays out of this header (its macros clash with GoogleTest's names).
struct _XDisplay;

namespace hovra::testing {

// The values of a list property (windows, atoms) of `window`; empty when it has none.
std::vector<unsigned long> XListProperty(_XDisplay* display, unsigned long window, const char* name,
                                         unsigned long type);

// Modifier bits of an X key or pointer state.
inline constexpr unsigned kShiftMask = 1u << 0;
inline constexpr unsigned kControlMask = 1u << 2;
inline constexpr unsigned kAltMask = 1u << 3;    // Mod1
inline constexpr unsigned kSuperMask = 1u << 6;  // Mod4

// A key press that typed a character, with the Shift, Control, Alt and Super it carried.
using TypedKey = std::pair<char32_t, unsigned>;

// A button pressed or let go: the X button, press, and the pointer's root coordinates.
using ButtonRecord = std::tuple<unsigned, bool, int, int>;

struct XClientWindowSpec {
  std::string wmClass{};
  std::string wmInstance{};
  std::string gtkApplicationId{};  // left out when empty
  bool skipTaskbar = false;
  bool focusedCover = false;  // covers the display, takes the focus and records its input
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
  void Close();  // destroys the window now (an application closing it)
  // Whether the window manager put _NET_WM_STATE_<state> on the window ("HIDDEN", ...).
  bool HasState(const std::string& state);
  // Whether the window manager asked the window to close (WM_DELETE_WINDOW) by then.
  bool WaitForDeleteRequest(std::chrono::milliseconds wait);

  // The input recorded since the last call (focusedCover); call after the poster has synced.
  std::u32string TakeText();
  std::vector<TypedKey> TakeKeys();
  std::vector<ButtonRecord> TakeButtons();
  // The pointer in root coordinates and the modifier and button state, as the server has them.
  void Pointer(int* x, int* y, unsigned* state = nullptr);
  void WarpPointer(int x, int y);
  // Whether some key of the server's keyboard map (read now) carries `keysym`.
  bool KeymapHas(unsigned long keysym);

 private:
  void SetProperty(const char* name, unsigned long type, int format, const void* data, int count);
  void Drain();

  _XDisplay* display_ = nullptr;
  unsigned long window_ = 0;
  std::vector<TypedKey> keys_;
  std::vector<ButtonRecord> buttons_;
};

}  // namespace hovra::testing
