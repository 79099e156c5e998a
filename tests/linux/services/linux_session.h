// A hermetic Linux session: private buses, PulseAudio, XDG data, recording stand-in programs.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/desktop/dbus_mock.h"
#include "tests/support/desktop/private_bus.h"
#include "tests/support/desktop/pulse_server.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::testing {

// Applications installed in the simulated desktop and as desktop entries alike.
inline constexpr char kPlayersSim[] =
    R"({"installed":{"org.videolan.vlc":"/usr/share/applications/vlc.desktop",)"
    R"("com.spotify.client":"/usr/share/applications/spotify.desktop",)"
    R"("com.apple.Safari":"/usr/share/applications/firefox.desktop",)"
    R"("com.apple.iWork.Keynote":"/usr/share/applications/libreoffice-impress.desktop"}})";

class LinuxSession {
 public:
  explicit LinuxSession(bool withSound = true);

  bool Ready() const { return missing_.empty(); }
  const std::string& Missing() const { return missing_; }

  ServerProcessOptions ServerOptions() const;  // journal input, linux desktop
  Environment Env() const;
  void ApplyToThisProcess() const;  // for in-process tests: setenv of Env()

  // A dbusmock service; one that does not start fails the test.
  std::unique_ptr<DbusMock> Mock(DbusMockOptions options, bool system = false) const;
  // A fake MPRIS player "org.mpris.MediaPlayer2.<name>" (parameters: the template's JSON).
  std::unique_ptr<DbusMock> Player(const std::string& name, const std::string& parameters) const;
  BusClient Client() const { return BusClient(sessionBus_->Address()); }

  // Lines the stand-in programs wrote ("paplay /…/audio-volume-change.oga").
  std::string Recorded() const { return ReadFile(dir_ / "recorded"); }
  size_t RecordedCount(const std::string& program) const;

  PulseServer& Pulse() { return *pulse_; }

 private:
  TempDir dir_;
  std::unique_ptr<PrivateBus> sessionBus_;
  std::unique_ptr<PrivateBus> systemBus_;
  std::unique_ptr<PulseServer> pulse_;
  std::string missing_;
};

// The real server in a session, with a client past its greeting.
template <bool kWithSound = false>
class ServerInSession : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!session_.Ready()) GTEST_SKIP() << session_.Missing();
  }
  void StartServer(const ServerProcessOptions& options) {
    server_ = std::make_unique<ServerProcess>(options);
    client_ = std::make_unique<SocketClient>(SocketClient::Greeted(server_->Port()));
    ASSERT_TRUE(client_->Connected()) << server_->Stderr();
  }
  void StartServer() { StartServer(session_.ServerOptions()); }
  // Sends the command; the echo says it was carried out.
  void Send(const std::string& line) {
    client_->Send(line + "\nping\n");
    ASSERT_EQ(client_->Read(4, 20s), "echo") << line;
  }

  LinuxSession session_{kWithSound};
  std::unique_ptr<ServerProcess> server_;
  std::unique_ptr<SocketClient> client_;
};

}  // namespace hovra::testing
