// The real hovra-server on an X display: frames sent over a socket move the X pointer.
#include <gtest/gtest.h>
// Xlib's macros (None, Bool ...) must come after the test framework's declarations.
#include <X11/Xlib.h>

#include <cstdlib>
#include <thread>

#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"
#include "tests/x11/test_window.h"
#include "tests/x11/xvfb_display.h"

namespace hovra::testing {
namespace {

struct PointerAt {
  int x = -1;
  int y = -1;
};

PointerAt QueryPointer(Display* display) {
  Window root = DefaultRootWindow(display), child = 0;
  PointerAt at;
  int winX = 0, winY = 0;
  unsigned mask = 0;
  XQueryPointer(display, root, &root, &child, &at.x, &at.y, &winX, &winY, &mask);
  return at;
}

TEST(ServerOnX11, MosFramesMoveTheXPointer) {
  if (!XvfbDisplay::Available()) GTEST_SKIP() << "Xvfb is not installed";
  XvfbDisplay xvfb;
  ASSERT_TRUE(xvfb.Running());
  Display* display = XOpenDisplay(xvfb.Name().c_str());
  ASSERT_NE(display, nullptr);
  XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, 640, 400);
  XSync(display, False);

  ::setenv("DISPLAY", xvfb.Name().c_str(), 1);
  ServerProcessOptions options;
  options.extraArgs = {"--backend", "x11"};
  ServerProcess server(options);
  ::unsetenv("DISPLAY");
  ASSERT_NE(server.Port(), 0) << server.Stderr();
  SocketClient client(server.Port());
  client.ReadUntil("\n");
  client.Send("mos007m 10 20mos010m -5000 -3");  // the second stops at the left edge
  client.Send("ping\n");
  ASSERT_EQ(client.Read(4), "echo");
  PointerAt at;
  for (int i = 0; i < 100 && (at = QueryPointer(display)).x != 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(at.x, 0);
  EXPECT_EQ(at.y, 417);
  XCloseDisplay(display);
}

// On X11 the named shortcuts are the Linux desktop's and a client's Command key is
// Control, unless --command-key super keeps it Super.
TEST(ServerOnX11, ShortcutsAndTheCommandKeyAreTheLinuxOnes) {
  if (!XvfbDisplay::Available()) GTEST_SKIP() << "Xvfb is not installed";
  XvfbDisplay xvfb;
  ASSERT_TRUE(xvfb.Running());
  TestWindow window(xvfb.Name());
  ASSERT_TRUE(window.Open());
  auto typed = [&](const std::vector<std::string>& extraArgs, const std::string& bytes,
                   size_t count) {
    ::setenv("DISPLAY", xvfb.Name().c_str(), 1);
    ServerProcessOptions options;
    options.extraArgs = {"--backend", "x11"};
    options.extraArgs.insert(options.extraArgs.end(), extraArgs.begin(), extraArgs.end());
    ServerProcess server(options);
    ::unsetenv("DISPLAY");
    SocketClient client(server.Port());
    client.ReadUntil("\n");
    client.Send(bytes + "ping\n");
    EXPECT_EQ(client.Read(4), "echo") << server.Stderr();
    std::vector<KeyRecord> keys;
    for (int i = 0; i < 200 && keys.size() < count; ++i) {
      for (const KeyRecord& key : window.TakeKeys()) keys.push_back(key);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return keys;
  };
  auto modifiers = [](const KeyRecord& key) {
    return key.state & (kShiftMask | kControlMask | kAltMask | kSuperMask);
  };
  // Ctrl+W, Ctrl+T, and the client's Command+C.
  std::vector<KeyRecord> keys = typed({}, "window close\nbrowser newtab\nkey007WIN[+]c", 3);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].character, U'w');
  EXPECT_EQ(keys[1].character, U't');
  EXPECT_EQ(keys[2].character, U'c');
  for (const KeyRecord& key : keys) EXPECT_EQ(modifiers(key), kControlMask);

  keys = typed({"--command-key", "super"}, "key007WIN[+]c", 1);
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(modifiers(keys[0]), kSuperMask);
}

}  // namespace
}  // namespace hovra::testing
