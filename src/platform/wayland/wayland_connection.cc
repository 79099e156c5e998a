#include "platform/wayland/wayland_connection.h"

#include <poll.h>
#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "virtual-keyboard-unstable-v1-client.h"
#include "wlr-virtual-pointer-unstable-v1-client.h"
#include "xdg-output-unstable-v1-client.h"

namespace hovra::platform::wayland {
namespace {

// A compositor that takes nothing from its socket for this long is stuck; what could not
// be written is then dropped with the connection.
constexpr int kFlushWaitMilliseconds = 1000;

template <typename T>
T* Bind(wl_registry* registry, uint32_t name, const wl_interface* interface, uint32_t offered,
        uint32_t wanted) {
  return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

}  // namespace

WaylandConnection::WaylandConnection(std::string name, std::chrono::milliseconds retryInterval)
    : name_(std::move(name)), retryInterval_(retryInterval) {}

WaylandConnection::~WaylandConnection() { Close(); }

void WaylandConnection::OnGlobal(void* data, wl_registry* registry, uint32_t name,
                                 const char* interface, uint32_t version) {
  InputGlobals& g = *static_cast<WaylandConnection*>(data)->globals_;
  std::string_view which = interface;
  if (which == wl_seat_interface.name && g.seat == nullptr) {
    g.seat = Bind<wl_seat>(registry, name, &wl_seat_interface, version, 1);
  } else if (which == wl_output_interface.name) {
    g.outputs.Add(registry, name, version);
  } else if (which == zxdg_output_manager_v1_interface.name) {
    g.xdgOutputManager =
        Bind<zxdg_output_manager_v1>(registry, name, &zxdg_output_manager_v1_interface, version, 2);
    g.outputs.UseXdgOutputs(g.xdgOutputManager);
  } else if (which == zwlr_virtual_pointer_manager_v1_interface.name) {
    g.pointerManager = Bind<zwlr_virtual_pointer_manager_v1>(
        registry, name, &zwlr_virtual_pointer_manager_v1_interface, version, 1);
  } else if (which == zwp_virtual_keyboard_manager_v1_interface.name) {
    g.keyboardManager = Bind<zwp_virtual_keyboard_manager_v1>(
        registry, name, &zwp_virtual_keyboard_manager_v1_interface, version, 1);
  }
}

InputGlobals::~InputGlobals() {
  if (keyboardManager != nullptr) zwp_virtual_keyboard_manager_v1_destroy(keyboardManager);
  if (pointerManager != nullptr) zwlr_virtual_pointer_manager_v1_destroy(pointerManager);
  if (xdgOutputManager != nullptr) zxdg_output_manager_v1_destroy(xdgOutputManager);
  if (seat != nullptr) wl_seat_destroy(seat);
}

void WaylandConnection::OnGlobalRemove(void* data, wl_registry*, uint32_t name) {
  static_cast<WaylandConnection*>(data)->globals_->outputs.Remove(name);
}

bool WaylandConnection::Open() {
  nextAttempt_ = std::chrono::steady_clock::now() + retryInterval_;
  if (name_.empty() && std::getenv("WAYLAND_DISPLAY") == nullptr) return false;  // no compositor
  display_ = wl_display_connect(name_.empty() ? nullptr : name_.c_str());
  if (display_ == nullptr) {
    if (!everOpened_) Log("cannot connect to Wayland display \"%s\"", name_.c_str());
    return false;
  }
  static constexpr wl_registry_listener kListener{OnGlobal, OnGlobalRemove};
  globals_ = std::make_unique<InputGlobals>();
  registry_ = wl_display_get_registry(display_);
  wl_registry_add_listener(registry_, &kListener, this);
  // The first round trip brings the globals, the second what the outputs say of themselves.
  if (wl_display_roundtrip(display_) < 0 || wl_display_roundtrip(display_) < 0) {
    Log("Wayland display \"%s\" closed the connection while it was being set up", name_.c_str());
    Close();
    return false;
  }
  if (everOpened_) Log("Wayland display \"%s\" is back; input is posted again", name_.c_str());
  everOpened_ = true;
  lostLog_.Rearm();
  return true;
}

wl_display* WaylandConnection::Get(bool* reopened) {
  *reopened = false;
  if (display_ != nullptr) return display_;
  if (std::chrono::steady_clock::now() < nextAttempt_) return nullptr;
  *reopened = Open();
  return display_;
}

void WaylandConnection::Pump() {
  if (display_ == nullptr) return;
  while (wl_display_prepare_read(display_) != 0) {
    if (wl_display_dispatch_pending(display_) < 0) return;
  }
  pollfd fd{wl_display_get_fd(display_), POLLIN, 0};
  if (::poll(&fd, 1, 0) > 0 && (fd.revents & POLLIN) != 0) {
    wl_display_read_events(display_);
  } else {
    wl_display_cancel_read(display_);
  }
  wl_display_dispatch_pending(display_);
}

void WaylandConnection::Flush() {
  if (display_ == nullptr) return;
  while (wl_display_flush(display_) < 0 && errno == EAGAIN) {
    pollfd fd{wl_display_get_fd(display_), POLLOUT, 0};
    if (::poll(&fd, 1, kFlushWaitMilliseconds) <= 0) {
      stuck_ = true;  // closed by the next CheckLost()
      return;
    }
  }
}

void WaylandConnection::Roundtrip() {
  if (display_ != nullptr) wl_display_roundtrip(display_);
}

bool WaylandConnection::Broken() const {
  return display_ != nullptr && (stuck_ || wl_display_get_error(display_) != 0);
}

bool WaylandConnection::CheckLost() {
  if (!Broken()) return false;
  int error = wl_display_get_error(display_);
  if (lostLog_.First()) {
    Log("lost the connection to Wayland display \"%s\" (%s); input is dropped until it is back",
        name_.c_str(), stuck_ ? "it takes no more input" : std::strerror(error));
  }
  Close();
  nextAttempt_ = std::chrono::steady_clock::now() + retryInterval_;
  return true;
}

void WaylandConnection::Close() {
  if (display_ == nullptr) return;
  globals_.reset();  // proxies first: they belong to the display
  stuck_ = false;
  if (registry_ != nullptr) wl_registry_destroy(registry_);
  registry_ = nullptr;
  wl_display_disconnect(display_);
  display_ = nullptr;
}

bool WaylandHasVirtualInput(const std::string& name) {
  WaylandConnection connection(name, std::chrono::milliseconds(0));
  if (!connection.Open()) return false;
  const InputGlobals& g = connection.Globals();
  return g.seat != nullptr && g.pointerManager != nullptr && g.keyboardManager != nullptr;
}

}  // namespace hovra::platform::wayland
