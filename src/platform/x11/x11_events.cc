#include "platform/x11/x11_events.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/unix_input/layout_space.h"
#include "platform/x11/key_map.h"
#include "platform/x11/keyboard.h"
#include "platform/x11/monitors.h"
#include "platform/x11/x11_connection.h"

namespace hovra::platform::x11 {

using unix_input::EventToLayout;
using unix_input::LayoutPointToEventSpace;
using unix_input::LayoutPointToScreenSpace;
using unix_input::LayoutToScreenSpace;

namespace {

// The X button a mouse event type presses or releases: 1 left, 3 right, 2 other; 0 for
// motion (moved and dragged events are the motion alone).
std::pair<unsigned, bool> ButtonOf(int type) {
  switch (type) {
    case kLeftMouseDown:
      return {1, true};
    case kLeftMouseUp:
      return {1, false};
    case kRightMouseDown:
      return {3, true};
    case kRightMouseUp:
      return {3, false};
    case kOtherMouseDown:
      return {2, true};
    case kOtherMouseUp:
      return {2, false};
    default:
      return {0, false};
  }
}

}  // namespace

struct X11Events::State {
  State(std::string name, std::chrono::milliseconds retry) : connection(std::move(name), retry) {}

  // The display, connected and caught up with keyboard map changes; null when unreachable.
  Display* Ready();
  // After posting or reading: true (and everything the connection held forgotten) when
  // the display went away meanwhile.
  bool Lost();
  void OnOpened(Display* display);
  // Reads the pointer (and the monitors); keeps the last known values when unreachable.
  void ReadPointer(bool withMonitors);
  void ReadMonitorsOnly();
  LayoutRect Primary() const { return monitors.empty() ? LayoutRect{} : monitors.front(); }
  void Click(Display* display, unsigned button, int count);

  X11Connection connection;
  KeyMap keyMap;
  Keyboard keyboard{keyMap};
  bool hasMonitorList = false;
  int xkbEventBase = -1;             // XKB's event number on this connection; -1 without XKB
  std::vector<LayoutRect> monitors;  // the last read, primary first
  int rootX = 0;
  int rootY = 0;
  unsigned int buttonMask = 0;
};

Display* X11Events::State::Ready() {
  bool reopened = false;
  Display* display = connection.Get(&reopened);
  if (display == nullptr) return nullptr;
  if (reopened) OnOpened(display);
  bool mapChanged = false;
  while (XPending(display) > 0) {  // reads what has arrived; never waits for the server
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == xkbEventBase) {
      mapChanged = true;  // a new layout (setxkbmap) or a changed key
    } else if (event.type == MappingNotify) {
      XRefreshKeyboardMapping(&event.xmapping);
      if (event.xmapping.request != MappingPointer) mapChanged = true;
    }
  }
  if (mapChanged) keyMap.Load(display);
  return Lost() ? nullptr : display;
}

bool X11Events::State::Lost() {
  if (!connection.CheckLost()) return false;
  keyboard.Forget();  // the keys it held went with the server's state
  keyMap.Clear();
  return true;
}

void X11Events::State::OnOpened(Display* display) {
  // With XKB, a layout change reaches this connection as XKB events, not MappingNotify.
  int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
  xkbEventBase = -1;
  if (XkbQueryExtension(display, &opcode, &xkbEventBase, &error, &major, &minor)) {
    unsigned int changes = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
    XkbSelectEvents(display, XkbUseCoreKbd, changes, changes);
  } else {
    xkbEventBase = -1;
  }
  keyboard.Forget();
  keyMap.Load(display);
  hasMonitorList = HasMonitorList(display);
  monitors = ReadMonitors(display, hasMonitorList);
}

void X11Events::State::ReadPointer(bool withMonitors) {
  Display* display = Ready();
  if (display == nullptr) return;
  Window root = DefaultRootWindow(display);
  Window rootReturn = 0, child = 0;
  int x = 0, y = 0, windowX = 0, windowY = 0;
  unsigned int mask = 0;
  bool onThisScreen =
      XQueryPointer(display, root, &rootReturn, &child, &x, &y, &windowX, &windowY, &mask);
  std::vector<LayoutRect> read;
  if (withMonitors) read = ReadMonitors(display, hasMonitorList);
  if (Lost()) return;
  if (onThisScreen) {
    rootX = x;
    rootY = y;
    buttonMask = mask;
  }
  if (withMonitors) monitors = std::move(read);
}

void X11Events::State::ReadMonitorsOnly() {
  Display* display = Ready();
  if (display == nullptr) return;
  std::vector<LayoutRect> read = ReadMonitors(display, hasMonitorList);
  if (!Lost()) monitors = std::move(read);
}

void X11Events::State::Click(Display* display, unsigned button, int count) {
  for (int i = 0; i < count; ++i) {
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
  }
}

X11Events::X11Events(std::unique_ptr<State> state) : state_(std::move(state)) {}

X11Events::~X11Events() {
  std::lock_guard lock(mutex_);
  if (!state_->connection.IsOpen()) return;  // a lost display took its keys with it
  Display* display = state_->Ready();
  if (display == nullptr) return;
  state_->keyboard.ReleaseAll(display);  // nothing stays pressed after the server ends
  state_->keyMap.RestoreAll(display);
  XSync(display, False);
}

void X11Events::PostKey(const KeyEvent& event) {
  std::lock_guard lock(mutex_);
  Display* display = state_->Ready();
  if (display == nullptr) return;
  state_->keyboard.Post(display, event);
  XFlush(display);
  state_->Lost();
}

void X11Events::PostMouse(const MouseEvent& event) {
  std::lock_guard lock(mutex_);
  Display* display = state_->Ready();
  if (display == nullptr) return;
  // Event space hangs on the primary monitor as last read: every pointer read refreshes
  // it, so posting itself needs no round trip.
  if (state_->monitors.empty()) state_->ReadMonitorsOnly();
  auto [x, y] = EventToLayout(event.position, state_->Primary());
  XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
  auto [button, down] = ButtonOf(event.type);
  if (button != 0) XTestFakeButtonEvent(display, button, down ? True : False, CurrentTime);
  XFlush(display);
  state_->Lost();
}

void X11Events::PostScroll(const ScrollEvent& event) {
  std::lock_guard lock(mutex_);
  Display* display = state_->Ready();
  if (display == nullptr) return;
  // One wheel click per unit. The deltas are the client's summed amounts already divided
  // by five, so one unit is one deliberate step of the gesture: a larger ratio would drop
  // the common one- and two-unit scrolls (nothing carries over between events). Positive
  // vertical scrolls up (button 4) and positive horizontal scrolls left (button 6), the
  // sign convention of the deltas' own wheel events.
  auto clicks = [](int32_t delta) {
    return static_cast<int>(std::min<int64_t>(std::abs(int64_t{delta}), kMaxWheelClicksPerEvent));
  };
  state_->Click(display, event.vertical > 0 ? 4 : 5, clicks(event.vertical));
  state_->Click(display, event.horizontal > 0 ? 6 : 7, clicks(event.horizontal));
  XFlush(display);
  state_->Lost();
}

Point X11Events::PointerLocation() {
  std::lock_guard lock(mutex_);
  state_->ReadPointer(true);
  return LayoutPointToScreenSpace(state_->rootX, state_->rootY, state_->Primary());
}

Point X11Events::PointerEventLocation() {
  std::lock_guard lock(mutex_);
  state_->ReadPointer(true);
  return LayoutPointToEventSpace(state_->rootX, state_->rootY, state_->Primary());
}

uint32_t X11Events::PressedMouseButtons() {
  std::lock_guard lock(mutex_);
  state_->ReadPointer(false);
  uint32_t pressed = 0;
  if (state_->buttonMask & Button1Mask) pressed |= 1u << 0;  // left
  if (state_->buttonMask & Button3Mask) pressed |= 1u << 1;  // right
  if (state_->buttonMask & Button2Mask) pressed |= 1u << 2;  // other
  return pressed;
}

std::vector<Rect> X11Events::ScreenFrames() {
  std::lock_guard lock(mutex_);
  state_->ReadMonitorsOnly();
  std::vector<Rect> frames;
  for (const LayoutRect& monitor : state_->monitors) {
    frames.push_back(LayoutToScreenSpace(monitor, state_->Primary()));
  }
  return frames;
}

bool X11Events::Sync() {
  std::lock_guard lock(mutex_);
  Display* display = state_->Ready();
  if (display == nullptr) return false;
  XSync(display, False);
  return !state_->Lost();
}

std::unique_ptr<X11Events> OpenX11Events(const char* display,
                                         std::chrono::milliseconds reconnectInterval) {
  auto state =
      std::make_unique<X11Events::State>(display != nullptr ? display : "", reconnectInterval);
  if (!state->connection.Open()) return nullptr;
  bool reopened = false;
  state->OnOpened(state->connection.Get(&reopened));
  return std::unique_ptr<X11Events>(new X11Events(std::move(state)));
}

}  // namespace hovra::platform::x11
