// The Mac's facts, and the backend choice of a build that has the Mac application.
#include <gtest/gtest.h>

#include "app/backend_choice.h"
#include "platform/macos/mac_host.h"

namespace hovra::testing {
namespace {

using platform::macos::OsVersion;

TEST(MacHost, TheProductVersionIsWrittenAsTheSystemWritesIt) {
  EXPECT_EQ(platform::macos::ProductVersionText(OsVersion{14, 2, 1}), "14.2.1");
  EXPECT_EQ(platform::macos::ProductVersionText(OsVersion{14, 2, 0}), "14.2");
  EXPECT_EQ(platform::macos::ProductVersionText(OsVersion{13, 0, 0}), "13.0");
  EXPECT_EQ(platform::macos::ProductVersionText(OsVersion{0, 0, 0}), "") << "unknown";

  struct NoName : platform::macos::HostCalls {
    std::string LocalizedHostName() override { return ""; }
    OsVersion OperatingSystemVersion() override { return {}; }
  } calls;
  EXPECT_FALSE(platform::macos::MacHost(calls).MachineName().empty()) << "the host name serves";
}

TEST(MacBackendChoice, AMacBuildTakesTheMacForEverySeamAndOthersNever) {
  Options automatic;
  automatic.input = automatic.desktop = automatic.ui = "auto";
  app::SessionFacts facts;
  app::BuiltBackends mac;
  mac.macos = true;
  app::BackendChoice onMac = app::ChooseBackends(automatic, facts, mac);
  EXPECT_EQ(onMac.input.name + onMac.desktop.name + onMac.ui.name, "macosmacosmacos");

  facts.x11Display = ":0";
  app::BackendChoice elsewhere = app::ChooseBackends(automatic, facts, app::BuiltBackends{});
  EXPECT_NE(elsewhere.input.name, "macos");
  Options asked = automatic;
  asked.input = "macos";
  EXPECT_TRUE(app::IsBackendName(app::Seam::kInput, "macos"));
  EXPECT_EQ(app::ChooseBackends(asked, facts, app::BuiltBackends{}).error,
            "the macos backend is not part of this build");
}

}  // namespace
}  // namespace hovra::testing
