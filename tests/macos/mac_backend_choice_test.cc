// The backend choice of a build that has the Mac application, and of one that has not.
#include <gtest/gtest.h>

#include "app/backend_choice.h"

namespace hovra::testing {
namespace {

TEST(MacBackendChoice, AMacBuildTakesTheMacForEverySeamAndOthersNever) {
  Options automatic;
  automatic.input = automatic.desktop = automatic.ui = "auto";
  app::SessionFacts facts;
  app::BuiltBackends mac;
  mac.macos = true;
  app::BackendChoice onMac = app::ChooseBackends(automatic, facts, mac);
  EXPECT_EQ(onMac.input.name + onMac.desktop.name + onMac.ui.name, "macosmacosmacos");

  facts.x11Display = ":0";
  EXPECT_NE(app::ChooseBackends(automatic, facts, app::BuiltBackends{}).input.name, "macos");
  Options asked = automatic;
  asked.input = "macos";
  EXPECT_EQ(app::ChooseBackends(asked, facts, app::BuiltBackends{}).error,
            "the macos backend is not part of this build");
}

}  // namespace
}  // namespace hovra::testing
