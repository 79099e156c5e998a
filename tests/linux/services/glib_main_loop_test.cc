// The GLib main loop as the main queue.
#include "platform/linux/loop/glib_main_loop.h"

#include "tests/support/desktop/main_loop_cases.h"

namespace hovra::testing {

INSTANTIATE_TYPED_TEST_SUITE_P(Glib, MainLoopCases, platform::linux_desktop::GlibMainLoop);

namespace {

using platform::linux_desktop::GlibMainLoop;

TEST(GlibMainLoop, EndsThroughAGlibSourceAndAQuitBeforeTheRunDropsTheWork) {
  GlibMainLoop loop;
  bool ran = false;
  loop.Post([&] {
    ran = true;
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer l) -> gboolean {
          static_cast<GlibMainLoop*>(l)->Quit();
          return G_SOURCE_REMOVE;
        },
        &loop, nullptr);
  });
  loop.Run();
  EXPECT_TRUE(ran);

  GlibMainLoop early;
  ran = false;
  early.Post([&] { ran = true; });
  early.Quit();
  early.Run();  // returns at once, dropping the work
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace hovra::testing
