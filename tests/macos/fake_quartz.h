// A recording Quartz: each call one log line, references named "#1", "#2" ... ("null":
// failed). Misuse (null or double release, use after release, never released) fails the test.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/macos/quartz_calls.h"

namespace hovra::testing {

using platform::macos::EventRef;
using platform::macos::EventSourceRef;
namespace quartz = platform::macos::quartz;

class FakeQuartz : public platform::macos::QuartzCalls {
 public:
  ~FakeQuartz() override;
  std::vector<std::string> TakeLog() { return std::exchange(log_, {}); }
  void FailCreation(int nth) { failing_.insert(created_ + nth); }  // counted from now

  // The desktop it reports, in global display space.
  std::map<quartz::DisplayId, quartz::Rect> displays{{1, {{0, 0}, {1920, 1080}}}};
  std::vector<quartz::DisplayId> activeOrder{1};
  quartz::DisplayId mainDisplay = 1;
  bool displayListFails = false;
  quartz::Point pointer{960, 540};
  uint32_t buttonsHeld = 0;  // bit n: button n
  std::vector<quartz::SourceStateId> buttonStatesAsked;

  EventSourceRef EventSourceCreate(quartz::SourceStateId state) override;
  EventRef EventCreateKeyboardEvent(EventSourceRef source, quartz::KeyCode code,
                                    bool keyDown) override;
  void EventKeyboardSetUnicodeString(EventRef event, quartz::UniCharCount length,
                                     const quartz::UniChar* units) override;
  void EventSetFlags(EventRef event, quartz::EventFlags flags) override;
  EventRef EventCreateMouseEvent(EventSourceRef source, quartz::EventType type,
                                 quartz::Point position, quartz::MouseButton button) override;
  void EventSetIntegerValueField(EventRef event, quartz::EventField field, int64_t value) override;
  EventRef EventCreateScrollWheelEvent2(EventSourceRef source, quartz::ScrollUnit units,
                                        uint32_t wheelCount, int32_t wheel1, int32_t wheel2,
                                        int32_t wheel3) override;
  void EventPost(quartz::TapLocation tap, EventRef event) override;
  EventRef EventCreate(EventSourceRef source) override;
  quartz::Point EventGetLocation(EventRef event) override;
  bool EventSourceButtonState(quartz::SourceStateId state, quartz::MouseButton button) override;
  quartz::Error GetActiveDisplayList(uint32_t maxDisplays, quartz::DisplayId* displays,
                                     uint32_t* displayCount) override;
  quartz::DisplayId MainDisplayID() override { return mainDisplay; }
  quartz::Rect DisplayBounds(quartz::DisplayId display) override;
  void Release(const void* reference) override;

 private:
  // Logs "<what> <new name> <details>" and returns the new reference (null when failing).
  void* Create(const char* what, const void* source, const std::string& details);
  std::string NameOf(const void* reference, const char* use);

  std::deque<bool> released_;  // by number - 1
  std::map<const void*, int> numbers_;
  std::set<int> failing_;
  int created_ = 0;
  std::vector<std::string> log_;
};

}  // namespace hovra::testing
