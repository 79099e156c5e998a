// One remote desktop session with the desktop portal: the request/response exchanges that
// create the session, choose the devices (and the monitors, whose streams carry absolute
// pointer positions, when the portal offers screen casting) and start it, which is when
// the desktop asks the user. Runs on a thread of its own with its own GLib main context;
// the outcome is read with Outcome() or waited for with WaitUntilSettled().
//   PortalSession session(connection, savedToken);  session.Begin(onSettled);
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/unix_input/layout_space.h"

typedef struct _GDBusConnection GDBusConnection;

namespace hovra::platform::portal {

inline constexpr char kPortalBusName[] = "org.freedesktop.portal.Desktop";
inline constexpr char kPortalPath[] = "/org/freedesktop/portal/desktop";
inline constexpr char kRemoteDesktop[] = "org.freedesktop.portal.RemoteDesktop";
inline constexpr char kScreenCast[] = "org.freedesktop.portal.ScreenCast";

// Device types of SelectDevices and of Start's answer.
inline constexpr uint32_t kDeviceKeyboard = 1;
inline constexpr uint32_t kDevicePointer = 2;

struct PortalStream {
  uint32_t node = 0;             // the stream's PipeWire node, which absolute motion names
  unix_input::LayoutRect place;  // where its monitor lies in the desktop's layout
};

enum class SessionState { kStarting, kReady, kDenied, kFailed };

struct SessionOutcome {
  SessionState state = SessionState::kStarting;
  std::string sessionHandle;
  uint32_t devices = 0;  // kDeviceKeyboard | kDevicePointer, as granted
  std::vector<PortalStream> streams;
  std::string restoreToken;  // set when the portal lets the choice be kept
  std::string message;       // for the operator: why it was denied or failed
};

class PortalSession {
 public:
  // `connection`: the session bus (a reference is kept). `restoreToken`: a choice kept
  // from an earlier run, or empty.
  PortalSession(GDBusConnection* connection, std::string restoreToken);
  ~PortalSession();
  PortalSession(const PortalSession&) = delete;
  PortalSession& operator=(const PortalSession&) = delete;

  // Starts the exchanges; `settled` is called once, on the session's thread, with the outcome.
  void Begin(std::function<void(const SessionOutcome&)> settled);
  SessionOutcome Outcome() const;
  bool WaitUntilSettled(std::chrono::milliseconds wait);

 private:
  struct Exchange;
  void Run();
  void Settle(SessionOutcome outcome);

  GDBusConnection* connection_;
  std::string restoreToken_;
  std::function<void(const SessionOutcome&)> settled_;
  std::thread thread_;
  void* context_ = nullptr;  // the thread's GMainContext
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  SessionOutcome outcome_;
};

// Whether the bus at `address` has a desktop portal with remote desktop input.
bool PortalHasRemoteDesktop(const std::string& address);

}  // namespace hovra::platform::portal
