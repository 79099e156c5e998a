// The journal platform's lines, simulated desktop configuration and control socket notices.
#include "platform/journal/sim_control.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/journal/json_line.h"
#include "platform/journal/sim_desktop.h"
#include "platform/run_loop.h"
#include "tests/support/temp_dir.h"

namespace hovra::platform::journal {
namespace {

using ::testing::ElementsAre;
using ::testing::FieldsAre;
using ::testing::Optional;
using enum WorkspaceEventKind;

TEST(SimControlNotice, ParsesNoticesAndRefusesWhatIsNotOne) {
  EXPECT_THAT(
      ParseNotice(
          R"({"notify":"activated","bundleId":"org.videolan.vlc","name":"VLC","policy":2})"),
      Optional(FieldsAre(kActivated, Optional(FieldsAre("org.videolan.vlc", "VLC", 2)))));
  EXPECT_EQ(ParseNotice(R"({"notify":"deactivated","bundleId":"x"})")->kind, kDeactivated);
  EXPECT_FALSE(ParseNotice(R"({"notify":"woke","bundleId":"ignored"})")->app);
  for (const char* bad : {"not json", "[1,2]", R"({"notify":"exploded"})", R"({"bundleId":"x"})",
                          R"({"notify":"launched","bundleId":5})",
                          R"({"notify":"launched","bundleId":"x","policy":"regular"})"})
    EXPECT_FALSE(ParseNotice(bad)) << bad;
}

sockaddr_un Address(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

int Connect(const std::string& path) {
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address = Address(path);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
    ADD_FAILURE() << "cannot connect: " << std::strerror(errno);
  return fd;
}

void Send(int fd, std::string_view text) {
  EXPECT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

class SimControlSocket : public ::testing::Test {
 protected:
  SimControlSocket() {
    workspace_.SetNotificationHandler([this](const WorkspaceEvent& event) {
      EXPECT_TRUE(loop_.IsMainThread());
      seen_.push_back(event);
      if (seen_.size() == expected_) loop_.Quit();
    });
  }
  // Runs the main loop until `count` notices arrived (or 20 s: a broken socket must not hang).
  void RunUntil(size_t count) {
    expected_ = count;
    loop_.PostDelayed(std::chrono::seconds(20), [this] { loop_.Quit(); });
    loop_.Run();
  }

  hovra::testing::TempDir temp_;
  const std::filesystem::path& folder_ = temp_.path();
  SimDesktop desktop_{SimConfig{}};
  std::unique_ptr<JournalWriter> journal_ = JournalWriter::InMemory();
  JournalWorkspace workspace_{*journal_, desktop_};
  RunLoop loop_;
  std::vector<WorkspaceEvent> seen_;
  size_t expected_ = 0;
};

// A socket left by a crash is replaced; lines from several connections reach the main thread
// and the simulated desktop; the socket goes with the control, and other files are refused.
TEST_F(SimControlSocket, ReplacesAStaleSocketDeliversNoticesAndRefusesOtherFiles) {
  std::string path = (folder_ / "control").string();
  { SimControl earlier(path, workspace_, loop_); }
  EXPECT_FALSE(std::filesystem::exists(path));
  int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address = Address(path);
  ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ::close(stale);
  {
    SimControl control(path, workspace_, loop_);
    int first = Connect(path);  // stays open: stopping must not wait for it
    int second = Connect(path);
    Send(first, R"({"notify":"launched","bundleId":"org.videolan.vlc","name":"VLC"})"
                "\n");
    Send(second, "garbage\n\n{\"notify\":\"activated\",\"bundleId\":\"com.apple.mail\",");
    Send(second, "\"name\":\"Mail\"}\r\n{\"notify\":\"woke\"}");  // ends with the connection
    ::close(second);
    RunUntil(3);
    ASSERT_EQ(seen_.size(), 3u);
    EXPECT_EQ(seen_[0].kind, kLaunched);
    EXPECT_EQ(seen_[2].kind, kWoke);
    EXPECT_THAT(desktop_.Running(), ElementsAre(FieldsAre("org.videolan.vlc", "VLC", 0),
                                                FieldsAre("com.apple.mail", "Mail", 0)));
  }
  EXPECT_FALSE(std::filesystem::exists(path));
  std::ofstream(path) << "keep me";  // not a socket: refused and left alone
  EXPECT_THROW(SimControl(path, workspace_, loop_), std::runtime_error);
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_THROW(SimControl((folder_ / std::string(200, 'p')).string(), workspace_, loop_),
               std::runtime_error);
}

TEST(JsonLine, WritesMembersInOrderWithWholeNumbersWithoutFraction) {
  EXPECT_EQ(JsonLine()
                .Text("kind", "mouse")
                .Integer("type", 5)
                .Number("x", 101.0)
                .Number("y", -2.5)
                .Bool("down", true)
                .Units("unicode", u"\u00e9\xd83d")
                .Finish(),
            R"({"kind":"mouse","type":5,"x":101,"y":-2.5,"down":true,"unicode":[233,55357]})");
}

// Valid UTF-8 is kept; stray, overlong and cut-off sequences are replaced.
TEST(JsonLine, EscapesControlsQuotesAndBackslashesAndReplacesInvalidBytes) {
  EXPECT_EQ(JsonLine().Text("source", "a\"b\\c\nd\te\x01").Finish(),
            R"({"source":"a\"b\\c\nd\te\u0001"})");
  EXPECT_EQ(JsonLine().Text("t", "\xC3\xA9|\x80|\xC0\xAF|\xE2\x82").Finish(),
            "{\"t\":\"\xC3\xA9|\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD\"}");
}

TEST(SimConfig, RejectsMalformedInputWithAReason) {
  for (const char* bad : {"[1,2]", R"({"screens":[[0,0,800]]})", R"({"pointer":"middle"})", "{"})
    EXPECT_THROW(SimConfig::Parse(bad), std::runtime_error) << bad;
}

}  // namespace
}  // namespace hovra::platform::journal
