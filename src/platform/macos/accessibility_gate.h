// Whether this program may post input events: macOS drops every synthetic event until the
// user has allowed the program under Privacy & Security > Accessibility. The system's
// prompt is asked for once, at start-up; afterwards the gate only looks, so the user is
// never nagged, and the operator's log says when events are being dropped and when the
// permission arrives.
//   AccessibilityGate gate(trustCalls);
//   AskForAccessibility(gate, ui);             // start-up: prompt, and a notice if refused
//   if (!gate.TrustedForPosting()) ...         // posting path: cheap, re-checked now and then
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/macos/quartz_calls.h"
#include "platform/user_interface.h"

namespace hovra::platform::macos {

inline constexpr const char* kAccessibilityNotice =
    "Hovra Server needs permission to control this computer. Open System Settings > "
    "Privacy & Security > Accessibility and switch on Hovra Server.";
// Clicking the notice opens that pane of System Settings.
inline constexpr const char* kAccessibilitySettingsUrl =
    "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";
// How long the posting path trusts its last answer before asking the system again.
inline constexpr std::chrono::milliseconds kAccessibilityRecheck{5000};

class AccessibilityGate {
 public:
  using Clock = std::chrono::steady_clock;

  explicit AccessibilityGate(TrustCalls& calls, std::function<Clock::time_point()> now = Clock::now,
                             std::chrono::milliseconds recheck = kAccessibilityRecheck);

  // Asks the system now. Only the first call ever lets the system show its prompt.
  bool Check();
  // The last answer while it is fresh, else Check(). Safe from any thread.
  bool TrustedForPosting();

 private:
  bool CheckLocked();

  TrustCalls& calls_;
  std::function<Clock::time_point()> now_;
  std::chrono::milliseconds recheck_;
  std::mutex mutex_;
  bool prompted_ = false;
  std::optional<bool> trusted_;
  Clock::time_point checkedAt_{};
};

// Start-up: asks (the system shows its prompt when needed) and, when the program is not
// trusted, shows the notice in the notification panel with the settings link. Returns
// whether the program is trusted.
bool AskForAccessibility(AccessibilityGate& gate, UserInterface& ui);

}  // namespace hovra::platform::macos
