// The simulated desktop's configuration: every test reads its members, so only what no
// other test exercises is here.
#include "platform/journal/sim_desktop.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace hovra::platform::journal {
namespace {

TEST(SimConfig, RejectsMalformedInputWithAReason) {
  for (const char* bad : {"[1,2]", R"({"screens":[[0,0,800]]})", R"({"pointer":"middle"})", "{"}) {
    EXPECT_THROW(SimConfig::Parse(bad), std::runtime_error) << bad;
  }
}

}  // namespace
}  // namespace hovra::platform::journal
