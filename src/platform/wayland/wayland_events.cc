#include "platform/wayland/wayland_events.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/log.h"
#include "platform/unix_input/evdev_buttons.h"
#include "platform/unix_input/key_typer.h"
#include "platform/unix_input/pointer_tracker.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/xkb_keymap.h"
#include "virtual-keyboard-unstable-v1-client.h"
#include "wlr-virtual-pointer-unstable-v1-client.h"

namespace hovra::platform::wayland {
namespace {

constexpr uint32_t kXkbKeyCodeOffset = 8;  // XKB key codes are evdev codes plus 8

using unix_input::ButtonChange;
using unix_input::ButtonOf;

uint32_t Now() {
  auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

// The keymap text in a sealed-size memory file, as the keymap request passes it.
bool SendKeymap(zwp_virtual_keyboard_v1* keyboard, const std::string& text) {
  int fd = ::memfd_create("hovra-keymap", MFD_CLOEXEC);
  if (fd < 0) return false;
  size_t size = text.size() + 1;  // with its terminating NUL, as compositors expect
  size_t written = 0;
  while (written < size) {
    ssize_t n = ::write(fd, text.c_str() + written, size - written);
    if (n <= 0) {
      ::close(fd);
      return false;
    }
    written += static_cast<size_t>(n);
  }
  zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                 static_cast<uint32_t>(size));
  ::close(fd);  // the request carries its own copy
  return true;
}

}  // namespace

struct WaylandEvents::State {
  State(std::string name, std::chrono::milliseconds retry) : connection(std::move(name), retry) {}
  ~State() { DestroyDevices(); }

  // The display, connected, its devices made and the outputs current; null when unreachable.
  wl_display* Ready();
  // After posting: true (and the devices forgotten) when the compositor went away.
  bool Lost();
  bool CreateDevices();
  void DestroyDevices();
  void SendScroll(uint32_t time, uint32_t axis, int32_t delta);

  WaylandConnection connection;
  zwlr_virtual_pointer_v1* pointer = nullptr;
  zwp_virtual_keyboard_v1* keyboard = nullptr;
  std::unique_ptr<XkbKeymap> keymap;
  std::unique_ptr<unix_input::KeyTyper> typer;
  unix_input::PointerTracker tracker;
};

wl_display* WaylandEvents::State::Ready() {
  bool reopened = false;
  wl_display* display = connection.Get(&reopened);
  if (display == nullptr) return nullptr;
  if (reopened) CreateDevices();
  connection.Pump();
  if (Lost()) return nullptr;
  tracker.SetOutputs(connection.Globals().outputs.Layout());
  return display;
}

bool WaylandEvents::State::Lost() {
  if (!connection.Broken()) return false;
  DestroyDevices();  // what the keys held went with the compositor's state
  connection.CheckLost();
  if (typer) typer->Forget();
  tracker.SetButton(~0u, false);
  return true;
}

bool WaylandEvents::State::CreateDevices() {
  InputGlobals& g = connection.Globals();
  if (g.pointerManager == nullptr || g.keyboardManager == nullptr || g.seat == nullptr) {
    Log("Wayland display \"%s\" offers no virtual pointer and keyboard (a wlroots compositor "
        "does); input cannot be posted there",
        connection.Name().c_str());
    return false;
  }
  pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(g.pointerManager, g.seat);
  keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(g.keyboardManager, g.seat);
  if (!keymap) {
    keymap = XkbKeymap::Create({.upload =
                                    [this](const std::string& text) {
                                      return keyboard != nullptr && SendKeymap(keyboard, text);
                                    },
                                .key =
                                    [this](unix_input::KeyLayout::Code code, bool down) {
                                      if (keyboard == nullptr) return;
                                      zwp_virtual_keyboard_v1_key(
                                          keyboard, Now(), code - kXkbKeyCodeOffset,
                                          down ? WL_KEYBOARD_KEY_STATE_PRESSED
                                               : WL_KEYBOARD_KEY_STATE_RELEASED);
                                    },
                                .modifiers =
                                    [this](const XkbKeymap::Modifiers& m) {
                                      if (keyboard == nullptr) return;
                                      zwp_virtual_keyboard_v1_modifiers(
                                          keyboard, m.depressed, m.latched, m.locked, m.group);
                                    }});
    if (keymap) typer = std::make_unique<unix_input::KeyTyper>(*keymap);
  }
  // A keymap before any key, on every new keyboard; the device is kept from here on, so
  // that the seat has its keyboard long before the first key.
  if (keymap && !keymap->UploadAgain()) Log("the keymap could not be sent to the compositor");
  connection.Flush();
  return true;
}

void WaylandEvents::State::DestroyDevices() {
  if (keyboard != nullptr) zwp_virtual_keyboard_v1_destroy(keyboard);
  if (pointer != nullptr) zwlr_virtual_pointer_v1_destroy(pointer);
  keyboard = nullptr;
  pointer = nullptr;
}

void WaylandEvents::State::SendScroll(uint32_t time, uint32_t axis, int32_t delta) {
  if (delta == 0) return;
  // Positive deltas scroll up (vertical) or left (horizontal); Wayland's axes grow down
  // and right. One wheel click per unit, as on X.
  int clicks =
      static_cast<int>(std::min<int64_t>(std::abs(int64_t{delta}), kMaxWheelClicksPerEvent));
  int steps = delta > 0 ? -clicks : clicks;
  zwlr_virtual_pointer_v1_axis_discrete(pointer, time, axis,
                                        wl_fixed_from_double(steps * kWheelClickDistance), steps);
}

WaylandEvents::WaylandEvents(std::unique_ptr<State> state) : state_(std::move(state)) {}

WaylandEvents::~WaylandEvents() {
  std::lock_guard lock(mutex_);
  if (state_->Ready() == nullptr) return;
  if (state_->typer) state_->typer->ReleaseAll();  // nothing stays pressed after the server ends
  for (int type : {kLeftMouseUp, kRightMouseUp, kOtherMouseUp}) {
    ButtonChange button = ButtonOf(type);
    if ((state_->tracker.Buttons() & button.bit) != 0 && state_->pointer != nullptr) {
      zwlr_virtual_pointer_v1_button(state_->pointer, Now(), button.code,
                                     WL_POINTER_BUTTON_STATE_RELEASED);
      zwlr_virtual_pointer_v1_frame(state_->pointer);
    }
  }
  state_->DestroyDevices();
  state_->connection.Roundtrip();
}

void WaylandEvents::PostKey(const KeyEvent& event) {
  std::lock_guard lock(mutex_);
  if (state_->Ready() == nullptr || !state_->typer || state_->keyboard == nullptr) return;
  state_->typer->Post(event);
  state_->connection.Flush();
  state_->Lost();
}

void WaylandEvents::PostMouse(const MouseEvent& event) {
  std::lock_guard lock(mutex_);
  if (state_->Ready() == nullptr || state_->pointer == nullptr) return;
  Point at = state_->tracker.MoveTo(event.position);
  LayoutRect bounds = state_->tracker.Bounds();
  uint32_t time = Now();
  if (bounds.width > 0 && bounds.height > 0) {
    auto offset = [](double v, int origin) {
      return static_cast<uint32_t>(std::max(0.0, std::round(v - origin)));
    };
    zwlr_virtual_pointer_v1_motion_absolute(
        state_->pointer, time, offset(at.x, bounds.x), offset(at.y, bounds.y),
        static_cast<uint32_t>(bounds.width), static_cast<uint32_t>(bounds.height));
  }
  ButtonChange button = ButtonOf(event.type);
  if (button.code != 0) {
    zwlr_virtual_pointer_v1_button(
        state_->pointer, time, button.code,
        button.down ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
    state_->tracker.SetButton(button.bit, button.down);
  }
  zwlr_virtual_pointer_v1_frame(state_->pointer);
  state_->connection.Flush();
  state_->Lost();
}

void WaylandEvents::PostScroll(const ScrollEvent& event) {
  std::lock_guard lock(mutex_);
  if (state_->Ready() == nullptr || state_->pointer == nullptr) return;
  if (event.vertical == 0 && event.horizontal == 0) return;
  uint32_t time = Now();
  zwlr_virtual_pointer_v1_axis_source(state_->pointer, WL_POINTER_AXIS_SOURCE_WHEEL);
  state_->SendScroll(time, WL_POINTER_AXIS_VERTICAL_SCROLL, event.vertical);
  state_->SendScroll(time, WL_POINTER_AXIS_HORIZONTAL_SCROLL, event.horizontal);
  zwlr_virtual_pointer_v1_frame(state_->pointer);
  state_->connection.Flush();
  state_->Lost();
}

Point WaylandEvents::PointerLocation() {
  std::lock_guard lock(mutex_);
  state_->Ready();
  return state_->tracker.InScreenSpace();
}

Point WaylandEvents::PointerEventLocation() {
  std::lock_guard lock(mutex_);
  state_->Ready();
  return state_->tracker.InEventSpace();
}

uint32_t WaylandEvents::PressedMouseButtons() {
  std::lock_guard lock(mutex_);
  return state_->tracker.Buttons();
}

std::vector<Rect> WaylandEvents::ScreenFrames() {
  std::lock_guard lock(mutex_);
  state_->Ready();
  return state_->tracker.ScreenFrames();
}

bool WaylandEvents::Sync() {
  std::lock_guard lock(mutex_);
  if (state_->Ready() == nullptr) return false;
  state_->connection.Roundtrip();
  return !state_->Lost();
}

std::unique_ptr<WaylandEvents> OpenWaylandEvents(const std::string& display,
                                                 std::chrono::milliseconds reconnectInterval) {
  auto state = std::make_unique<WaylandEvents::State>(display, reconnectInterval);
  if (!state->connection.Open() || !state->CreateDevices()) return nullptr;
  state->tracker.SetOutputs(state->connection.Globals().outputs.Layout());
  return std::unique_ptr<WaylandEvents>(new WaylandEvents(std::move(state)));
}

}  // namespace hovra::platform::wayland
