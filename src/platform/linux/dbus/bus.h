// GDBus in the shape the desktop services use it: one connection per bus, opened on first
// use and again after the bus went away (the process never exits with its bus), and
// calls that wait at most a given time. Any thread may call; replies of asynchronous
// calls and signals arrive on the main context of the thread that made the call.
//   Bus session(G_BUS_TYPE_SESSION);
//   if (auto c = session.Connection()) CallSync(c.get(), kLogind, "PowerOff", ...);
#pragma once

#include <gio/gio.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/log.h"

namespace hovra::platform::linux_desktop {

struct VariantUnref {
  void operator()(GVariant* v) const {
    if (v) g_variant_unref(v);
  }
};
using Variant = std::unique_ptr<GVariant, VariantUnref>;

struct ObjectUnref {
  void operator()(gpointer o) const {
    if (o) g_object_unref(o);
  }
};
template <class T>
using GRef = std::unique_ptr<T, ObjectUnref>;

// Where a call goes.
struct BusObject {
  const char* name;
  const char* path;
  const char* interface;
};

class Bus {
 public:
  explicit Bus(GBusType type) : type_(type) {}
  ~Bus();
  Bus(const Bus&) = delete;
  Bus& operator=(const Bus&) = delete;

  // A reference to the open connection; null when the bus cannot be reached (logged once
  // until it can be reached again).
  GRef<GDBusConnection> Connection();

 private:
  GBusType type_;
  std::mutex mutex_;
  GDBusConnection* connection_ = nullptr;
  LogOnce unreachable_;
};

// Calls `method` and waits at most `timeout` for the reply. `args` may be floating (it is
// consumed). On failure returns null and, when `error` is given, says why there.
Variant CallSync(GDBusConnection* connection, const BusObject& to, const char* method,
                 GVariant* args, const GVariantType* replyType, std::chrono::milliseconds timeout,
                 std::string* error = nullptr);

// Sends the call and returns; a failure is logged as "`what`: reason" when the reply comes.
// The reply is taken on the calling thread's main context: call it on the main thread.
void CallAsync(GDBusConnection* connection, const BusObject& to, const char* method, GVariant* args,
               std::string what);

// Sends the call without asking for a reply (from any thread).
void Send(GDBusConnection* connection, const BusObject& to, const char* method, GVariant* args);

bool NameHasOwner(GDBusConnection* connection, const char* name);
// Whether the bus would start a service for `name` on the first call.
bool NameIsActivatable(GDBusConnection* connection, const char* name);
// The unique name ":1.42" that owns `name`, empty when none.
std::string NameOwner(GDBusConnection* connection, const char* name);
std::vector<std::string> ListNames(GDBusConnection* connection);

// A property through org.freedesktop.DBus.Properties; null when absent or on failure.
Variant GetProperty(GDBusConnection* connection, const BusObject& object, const char* property,
                    std::chrono::milliseconds timeout);
bool SetProperty(GDBusConnection* connection, const BusObject& object, const char* property,
                 GVariant* value, std::chrono::milliseconds timeout);

}  // namespace hovra::platform::linux_desktop
