// The shared input cases on the journal, read as a desktop with a US keyboard would take it.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "input/key_names.h"
#include "input/key_tables.h"
#include "input/pointer.h"
#include "input/wheel.h"
#include "tests/support/input_cases.h"
#include "tests/support/test_platform.h"

namespace hovra::testing {
namespace {

// The character a US keyboard types for a macOS key code, with or without Shift.
char32_t UsCharacter(int code, bool shift) {
  if (code == 36) return U'\r';
  for (const KeyEntry& entry : shift ? std::span<const KeyEntry>(UPPER_KEY_ENTRIES)
                                     : std::span<const KeyEntry>(LOWER_KEY_ENTRIES))
    if (entry.code == code && entry.name[0] != '\0' && entry.name[1] == '\0')
      return static_cast<char32_t>(static_cast<unsigned char>(entry.name[0]));
  return 0;
}

InputSeen ReadJournal(const std::vector<std::string>& lines) {
  InputSeen seen;
  bool shift = false;
  for (const std::string& line : lines) {
    auto event = nlohmann::json::parse(line);
    if (event["kind"] == "key") {
      bool down = event["down"];
      if (event.contains("unicode")) {
        for (const auto& value : event["unicode"]) {
          const auto unit = static_cast<char32_t>(value.get<int>());
          if (!down) continue;
          if (unit >= 0xDC00 && unit <= 0xDFFF && !seen.text.empty())  // joins its high half
            seen.text.back() = 0x10000 + ((seen.text.back() - 0xD800) << 10) + (unit - 0xDC00);
          else
            seen.text += unit;
        }
      } else if (event["code"] == 56) {
        shift = down;
      } else if (down) {
        if (char32_t c = UsCharacter(event["code"], shift); c != 0) seen.text += c;
      }
    } else if (event["kind"] == "mouse") {
      int type = event["type"];
      Button button = type <= 2 ? Button::kLeft : type <= 4 ? Button::kRight : Button::kMiddle;
      bool press = type == 1 || type == 3 || type == 25;
      if (type == 5 || type == 6) continue;
      seen.buttons.push_back({button, press, event["x"], event["y"]});
    } else if (event["kind"] == "scroll") {
      seen.wheelUp += event["vertical"].get<int>();
      seen.wheelLeft += event["horizontal"].get<int>();
    }
  }
  return seen;
}

class JournalSharedCases : public ::testing::TestWithParam<InputCase> {};

TEST_P(JournalSharedCases, TheDesktopSeesWhatTheCaseExpects) {
  TestPlatform platform(kSharedDesktopSim);
  FillKeyNameMaps();
  ResetClickAndDragState();
  ResetWheelState();
  HeldInput held;
  for (const InputStep& step : GetParam().steps) PlayInputStep(step, held);
  InputSeen seen = ReadJournal(platform.Take());
  if (GetParam().expected.pointer) seen.pointer = platform::GetEvents().PointerEventLocation();
  EXPECT_EQ(seen, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Shared, JournalSharedCases, ::testing::ValuesIn(SharedInputCases()),
                         InputCaseName());

}  // namespace
}  // namespace hovra::testing
