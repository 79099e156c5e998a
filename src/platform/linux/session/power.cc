#include "platform/linux/session/power.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace hovra::platform::linux_desktop {
namespace {

constexpr BusObject kLogind{"org.freedesktop.login1", "/org/freedesktop/login1",
                            "org.freedesktop.login1.Manager"};

// One way a session manager offers an action: present when `owner` is on the session bus.
struct SessionWay {
  const char* desktop;
  const char* owner;
  BusObject object;
  const char* method;
  GVariant* (*args)();
};

GVariant* NoArgs() { return nullptr; }
GVariant* GnomeLogoutNow() { return g_variant_new("(u)", 1u); }  // 1: no confirmation
GVariant* KsmserverAskShutdown() { return g_variant_new("(iii)", 1, 2, 2); }
GVariant* KsmserverLogoutNow() { return g_variant_new("(iii)", 0, 0, 0); }
GVariant* XfceAsk() { return g_variant_new("(bb)", TRUE, TRUE); }
GVariant* XfceLogoutNow() { return g_variant_new("(bb)", FALSE, TRUE); }

constexpr BusObject kGnome{"org.gnome.SessionManager", "/org/gnome/SessionManager",
                           "org.gnome.SessionManager"};
constexpr BusObject kKsmserver{"org.kde.ksmserver", "/KSMServer", "org.kde.KSMServerInterface"};
constexpr BusObject kXfce{"org.xfce.SessionManager", "/org/xfce/SessionManager",
                          "org.xfce.Session.Manager"};

// Each desktop's question before shutting down (Xfce's log-out dialog offers the shutdown).
constexpr SessionWay kShutdownQuestions[] = {
    {"GNOME", "org.gnome.SessionManager", kGnome, "Shutdown", &NoArgs},
    {"KDE Plasma",
     "org.kde.LogoutPrompt",
     {"org.kde.LogoutPrompt", "/LogoutPrompt", "org.kde.LogoutPrompt"},
     "promptShutDown",
     &NoArgs},
    {"KDE Plasma", "org.kde.ksmserver", kKsmserver, "logout", &KsmserverAskShutdown},
    {"Xfce", "org.xfce.SessionManager", kXfce, "Logout", &XfceAsk},
};

constexpr SessionWay kLogouts[] = {
    {"GNOME", "org.gnome.SessionManager", kGnome, "Logout", &GnomeLogoutNow},
    {"KDE Plasma",
     "org.kde.Shutdown",
     {"org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown"},
     "logout",
     &NoArgs},
    {"KDE Plasma", "org.kde.ksmserver", kKsmserver, "logout", &KsmserverLogoutNow},
    {"Xfce", "org.xfce.SessionManager", kXfce, "Logout", &XfceLogoutNow},
};

template <size_t N>
bool ThroughSessionManager(Bus& session, const SessionWay (&ways)[N], const char* action) {
  GRef<GDBusConnection> connection = session.Connection();
  if (!connection) return false;
  for (const SessionWay& way : ways) {
    if (!NameHasOwner(connection.get(), way.owner)) continue;
    Log("%s through the %s session manager", action, way.desktop);
    CallAsync(connection.get(), way.object, way.method, way.args(),
              std::string(action) + " through the " + way.desktop + " session manager");
    return true;
  }
  return false;
}

}  // namespace

void PowerControl::Logind(const char* method, GVariant* args) {
  GRef<GDBusConnection> system = system_.Connection();
  if (!system) {
    if (args) g_variant_unref(g_variant_ref_sink(args));
    Log("logind %s: the system bus cannot be reached", method);
    return;
  }
  Log("logind %s", method);
  CallAsync(system.get(), kLogind, method, args, std::string("logind ") + method);
}

void PowerControl::AskToShutDown() {
  if (ThroughSessionManager(session_, kShutdownQuestions, "shutdown question")) return;
  Logind("PowerOff", g_variant_new("(b)", TRUE));  // polkit may ask the user to authorise
}

void PowerControl::PowerOff() { Logind("PowerOff", g_variant_new("(b)", TRUE)); }
void PowerControl::Reboot() { Logind("Reboot", g_variant_new("(b)", TRUE)); }
void PowerControl::Suspend() { Logind("Suspend", g_variant_new("(b)", TRUE)); }

void PowerControl::LogOut() {
  if (ThroughSessionManager(session_, kLogouts, "log out")) return;
  GRef<GDBusConnection> system = system_.Connection();
  if (!system) {
    Log("log out: neither a session manager nor the system bus can be reached");
    return;
  }
  TerminateThisSession(system.get());
}

void PowerControl::TerminateThisSession(GDBusConnection* system) {
  const char* id = std::getenv("XDG_SESSION_ID");
  if (id != nullptr && *id != '\0') {
    Log("log out: logind TerminateSession %s", id);
    CallAsync(system, kLogind, "TerminateSession", g_variant_new("(s)", id),
              "logind TerminateSession");
    return;
  }
  std::string error;
  Variant reply = CallSync(system, kLogind, "GetSessionByPID",
                           g_variant_new("(u)", static_cast<guint32>(::getpid())),
                           G_VARIANT_TYPE("(o)"), std::chrono::milliseconds(1000), &error);
  if (!reply) {
    Log("log out: this process's login session is unknown: %s", error.c_str());
    return;
  }
  const gchar* path = nullptr;
  g_variant_get(reply.get(), "(&o)", &path);
  Log("log out: logind terminates %s", path);
  CallAsync(system, {kLogind.name, path, "org.freedesktop.login1.Session"}, "Terminate", nullptr,
            "logind Session.Terminate");
}

}  // namespace hovra::platform::linux_desktop
