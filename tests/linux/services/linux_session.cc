#include "tests/linux/services/linux_session.h"

#include <sys/stat.h>

#include <cstdlib>
#include <sstream>

namespace hovra::testing {

LinuxSession::LinuxSession(bool withSound) {
  if (!PrivateBus::Available()) missing_ = "dbus-daemon is not installed";
  if (!DbusMock::Available()) missing_ = "python3-dbusmock is not installed";
  if (withSound && !PulseServer::Available()) missing_ = "pulseaudio and pactl are not installed";
  if (!missing_.empty()) return;
  for (const char* dir : {"bin", "data/applications", "data/sounds/freedesktop/stereo", "runtime"})
    std::filesystem::create_directories(dir_ / dir);
  ::chmod((dir_ / "runtime").c_str(), 0700);
  WriteFile(dir_ / "data/sounds/freedesktop/stereo/audio-volume-change.oga", "");
  for (std::string program : {"paplay", "canberra-gtk-play", "gnome-screenshot"}) {
    WriteFile(dir_ / ("bin/" + program),
              "#!/bin/sh\necho \"" + program + " $*\" >> " + dir_ / "recorded\n");
    ::chmod((dir_ / ("bin/" + program)).c_str(), 0755);
  }
  for (auto [id, name] : {std::pair{"vlc", "VLC media player"},
                          {"spotify", "Spotify"},
                          {"libreoffice-impress", "LibreOffice Impress"}}) {
    WriteFile(dir_ / ("data/applications/" + std::string(id) + ".desktop"),
              std::string("[Desktop Entry]\nType=Application\nName=") + name + "\nExec=true %U\n");
  }
  sessionBus_ = std::make_unique<PrivateBus>(PrivateBus::kSession);
  systemBus_ = std::make_unique<PrivateBus>(PrivateBus::kSystem);
  if (!sessionBus_->Running() || !systemBus_->Running()) missing_ = "dbus-daemon did not start";
  if (withSound) {
    pulse_ = std::make_unique<PulseServer>();
    if (!pulse_->Running()) missing_ = "pulseaudio did not start";
  }
}

Environment LinuxSession::Env() const {
  const char* path = std::getenv("PATH");
  return {sessionBus_->Variable(),
          systemBus_->Variable(),
          {"PATH", dir_ / "bin:" + (path ? path : "/usr/bin:/bin")},
          {"XDG_DATA_HOME", dir_ / "data"},
          {"XDG_DATA_DIRS", dir_ / "data"},
          {"XDG_RUNTIME_DIR", dir_ / "runtime"},
          {"XDG_SESSION_ID", "hovra-test"},
          {"XDG_CURRENT_DESKTOP", ""},
          {"DISPLAY", ""},
          {"WAYLAND_DISPLAY", ""},
          {"PULSE_SERVER", pulse_ ? pulse_->Address() : "unix:" + dir_ / "no-sound"}};
}

void LinuxSession::ApplyToThisProcess() const {
  for (const auto& [name, value] : Env())
    value.empty() ? ::unsetenv(name.c_str()) : ::setenv(name.c_str(), value.c_str(), 1);
}

ServerProcessOptions LinuxSession::ServerOptions() const {
  ServerProcessOptions options;
  options.simJson = kPlayersSim;
  options.extraArgs = {"--desktop", "linux"};
  options.environment = Env();
  return options;
}

std::unique_ptr<DbusMock> LinuxSession::Mock(DbusMockOptions options, bool system) const {
  options.bus = system ? systemBus_->Address() : sessionBus_->Address();
  options.system = system;
  auto mock = std::make_unique<DbusMock>(options);
  EXPECT_TRUE(mock->Running()) << options.name << " did not start";
  return mock;
}

std::unique_ptr<DbusMock> LinuxSession::Player(const std::string& name,
                                               const std::string& parameters) const {
  return Mock({.name = "org.mpris.MediaPlayer2." + name,
               .templateName = HOVRA_DESKTOP_SUPPORT_DIR "/mpris_player.py",
               .parameters = parameters,
               .env = {{"HOVRA_MPRIS_NAME", name}}});
}

size_t LinuxSession::RecordedCount(const std::string& program) const {
  std::istringstream in(Recorded());
  size_t count = 0;
  for (std::string line; std::getline(in, line);) count += line.starts_with(program + " ");
  return count;
}

}  // namespace hovra::testing
