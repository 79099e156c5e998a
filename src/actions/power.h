// Power actions. A client's power command only raises a pending flag on the worker
// thread; the main-thread timer carries the flags out once per tick, so several identical
// commands within one tick lead to one action. Flags are raised with release ordering and
// read and cleared with acquire/release ordering.
#pragma once

#include <atomic>

#include "platform/script_services.h"

namespace hovra::actions {

extern std::atomic<bool> s_toShutdown;  // shut down after asking the local user
extern std::atomic<bool> s_toPowerOff;  // shut down without asking
extern std::atomic<bool> s_toReboot;
extern std::atomic<bool> s_toLogoff;
extern std::atomic<bool> s_toSleep;

// Worker thread: raise one pending flag and return at once.
void Shutdown();
void Poweroff();
void Reboot();
void Logoff();
void SleepSystem();

// Main thread, once per timer tick: in the order shutdown, power off, reboot, log off,
// sleep, runs the script of every raised flag, then clears that flag. A flag raised again
// while its script runs is cleared with it.
void CarryOutPendingPowerActions();

namespace scripts {

// clang-format off
inline constexpr platform::ScriptText kShutdown{
    "Shutdown",
    "set question to display dialog \"Are you sure to shutdown system?\" with title \"Taplume\" with icon stop buttons {\"Yes\", \"No\"} default button 2\nset answer to button returned of question\nif answer is equal to \"Yes\" then\ntell application \"System Events\" to shut down\nend if"};
inline constexpr platform::ScriptText kPowerOff{"PowerOff",
                                                "tell application \"System Events\" to shut down"};
inline constexpr platform::ScriptText kReboot{"Reboot", "tell application \"Finder\" to restart"};
inline constexpr platform::ScriptText kLogoff{
    "Logoff", "tell application \"System Events\"\n\tlog out\n\tkeystroke return\nend tell"};
inline constexpr platform::ScriptText kSleep{"Sleep", "tell application \"Finder\" to sleep"};
// clang-format on

}  // namespace scripts
}  // namespace hovra::actions
