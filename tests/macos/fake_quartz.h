// A recording Quartz: each call one log line, references named "#1", "#2" ... ("null":
// failed). Misuse (null or double release, use after release, never released) fails the test.
// MacStack: the macOS event services over it, installed for the object's lifetime.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/macos/mac_events.h"
#include "platform/macos/quartz_calls.h"
#include "platform/services.h"

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
  EventRef EventCreateKeyboardEvent(EventSourceRef, quartz::KeyCode, bool keyDown) override;
  void EventKeyboardSetUnicodeString(EventRef event, quartz::UniCharCount length,
                                     const quartz::UniChar* units) override;
  void EventSetFlags(EventRef event, quartz::EventFlags flags) override;
  EventRef EventCreateMouseEvent(EventSourceRef source, quartz::EventType type,
                                 quartz::Point position, quartz::MouseButton button) override;
  void EventSetIntegerValueField(EventRef event, quartz::EventField field, int64_t value) override;
  EventRef EventCreateScrollWheelEvent2(EventSourceRef, quartz::ScrollUnit, uint32_t wheelCount,
                                        int32_t, int32_t, int32_t) override;
  void EventPost(quartz::TapLocation tap, EventRef event) override;
  EventRef EventCreate(EventSourceRef source) override;
  quartz::Point EventGetLocation(EventRef event) override;
  bool EventSourceButtonState(quartz::SourceStateId state, quartz::MouseButton button) override;
  quartz::Error GetActiveDisplayList(uint32_t max, quartz::DisplayId*, uint32_t* count) override;
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

struct MacStack {
  explicit MacStack(platform::macos::AccessibilityGate* gate = nullptr) : events(quartz, gate) {
    platform::Services services = platform::Current();
    services.events = &events;
    previous = platform::Install(services);
  }
  ~MacStack() { platform::Install(previous); }
  MacStack(const MacStack&) = delete;
  MacStack& operator=(const MacStack&) = delete;

  FakeQuartz quartz;
  platform::macos::MacEventServices events;
  platform::Services previous;
};

}  // namespace hovra::testing
