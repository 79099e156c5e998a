#include "platform/macos/accessibility_gate.h"

#include "base/log.h"

namespace hovra::platform::macos {

AccessibilityGate::AccessibilityGate(TrustCalls& calls, std::function<Clock::time_point()> now,
                                     std::chrono::milliseconds recheck)
    : calls_(calls), now_(std::move(now)), recheck_(recheck) {}

bool AccessibilityGate::Check() {
  std::lock_guard<std::mutex> lock(mutex_);
  return CheckLocked();
}

bool AccessibilityGate::TrustedForPosting() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (trusted_ && now_() - checkedAt_ < recheck_) return *trusted_;
  return CheckLocked();
}

bool AccessibilityGate::CheckLocked() {
  const bool prompt = !prompted_;
  prompted_ = true;
  const bool trusted = calls_.IsProcessTrustedWithOptions(prompt) != 0;
  checkedAt_ = now_();
  if (trusted_ != trusted) {
    // Said once per change, so a refused permission is not repeated on every event.
    if (trusted && trusted_.has_value()) {
      Log("Accessibility permission granted: input events now reach the system");
    } else if (!trusted) {
      Log("not allowed to control this computer: pointer and key events are dropped by the "
          "system until Hovra Server is switched on under Privacy & Security > Accessibility");
    }
  }
  trusted_ = trusted;
  return trusted;
}

bool AskForAccessibility(AccessibilityGate& gate, UserInterface& ui) {
  if (gate.Check()) return true;
  ui.ShowNotificationPanel(kAccessibilityNotice, kAccessibilitySettingsUrl);
  return false;
}

}  // namespace hovra::platform::macos
