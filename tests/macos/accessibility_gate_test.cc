// The Accessibility permission: the prompt once, a notice when refused, rechecks spaced out.
#include "platform/macos/accessibility_gate.h"

#include <gtest/gtest.h>

#include "input/key_names.h"
#include "input/keystrokes.h"
#include "tests/app/shell_test_support.h"
#include "tests/macos/fake_quartz.h"
#include "tests/support/test_platform.h"

namespace hovra::testing {
namespace {

using platform::macos::AccessibilityGate;
using namespace std::chrono_literals;

class FakeTrust : public platform::macos::TrustCalls {
 public:
  quartz::Boolean IsProcessTrustedWithOptions(bool prompt) override {
    prompts.push_back(prompt);
    return trusted;
  }
  bool trusted = false;
  std::vector<bool> prompts;  // one per question: whether the prompt was allowed
};

class Gate : public ::testing::Test {
 protected:
  AccessibilityGate::Clock::time_point now_{};
  FakeTrust trust_;
  AccessibilityGate gate_{trust_, [this] { return now_; }, 5000ms};
};

TEST_F(Gate, OnlyTheFirstQuestionMayPromptARefusalShowsTheNoticeAndPostingRechecksSpacedOut) {
  EXPECT_FALSE(gate_.TrustedForPosting());
  trust_.trusted = true;  // granted in System Settings meanwhile
  now_ += 4999ms;
  EXPECT_FALSE(gate_.TrustedForPosting()) << "the last answer is still fresh";
  now_ += 1ms;
  EXPECT_TRUE(gate_.TrustedForPosting());
  EXPECT_EQ(trust_.prompts, (std::vector<bool>{true, false}));

  FakeTrust refused;
  AccessibilityGate gate(refused);
  RecordingUi ui;
  EXPECT_FALSE(platform::macos::AskForAccessibility(gate, ui));
  EXPECT_EQ(ui.panels,
            std::vector<std::string>{std::string(platform::macos::kAccessibilityNotice) + " | " +
                                     platform::macos::kAccessibilitySettingsUrl});
  EXPECT_FALSE(platform::macos::AskForAccessibility(gate, ui));
  refused.trusted = true;
  EXPECT_TRUE(gate.Check());
  EXPECT_EQ(refused.prompts, (std::vector<bool>{true, false, false}));

  FakeTrust granted;
  granted.trusted = true;
  AccessibilityGate trustedGate(granted);
  RecordingUi quiet;
  EXPECT_TRUE(platform::macos::AskForAccessibility(trustedGate, quiet));
  EXPECT_TRUE(quiet.panels.empty());
}

TEST_F(Gate, EventsAskTheGateBeforeTheyArePosted) {
  TestPlatform platform;
  FillKeyNameMaps();
  MacStack mac(&gate_);
  SendKeyPress("a");
  SendKeyPress("b");
  EXPECT_EQ(trust_.prompts.size(), 1u);
  EXPECT_EQ(mac.quartz.TakeLog().size(), 12u) << "posted all the same: the system decides";
}

}  // namespace
}  // namespace hovra::testing
