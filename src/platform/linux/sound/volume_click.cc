#include "platform/linux/sound/volume_click.h"

#include <glib.h>

#include <cstdlib>
#include <filesystem>

#include "base/log.h"

namespace hovra::platform::linux_desktop {
namespace {

constexpr char kSoundName[] = "audio-volume-change";

bool InPath(const char* program) {
  gchar* found = g_find_program_in_path(program);
  g_free(found);
  return found != nullptr;
}

bool GraphicalSession() {
  auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY");
}

// The freedesktop theme's file in the XDG data folders, the user's first.
std::optional<std::string> ThemeFile() {
  std::vector<std::string> folders{g_get_user_data_dir()};
  for (const gchar* const* dir = g_get_system_data_dirs(); *dir != nullptr; ++dir) {
    folders.emplace_back(*dir);
  }
  for (const std::string& folder : folders) {
    std::filesystem::path file = std::filesystem::path(folder) / "sounds/freedesktop/stereo" /
                                 (std::string(kSoundName) + ".oga");
    std::error_code error;
    if (std::filesystem::is_regular_file(file, error)) return file.string();
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::string>> VolumeClickCommand() {
  if (GraphicalSession() && InPath("canberra-gtk-play")) {
    return std::vector<std::string>{"canberra-gtk-play", std::string("--id=") + kSoundName,
                                    "--description=Hovra Server volume"};
  }
  if (InPath("paplay")) {
    if (std::optional<std::string> file = ThemeFile()) {
      return std::vector<std::string>{"paplay", *file};
    }
  }
  return std::nullopt;
}

void PlayVolumeClick() {
  std::optional<std::vector<std::string>> command = VolumeClickCommand();
  if (!command) {
    static LogOnce missing;
    if (missing.First()) {
      Log("the volume click is not played: neither canberra-gtk-play (in a graphical session) "
          "nor paplay with the freedesktop sound theme is installed");
    }
    return;
  }
  std::vector<char*> argv;
  for (std::string& part : *command) argv.push_back(part.data());
  argv.push_back(nullptr);
  GError* error = nullptr;
  // Without DO_NOT_REAP_CHILD the player is started through an intermediate child, so it
  // never lingers as a zombie of the server.
  auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL |
                                        G_SPAWN_STDERR_TO_DEV_NULL);
  if (!g_spawn_async(nullptr, argv.data(), nullptr, flags, nullptr, nullptr, nullptr, &error)) {
    static LogOnce failed;
    if (failed.First()) Log("the volume click could not be played: %s", error->message);
    g_error_free(error);
  }
}

}  // namespace hovra::platform::linux_desktop
