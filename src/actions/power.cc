#include "actions/power.h"

#include <array>

#include "platform/services.h"

namespace hovra::actions {

std::atomic<bool> s_toShutdown{false};
std::atomic<bool> s_toPowerOff{false};
std::atomic<bool> s_toReboot{false};
std::atomic<bool> s_toLogoff{false};
std::atomic<bool> s_toSleep{false};

void Shutdown() { s_toShutdown.store(true, std::memory_order_release); }
void Poweroff() { s_toPowerOff.store(true, std::memory_order_release); }
void Reboot() { s_toReboot.store(true, std::memory_order_release); }
void Logoff() { s_toLogoff.store(true, std::memory_order_release); }
void SleepSystem() { s_toSleep.store(true, std::memory_order_release); }

void CarryOutPendingPowerActions() {
  struct Pending {
    std::atomic<bool>& flag;
    const platform::ScriptText& script;
  };
  const std::array<Pending, 5> inOrder{{
      {s_toShutdown, scripts::kShutdown},
      {s_toPowerOff, scripts::kPowerOff},
      {s_toReboot, scripts::kReboot},
      {s_toLogoff, scripts::kLogoff},
      {s_toSleep, scripts::kSleep},
  }};
  for (const Pending& pending : inOrder) {
    if (!pending.flag.load(std::memory_order_acquire)) continue;
    platform::GetScripts().Run(pending.script);
    // Cleared only after the script: a command that arrived while it ran (the shutdown
    // question waits for the user) merges into this one.
    pending.flag.store(false, std::memory_order_release);
  }
}

}  // namespace hovra::actions
