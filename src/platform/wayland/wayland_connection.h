// One connection to a Wayland compositor with the globals the input backend binds: the
// first seat, the outputs (described through xdg-output when offered) and the wlroots
// virtual pointer and keyboard managers. Survives the compositor going away: the loss is
// logged once, the connection closed, and a new one tried on a later use once the retry
// interval has passed. Not thread-safe: the owner serialises its use.
//   WaylandConnection c("", 1s);  if (c.Open()) { c.Globals().seat ... c.Flush(); }
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "base/log.h"
#include "platform/wayland/outputs.h"

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_virtual_pointer_manager_v1;
struct zwp_virtual_keyboard_manager_v1;
struct zxdg_output_manager_v1;

namespace hovra::platform::wayland {

struct InputGlobals {
  InputGlobals() = default;
  ~InputGlobals();
  InputGlobals(const InputGlobals&) = delete;
  InputGlobals& operator=(const InputGlobals&) = delete;

  wl_seat* seat = nullptr;
  zwlr_virtual_pointer_manager_v1* pointerManager = nullptr;
  zwp_virtual_keyboard_manager_v1* keyboardManager = nullptr;
  zxdg_output_manager_v1* xdgOutputManager = nullptr;
  Outputs outputs;
};

class WaylandConnection {
 public:
  // name: a socket name or absolute path; empty: $WAYLAND_DISPLAY (and no attempt without it).
  WaylandConnection(std::string name, std::chrono::milliseconds retryInterval);
  ~WaylandConnection();
  WaylandConnection(const WaylandConnection&) = delete;
  WaylandConnection& operator=(const WaylandConnection&) = delete;

  // Connects now and waits until the globals and the outputs are described; false (and
  // logged the first time) when the compositor cannot be reached.
  bool Open();
  // The open display, reconnecting when it was lost and a retry is due; null meanwhile.
  // `reopened` is set when this call made a new connection.
  wl_display* Get(bool* reopened);
  bool IsOpen() const { return display_ != nullptr; }
  InputGlobals& Globals() { return *globals_; }
  const std::string& Name() const { return name_; }

  // Handles what the compositor has sent meanwhile, without waiting for more.
  void Pump();
  // Sends what is queued, waiting (a second at most) while the compositor's socket is full.
  void Flush();
  // Waits until the compositor has handled every request sent so far.
  void Roundtrip();
  // Whether the connection broke since it was opened (still open until CheckLost()).
  bool Broken() const;
  // True when the connection broke since the last check; it is then closed (the caller
  // has destroyed its own objects of it, and forgets what the compositor held for it).
  bool CheckLost();

 private:
  static void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t version);
  static void OnGlobalRemove(void* data, wl_registry* registry, uint32_t name);
  void Close();

  std::string name_;
  std::chrono::milliseconds retryInterval_;
  std::chrono::steady_clock::time_point nextAttempt_{};
  wl_display* display_ = nullptr;
  wl_registry* registry_ = nullptr;
  std::unique_ptr<InputGlobals> globals_;
  bool everOpened_ = false;
  bool stuck_ = false;  // a flush found the compositor taking nothing
  LogOnce lostLog_;
};

// Whether the compositor of `name` (empty: $WAYLAND_DISPLAY) offers a seat and the virtual
// pointer and keyboard; one short connection.
bool WaylandHasVirtualInput(const std::string& name);

}  // namespace hovra::platform::wayland
