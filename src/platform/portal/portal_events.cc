#include "platform/portal/portal_events.h"

#include <gio/gio.h>
#include <linux/input-event-codes.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/log.h"
#include "platform/unix_input/evdev_buttons.h"
#include "platform/unix_input/key_typer.h"
#include "platform/unix_input/layout_space.h"
#include "platform/unix_input/pointer_tracker.h"

namespace hovra::platform::portal {
namespace {

constexpr uint32_t kPressed = 1;
constexpr uint32_t kReleased = 0;
constexpr uint32_t kVerticalAxis = 0;
constexpr uint32_t kHorizontalAxis = 1;

using unix_input::ButtonChange;
using unix_input::ButtonOf;

// Keysyms are what the portal takes: every keysym is "on the keyboard", and the desktop
// finds the key (and the Shift) for it in its own layout.
class KeysymLayout : public unix_input::KeyLayout {
 public:
  explicit KeysymLayout(std::function<void(Code, bool)> send) : send_(std::move(send)) {}
  std::optional<Place> Find(unix_input::KeySymbol symbol) override {
    return Place{static_cast<Code>(symbol), false};
  }
  std::optional<Code> FindKey(const unix_input::KeySymbols& symbols) override {
    return static_cast<Code>(symbols.plain);
  }
  std::optional<Code> Bind(const unix_input::KeySymbols&, const std::set<Code>&) override {
    return std::nullopt;  // never needed: Find always answers
  }
  void Send(Code code, bool down) override { send_(code, down); }

 private:
  std::function<void(Code, bool)> send_;
};

}  // namespace

struct PortalEvents::State {
  explicit State(GDBusConnection* bus) : connection(bus) {}
  ~State() {
    session.reset();
    g_object_unref(connection);
  }
  // A Notify call on the session, not waited for.
  void Notify(const char* method, GVariant* arguments) {
    g_dbus_connection_call(connection, kPortalBusName, kPortalPath, kRemoteDesktop, method,
                           arguments, nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr,
                           nullptr);
  }
  GVariant* Empty() { return g_variant_new_array(G_VARIANT_TYPE("{sv}"), nullptr, 0); }
  void SendKeysym(uint32_t keysym, bool down) {
    Notify("NotifyKeyboardKeysym",
           g_variant_new("(o@a{sv}iu)", handle.c_str(), Empty(), static_cast<int32_t>(keysym),
                         down ? kPressed : kReleased));
  }
  void MoveTo(Point at, Point from);

  GDBusConnection* connection;
  std::unique_ptr<PortalSession> session;
  SessionOutcome outcome;  // copied once it settled
  std::string handle;
  KeysymLayout layout{[this](uint32_t keysym, bool down) { SendKeysym(keysym, down); }};
  unix_input::KeyTyper typer{layout};
  unix_input::PointerTracker tracker;
  LogOnce notYet, refused, noDevice;
};

void PortalEvents::State::MoveTo(Point at, Point from) {
  for (const PortalStream& stream : outcome.streams) {
    const unix_input::LayoutRect& p = stream.place;
    if (at.x < p.x || at.x >= p.x + p.width || at.y < p.y || at.y >= p.y + p.height) continue;
    Notify("NotifyPointerMotionAbsolute", g_variant_new("(o@a{sv}udd)", handle.c_str(), Empty(),
                                                        stream.node, at.x - p.x, at.y - p.y));
    return;
  }
  if (at == from) return;
  Notify("NotifyPointerMotion",
         g_variant_new("(o@a{sv}dd)", handle.c_str(), Empty(), at.x - from.x, at.y - from.y));
}

std::unique_ptr<PortalEvents> PortalEvents::Open(const std::string& busAddress) {
  if (busAddress.empty() || !PortalHasRemoteDesktop(busAddress)) return nullptr;
  GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
      busAddress.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr);
  if (bus == nullptr) return nullptr;
  auto state = std::make_unique<State>(bus);
  return std::unique_ptr<PortalEvents>(new PortalEvents(std::move(state)));
}

PortalEvents::PortalEvents(std::unique_ptr<State> state) : state_(std::move(state)) {}

PortalEvents::~PortalEvents() {
  std::lock_guard lock(mutex_);
  if (state_->outcome.state == SessionState::kReady) {
    state_->typer.ReleaseAll();  // nothing stays pressed after the server ends
    g_dbus_connection_flush_sync(state_->connection, nullptr, nullptr);
  }
}

void PortalEvents::Begin(PortalHooks hooks) {
  std::lock_guard lock(mutex_);
  if (state_->session) return;
  std::string saved = hooks.loadToken ? hooks.loadToken() : "";
  state_->session = std::make_unique<PortalSession>(state_->connection, saved);
  state_->session->Begin([hooks, saved](const SessionOutcome& outcome) {
    if (!outcome.restoreToken.empty() && outcome.restoreToken != saved && hooks.saveToken) {
      hooks.saveToken(outcome.restoreToken);  // the question is not asked at the next start
    }
    if (outcome.state == SessionState::kDenied && hooks.tell) {
      hooks.tell(
          "Remote input was declined on this computer: pointer and keys from the phone "
          "do nothing until the server is started again.");
    } else if (outcome.state == SessionState::kFailed && hooks.tell) {
      hooks.tell("The desktop portal could not start remote input: " + outcome.message);
    }
  });
}

SessionOutcome PortalEvents::Outcome() const {
  std::lock_guard lock(mutex_);
  return state_->session ? state_->session->Outcome() : SessionOutcome{};
}

bool PortalEvents::WaitUntilSettled(std::chrono::milliseconds wait) {
  PortalSession* session = nullptr;
  {
    std::lock_guard lock(mutex_);
    session = state_->session.get();
  }
  return session != nullptr && session->WaitUntilSettled(wait);
}

void PortalEvents::Flush() { g_dbus_connection_flush_sync(state_->connection, nullptr, nullptr); }

void PortalEvents::Refresh() {
  State& s = *state_;
  if (s.outcome.state == SessionState::kStarting && s.session) {
    s.outcome = s.session->Outcome();
    if (s.outcome.state == SessionState::kReady) {
      s.handle = s.outcome.sessionHandle;
      std::vector<unix_input::LayoutRect> monitors;
      for (const PortalStream& stream : s.outcome.streams) monitors.push_back(stream.place);
      unix_input::PutMainFirst(monitors);
      if (monitors.empty()) {
        Log("the desktop portal named no monitors: the pointer moves relatively, on an assumed "
            "%dx%d screen",
            kNominalScreen.width, kNominalScreen.height);
        monitors.push_back(kNominalScreen);
      }
      s.tracker.SetOutputs(monitors);  // the pointer starts at the centre of the main one
    }
  }
}

bool PortalEvents::Running(uint32_t device) {
  Refresh();
  State& s = *state_;
  switch (s.outcome.state) {
    case SessionState::kStarting:
      if (s.notYet.First()) Log("input dropped: the desktop has not allowed remote input yet");
      return false;
    case SessionState::kDenied:
    case SessionState::kFailed:
      if (s.refused.First()) Log("input dropped: remote input was not allowed on this desktop");
      return false;
    case SessionState::kReady:
      break;
  }
  if ((s.outcome.devices & device) == 0) {
    if (s.noDevice.First())
      Log("input dropped: the desktop granted no %s",
          device == kDeviceKeyboard ? "keyboard" : "pointer");
    return false;
  }
  return true;
}

void PortalEvents::PostKey(const KeyEvent& event) {
  std::lock_guard lock(mutex_);
  if (Running(kDeviceKeyboard)) state_->typer.Post(event);
}

void PortalEvents::PostMouse(const MouseEvent& event) {
  std::lock_guard lock(mutex_);
  if (!Running(kDevicePointer)) return;
  Point from = state_->tracker.InLayout();
  state_->MoveTo(state_->tracker.MoveTo(event.position), from);
  ButtonChange button = ButtonOf(event.type);
  if (button.code == 0) return;
  state_->Notify("NotifyPointerButton",
                 g_variant_new("(o@a{sv}iu)", state_->handle.c_str(), state_->Empty(),
                               static_cast<int>(button.code), button.down ? kPressed : kReleased));
  state_->tracker.SetButton(button.bit, button.down);
}

void PortalEvents::PostScroll(const ScrollEvent& event) {
  std::lock_guard lock(mutex_);
  if (!Running(kDevicePointer)) return;
  // Positive deltas scroll up or left; the portal's steps grow down and right.
  auto send = [&](uint32_t axis, int32_t delta) {
    if (delta == 0) return;
    int clicks =
        static_cast<int>(std::min<int64_t>(std::abs(int64_t{delta}), kMaxWheelClicksPerEvent));
    state_->Notify("NotifyPointerAxisDiscrete",
                   g_variant_new("(o@a{sv}ui)", state_->handle.c_str(), state_->Empty(), axis,
                                 delta > 0 ? -clicks : clicks));
  };
  send(kVerticalAxis, event.vertical);
  send(kHorizontalAxis, event.horizontal);
}

Point PortalEvents::PointerLocation() {
  std::lock_guard lock(mutex_);
  return state_->tracker.InScreenSpace();
}

Point PortalEvents::PointerEventLocation() {
  std::lock_guard lock(mutex_);
  return state_->tracker.InEventSpace();
}

uint32_t PortalEvents::PressedMouseButtons() {
  std::lock_guard lock(mutex_);
  return state_->tracker.Buttons();
}

std::vector<Rect> PortalEvents::ScreenFrames() {
  std::lock_guard lock(mutex_);
  Refresh();  // picks the monitors up once the session runs
  return state_->tracker.ScreenFrames();
}

}  // namespace hovra::platform::portal
