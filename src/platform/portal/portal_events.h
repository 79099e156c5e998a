// The portal backend of the event services: input through the desktop portal's remote
// desktop session (GNOME, KDE Plasma). The user is asked once, when Begin() starts the
// session; a choice the portal lets the program keep is restored from the token the hooks
// store with the settings. Until the session is running, and for good after a refusal,
// posted input is dropped (logged once). Keys travel as keysyms, which the desktop types
// with its own layout; pointer positions go to the monitor streams of a screen cast when
// the portal offers one (absolute), else as relative motion from the backend's own pointer.
//   auto events = PortalEvents::Open(busAddress);   // null: no portal with remote desktop
//   events->Begin({loadToken, saveToken, tell});
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/event_services.h"
#include "platform/portal/portal_session.h"

namespace hovra::platform::portal {

// Wheel clicks sent for one scroll event at most, per direction.
inline constexpr int kMaxWheelClicksPerEvent = 100;
// The settings key under which the portal's restore token is kept.
inline constexpr char kRestoreTokenSetting[] = "portalRestoreToken";
// The screen assumed when the portal names no monitors: pointer motion is then relative.
inline constexpr unix_input::LayoutRect kNominalScreen{0, 0, 1920, 1080};

struct PortalHooks {
  std::function<std::string()> loadToken;             // the kept choice, or empty
  std::function<void(const std::string&)> saveToken;  // a choice the portal lets us keep
  std::function<void(const std::string&)> tell;       // a message for the user (refusal)
};

class PortalEvents : public EventServices {
 public:
  static std::unique_ptr<PortalEvents> Open(const std::string& busAddress);
  ~PortalEvents() override;

  // Starts the session (asks the user unless a kept choice is restored). Once only.
  void Begin(PortalHooks hooks);
  SessionOutcome Outcome() const;
  bool WaitUntilSettled(std::chrono::milliseconds wait);
  // Waits until every call made so far has been written to the bus.
  void Flush();

  void PostKey(const KeyEvent& event) override;
  void PostMouse(const MouseEvent& event) override;
  void PostScroll(const ScrollEvent& event) override;
  Point PointerLocation() override;
  Point PointerEventLocation() override;
  uint32_t PressedMouseButtons() override;
  std::vector<Rect> ScreenFrames() override;

  struct State;

 private:
  explicit PortalEvents(std::unique_ptr<State> state);
  void Refresh();  // takes the session's outcome over once it has settled
  // Whether input for `device` can go out; logged once per cause when not.
  bool Running(uint32_t device);

  mutable std::mutex mutex_;
  std::unique_ptr<State> state_;
};

}  // namespace hovra::platform::portal
