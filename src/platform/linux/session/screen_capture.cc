#include "platform/linux/session/screen_capture.h"

#include <atomic>
#include <ctime>
#include <string>
#include <vector>

namespace hovra::platform::linux_desktop {
namespace {

constexpr BusObject kScreenshotPortal{"org.freedesktop.portal.Desktop",
                                      "/org/freedesktop/portal/desktop",
                                      "org.freedesktop.portal.Screenshot"};

bool ThroughPortal(Bus& session) {
  GRef<GDBusConnection> connection = session.Connection();
  if (!connection) return false;
  static std::atomic<unsigned> s_requests{0};
  std::string token = "hovra" + std::to_string(++s_requests);
  GVariantBuilder options;
  g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
  g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
  g_variant_builder_add(&options, "{sv}", "interactive", g_variant_new_boolean(FALSE));
  std::string error;
  Variant reply = CallSync(connection.get(), kScreenshotPortal, "Screenshot",
                           g_variant_new("(sa{sv})", "", &options), G_VARIANT_TYPE("(o)"),
                           kPortalRequestTimeout, &error);
  if (!reply) {
    Log("screen capture: the Screenshot portal is not available (%s)", error.c_str());
    return false;
  }
  Log("screen capture through the Screenshot portal");
  return true;
}

// "Screenshot from 2024-05-01 10-20-30.png" in the Pictures folder.
std::string PicturesFile() {
  const gchar* folder = g_get_user_special_dir(G_USER_DIRECTORY_PICTURES);
  std::string path = folder ? folder : g_get_home_dir();
  char name[64];
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::strftime(name, sizeof name, "Screenshot from %Y-%m-%d %H-%M-%S.png", &local);
  return path + "/" + name;
}

std::vector<std::vector<std::string>> Tools() {
  const gchar* pictures = g_get_user_special_dir(G_USER_DIRECTORY_PICTURES);
  std::string folder = pictures ? pictures : g_get_home_dir();
  return {
      {"gnome-screenshot"},                                         // saves as GNOME does
      {"spectacle", "--background", "--nonotify", "--fullscreen"},  // as KDE Plasma does
      {"xfce4-screenshooter", "--fullscreen", "--save", folder},
      {"grim", PicturesFile()},  // wlroots compositors
      {"scrot", PicturesFile()},
  };
}

bool ThroughTool() {
  for (std::vector<std::string>& tool : Tools()) {
    gchar* found = g_find_program_in_path(tool.front().c_str());
    g_free(found);
    if (found == nullptr) continue;
    std::vector<char*> argv;
    for (std::string& part : tool) argv.push_back(part.data());
    argv.push_back(nullptr);
    GError* error = nullptr;
    auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL |
                                          G_SPAWN_STDERR_TO_DEV_NULL);
    if (g_spawn_async(nullptr, argv.data(), nullptr, flags, nullptr, nullptr, nullptr, &error)) {
      Log("screen capture through %s", tool.front().c_str());
      return true;
    }
    Log("screen capture: %s could not be started: %s", tool.front().c_str(), error->message);
    g_error_free(error);
  }
  return false;
}

}  // namespace

bool CaptureScreen(Bus& session) {
  if (ThroughPortal(session) || ThroughTool()) return true;
  Log("screen capture: no Screenshot portal and no screenshot tool (gnome-screenshot, spectacle, "
      "xfce4-screenshooter, grim, scrot) is installed");
  return false;
}

}  // namespace hovra::platform::linux_desktop
