#include "platform/portal/portal_session.h"

#include <gio/gio.h>

#include <atomic>
#include <random>

#include "base/log.h"

namespace hovra::platform::portal {
namespace {

constexpr uint32_t kSourceMonitor = 1;        // ScreenCast source type: whole monitors
constexpr uint32_t kPersistUntilRevoked = 2;  // SelectDevices persist_mode
constexpr uint32_t kResponseSuccess = 0;
constexpr uint32_t kResponseCancelled = 1;

std::string NewToken() {
  static std::atomic<unsigned> counter{0};
  static const unsigned salt = std::random_device{}();
  return "hovra" + std::to_string(salt % 100000) + "_" + std::to_string(++counter);
}

// The object path the portal gives the request made with `token` by this connection.
std::string RequestPath(GDBusConnection* connection, const std::string& token) {
  std::string sender = g_dbus_connection_get_unique_name(connection);
  if (!sender.empty() && sender[0] == ':') sender.erase(0, 1);
  for (char& c : sender) {
    if (c == '.') c = '_';
  }
  return std::string(kPortalPath) + "/request/" + sender + "/" + token;
}

uint32_t InterfaceVersion(GDBusConnection* connection, const char* interface) {
  GVariant* reply = g_dbus_connection_call_sync(
      connection, kPortalBusName, kPortalPath, "org.freedesktop.DBus.Properties", "Get",
      g_variant_new("(ss)", interface, "version"), G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE,
      5000, nullptr, nullptr);
  if (reply == nullptr) return 0;
  GVariant* value = nullptr;
  g_variant_get(reply, "(v)", &value);
  uint32_t version =
      g_variant_is_of_type(value, G_VARIANT_TYPE_UINT32) ? g_variant_get_uint32(value) : 0;
  g_variant_unref(value);
  g_variant_unref(reply);
  return version;
}

std::vector<PortalStream> ReadStreams(GVariant* results) {
  std::vector<PortalStream> streams;
  GVariant* list = g_variant_lookup_value(results, "streams", G_VARIANT_TYPE("a(ua{sv})"));
  if (list == nullptr) return streams;
  GVariantIter iter;
  g_variant_iter_init(&iter, list);
  uint32_t node = 0;
  GVariant* properties = nullptr;
  while (g_variant_iter_next(&iter, "(u@a{sv})", &node, &properties)) {
    PortalStream stream{node, {}};
    g_variant_lookup(properties, "position", "(ii)", &stream.place.x, &stream.place.y);
    g_variant_lookup(properties, "size", "(ii)", &stream.place.width, &stream.place.height);
    streams.push_back(stream);
    g_variant_unref(properties);
  }
  g_variant_unref(list);
  return streams;
}

}  // namespace

// One request: subscribed to its Response before the call (the subscription's match rule
// goes out first on the same connection), then waited for on the session's own context.
struct PortalSession::Exchange {
  GDBusConnection* connection;
  GMainContext* context;
  const std::atomic<bool>& stopping;

  struct Answer {
    uint32_t response = 2;
    GVariant* results = nullptr;  // owned by the caller
  };

  // Calls `method` with `arguments` (whose options dictionary is the last member and gets the
  // handle token added) and waits for the portal's answer; nothing when the call failed.
  std::optional<Answer> Call(const char* interface, const char* method, GVariantBuilder* options,
                             const std::function<GVariant*(GVariant*)>& arguments,
                             std::string& error) {
    std::string token = NewToken();
    g_variant_builder_add(options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
    std::string path = RequestPath(connection, token);
    std::optional<Answer> answer;
    guint subscription = g_dbus_connection_signal_subscribe(
        connection, kPortalBusName, "org.freedesktop.portal.Request", "Response", path.c_str(),
        nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const char*, const char*, const char*, const char*,
           GVariant* parameters, gpointer data) {
          auto* out = static_cast<std::optional<Answer>*>(data);
          Answer got;
          g_variant_get(parameters, "(u@a{sv})", &got.response, &got.results);
          *out = got;
        },
        &answer, nullptr);
    GError* failure = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(
        connection, kPortalBusName, kPortalPath, interface, method,
        arguments(g_variant_builder_end(options)), G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE,
        -1, nullptr, &failure);
    if (reply == nullptr) {
      error = std::string(method) + ": " + (failure != nullptr ? failure->message : "no answer");
      g_clear_error(&failure);
    } else {
      g_variant_unref(reply);
      while (!answer && !stopping.load()) g_main_context_iteration(context, TRUE);
    }
    g_dbus_connection_signal_unsubscribe(connection, subscription);
    return answer;
  }
};

PortalSession::PortalSession(GDBusConnection* connection, std::string restoreToken)
    : connection_(G_DBUS_CONNECTION(g_object_ref(connection))),
      restoreToken_(std::move(restoreToken)) {}

PortalSession::~PortalSession() {
  if (thread_.joinable()) {
    stopping_ = true;
    g_main_context_wakeup(static_cast<GMainContext*>(context_));
    thread_.join();
  }
  std::string handle = Outcome().sessionHandle;
  if (!handle.empty()) {  // the desktop stops showing that it is being controlled
    g_dbus_connection_call_sync(connection_, kPortalBusName, handle.c_str(),
                                "org.freedesktop.portal.Session", "Close", nullptr, nullptr,
                                G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
  }
  if (context_ != nullptr) g_main_context_unref(static_cast<GMainContext*>(context_));
  g_object_unref(connection_);
}

void PortalSession::Begin(std::function<void(const SessionOutcome&)> settled) {
  if (thread_.joinable()) return;
  settled_ = std::move(settled);
  context_ = g_main_context_new();
  thread_ = std::thread([this] { Run(); });
}

SessionOutcome PortalSession::Outcome() const {
  std::lock_guard lock(mutex_);
  return outcome_;
}

bool PortalSession::WaitUntilSettled(std::chrono::milliseconds wait) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, wait, [&] { return outcome_.state != SessionState::kStarting; });
}

void PortalSession::Settle(SessionOutcome outcome) {
  if (outcome.state == SessionState::kDenied) {
    Log("the desktop declined remote input (%s); pointer and keys go nowhere until the server "
        "is started again",
        outcome.message.c_str());
  } else if (outcome.state == SessionState::kFailed) {
    Log("the desktop portal could not start remote input: %s", outcome.message.c_str());
  }
  if (settled_) settled_(outcome);  // before it is published: waiters see its effects too
  {
    std::lock_guard lock(mutex_);
    outcome_ = outcome;
  }
  changed_.notify_all();
  if (outcome.state == SessionState::kReady) {  // once input is accepted: the line means it
    Log("the desktop portal started remote input (%s%s)",
        (outcome.devices & kDeviceKeyboard) != 0 ? "keyboard, " : "",
        outcome.streams.empty() ? "pointer moving relatively" : "pointer on monitor streams");
  }
}

void PortalSession::Run() {
  auto* context = static_cast<GMainContext*>(context_);
  g_main_context_push_thread_default(context);
  Exchange exchange{connection_, context, stopping_};
  SessionOutcome outcome;
  outcome.state = SessionState::kFailed;
  std::string error;
  uint32_t version = InterfaceVersion(connection_, kRemoteDesktop);
  bool screenCast = InterfaceVersion(connection_, kScreenCast) > 0;
  auto fail = [&](const std::string& why) {
    outcome.message = why;
    g_main_context_pop_thread_default(context);
    if (!stopping_) Settle(outcome);
  };

  GVariantBuilder options;
  g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
  std::string sessionToken = NewToken();
  g_variant_builder_add(&options, "{sv}", "session_handle_token",
                        g_variant_new_string(sessionToken.c_str()));
  auto created = exchange.Call(
      kRemoteDesktop, "CreateSession", &options,
      [](GVariant* o) { return g_variant_new("(@a{sv})", o); }, error);
  if (!created || created->response != kResponseSuccess) {
    if (created && created->results) g_variant_unref(created->results);
    return fail(error.empty() ? "CreateSession was refused" : error);
  }
  const char* handle = nullptr;
  g_variant_lookup(created->results, "session_handle", "&s", &handle);
  outcome.sessionHandle = handle != nullptr ? handle : "";
  g_variant_unref(created->results);
  if (outcome.sessionHandle.empty()) return fail("CreateSession gave no session");
  std::string session = outcome.sessionHandle;
  auto onSession = [&](GVariant* o) { return g_variant_new("(o@a{sv})", session.c_str(), o); };

  if (screenCast) {  // monitors, for absolute pointer positions
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&options, "{sv}", "types", g_variant_new_uint32(kSourceMonitor));
    g_variant_builder_add(&options, "{sv}", "multiple", g_variant_new_boolean(TRUE));
    auto sources = exchange.Call(kScreenCast, "SelectSources", &options, onSession, error);
    if (sources && sources->results) g_variant_unref(sources->results);
    if (!sources || sources->response != kResponseSuccess) screenCast = false;
  }

  g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
  g_variant_builder_add(&options, "{sv}", "types",
                        g_variant_new_uint32(kDeviceKeyboard | kDevicePointer));
  if (version >= 2) {  // the choice can be kept, and an earlier one restored
    g_variant_builder_add(&options, "{sv}", "persist_mode",
                          g_variant_new_uint32(kPersistUntilRevoked));
    if (!restoreToken_.empty()) {
      g_variant_builder_add(&options, "{sv}", "restore_token",
                            g_variant_new_string(restoreToken_.c_str()));
    }
  }
  auto devices = exchange.Call(kRemoteDesktop, "SelectDevices", &options, onSession, error);
  if (devices && devices->results) g_variant_unref(devices->results);
  if (!devices || devices->response != kResponseSuccess) {
    return fail(error.empty() ? "SelectDevices was refused" : error);
  }

  g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
  auto started = exchange.Call(
      kRemoteDesktop, "Start", &options,
      [&](GVariant* o) { return g_variant_new("(os@a{sv})", session.c_str(), "", o); }, error);
  if (!started) return fail(error.empty() ? "Start got no answer" : error);
  if (started->response != kResponseSuccess) {
    if (started->results) g_variant_unref(started->results);
    outcome.state =
        started->response == kResponseCancelled ? SessionState::kDenied : SessionState::kFailed;
    outcome.message =
        started->response == kResponseCancelled ? "the user said no" : "the portal refused";
    g_main_context_pop_thread_default(context);
    return Settle(outcome);
  }
  g_variant_lookup(started->results, "devices", "u", &outcome.devices);
  const char* token = nullptr;
  if (g_variant_lookup(started->results, "restore_token", "&s", &token))
    outcome.restoreToken = token;
  if (screenCast) outcome.streams = ReadStreams(started->results);
  g_variant_unref(started->results);
  outcome.state = SessionState::kReady;
  g_main_context_pop_thread_default(context);
  Settle(outcome);
}

bool PortalHasRemoteDesktop(const std::string& address) {
  if (address.empty()) return false;
  GDBusConnection* connection = g_dbus_connection_new_for_address_sync(
      address.c_str(),
      static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                        G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
      nullptr, nullptr, nullptr);
  if (connection == nullptr) return false;
  bool offered = InterfaceVersion(connection, kRemoteDesktop) > 0;
  g_object_unref(connection);
  return offered;
}

}  // namespace hovra::platform::portal
