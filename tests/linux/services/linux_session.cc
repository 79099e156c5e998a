#include "tests/linux/services/linux_session.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace hovra::testing {
namespace {

void WriteExecutable(const std::string& path, const std::string& text) {
  std::ofstream(path) << text;
  ::chmod(path.c_str(), 0755);
}

void WriteDesktopEntry(const std::string& dir, const std::string& id, const std::string& name) {
  std::ofstream(dir + "/" + id + ".desktop")
      << "[Desktop Entry]\nType=Application\nName=" << name << "\nExec=true %U\n";
}

}  // namespace

LinuxSession::LinuxSession(bool withSound) : dir_(MakeTempDir("hovra-session")) {
  if (!PrivateBus::Available()) {
    missing_ = "dbus-daemon is not installed";
    return;
  }
  if (!DbusMock::Available()) {
    missing_ = "python3-dbusmock is not installed";
    return;
  }
  if (withSound && !PulseServer::Available()) {
    missing_ = "pulseaudio and pactl are not installed";
    return;
  }
  WriteFixtures();
  sessionBus_ = std::make_unique<PrivateBus>(PrivateBus::kSession);
  systemBus_ = std::make_unique<PrivateBus>(PrivateBus::kSystem);
  if (!sessionBus_->Running() || !systemBus_->Running()) missing_ = "dbus-daemon did not start";
  if (withSound) {
    pulse_ = std::make_unique<PulseServer>();
    if (!pulse_->Running()) missing_ = "pulseaudio did not start";
  }
}

LinuxSession::~LinuxSession() {
  pulse_.reset();
  systemBus_.reset();
  sessionBus_.reset();
  RemoveTree(dir_);
}

void LinuxSession::WriteFixtures() {
  namespace fs = std::filesystem;
  fs::create_directories(dir_ + "/bin");
  fs::create_directories(dir_ + "/data/applications");
  fs::create_directories(dir_ + "/data/sounds/freedesktop/stereo");
  fs::create_directories(dir_ + "/runtime");
  ::chmod((dir_ + "/runtime").c_str(), 0700);
  std::ofstream(dir_ + "/data/sounds/freedesktop/stereo/audio-volume-change.oga") << "";
  for (const char* program : {"paplay", "canberra-gtk-play", "gnome-screenshot"}) {
    WriteExecutable(dir_ + "/bin/" + program, std::string("#!/bin/sh\necho \"") + program +
                                                  " $*\" >> " + dir_ + "/recorded\n");
  }
  std::string apps = dir_ + "/data/applications";
  WriteDesktopEntry(apps, "vlc", "VLC media player");
  WriteDesktopEntry(apps, "spotify", "Spotify");
  WriteDesktopEntry(apps, "libreoffice-impress", "LibreOffice Impress");
  WriteDesktopEntry(apps, "hovra-fixture-player", "Hovra Fixture Player");
}

Environment LinuxSession::Env() const {
  const char* path = std::getenv("PATH");
  Environment env{sessionBus_->Variable(),
                  systemBus_->Variable(),
                  {"PATH", dir_ + "/bin:" + (path ? path : "/usr/bin:/bin")},
                  {"XDG_DATA_HOME", dir_ + "/data"},
                  {"XDG_DATA_DIRS", dir_ + "/data"},
                  {"XDG_RUNTIME_DIR", dir_ + "/runtime"},
                  {"XDG_SESSION_ID", "hovra-test"},
                  {"XDG_CURRENT_DESKTOP", ""},
                  {"DISPLAY", ""},
                  {"WAYLAND_DISPLAY", ""}};
  env.emplace_back("PULSE_SERVER", pulse_ ? pulse_->Address() : "unix:" + dir_ + "/no-sound");
  return env;
}

void LinuxSession::ApplyToThisProcess() const {
  for (const auto& [name, value] : Env()) {
    if (value.empty()) {
      ::unsetenv(name.c_str());
    } else {
      ::setenv(name.c_str(), value.c_str(), 1);
    }
  }
}

ServerProcessOptions LinuxSession::ServerOptions(const std::string& simJson) const {
  ServerProcessOptions options;
  options.simJson = simJson;
  options.extraArgs = {"--desktop", "linux"};
  options.environment = Env();
  return options;
}

std::unique_ptr<DbusMock> LinuxSession::Mock(DbusMockOptions options, bool system) const {
  options.bus = system ? systemBus_->Address() : sessionBus_->Address();
  options.system = system;
  return std::make_unique<DbusMock>(options);
}

std::unique_ptr<DbusMock> LinuxSession::Player(const std::string& name,
                                               const std::string& parameters) const {
  DbusMockOptions options = DbusMockOptions::Template(HOVRA_DESKTOP_SUPPORT_DIR "/mpris_player.py",
                                                      "org.mpris.MediaPlayer2." + name, parameters);
  options.env = {{"HOVRA_MPRIS_NAME", name}};
  return Mock(options);
}

std::string LinuxSession::Recorded() const { return ReadFile(dir_ + "/recorded"); }

size_t LinuxSession::RecordedCount(const std::string& program) const {
  std::istringstream in(Recorded());
  size_t count = 0;
  for (std::string line; std::getline(in, line);) count += line.starts_with(program + " ");
  return count;
}

}  // namespace hovra::testing
