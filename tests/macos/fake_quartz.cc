#include "tests/macos/fake_quartz.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace hovra::testing {
namespace {

std::string Text(const char* format, auto... values) {
  char text[160];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

}  // namespace

FakeQuartz::~FakeQuartz() {
  for (size_t i = 0; i < released_.size(); ++i) {
    if (!released_[i]) ADD_FAILURE() << "#" << i + 1 << " was never released";
  }
}

void* FakeQuartz::Create(const char* what, const void* source, const std::string& details) {
  std::string sourceName = source ? NameOf(source, "source") : "none";
  void* ref = nullptr;
  std::string name = "null";
  if (failing_.count(++created_) == 0) {
    released_.push_back(false);
    ref = &released_.back();  // a deque keeps its elements where they are
    numbers_[ref] = static_cast<int>(released_.size());
    name = "#" + std::to_string(released_.size());
  }
  bool isSource = std::string_view(what) == "source";
  log_.push_back(std::string(what) + " " + name + (isSource ? "" : " source=" + sourceName) +
                 details);
  return ref;
}

std::string FakeQuartz::NameOf(const void* reference, const char* use) {
  auto found = numbers_.find(reference);
  if (found == numbers_.end()) {
    ADD_FAILURE() << use << " of " << (reference ? "a reference never made" : "null");
    return "?";
  }
  if (released_[found->second - 1])
    ADD_FAILURE() << use << " of #" << found->second << " after its release";
  return "#" + std::to_string(found->second);
}

EventSourceRef FakeQuartz::EventSourceCreate(quartz::SourceStateId state) {
  return static_cast<EventSourceRef>(Create("source", nullptr, Text(" state=%d", state)));
}

EventRef FakeQuartz::EventCreateKeyboardEvent(EventSourceRef source, quartz::KeyCode code,
                                              bool keyDown) {
  return static_cast<EventRef>(
      Create("key", source, Text(" code=%u %s", code, keyDown ? "down" : "up")));
}

void FakeQuartz::EventKeyboardSetUnicodeString(EventRef event, quartz::UniCharCount length,
                                               const quartz::UniChar* units) {
  std::string line = "unicode " + NameOf(event, "unicode string") + " [";
  for (quartz::UniCharCount i = 0; i < length; ++i)
    line += (i ? "," : "") + std::to_string(units[i]);
  log_.push_back(line + "]");
}

void FakeQuartz::EventSetFlags(EventRef event, quartz::EventFlags flags) {
  log_.push_back("flags " + NameOf(event, "flags") +
                 Text(" %#llx", static_cast<unsigned long long>(flags)));
}

EventRef FakeQuartz::EventCreateMouseEvent(EventSourceRef source, quartz::EventType type,
                                           quartz::Point at, quartz::MouseButton button) {
  return static_cast<EventRef>(
      Create("mouse", source, Text(" type=%u at=%g,%g button=%u", type, at.x, at.y, button)));
}

void FakeQuartz::EventSetIntegerValueField(EventRef event, quartz::EventField field,
                                           int64_t value) {
  log_.push_back("field " + NameOf(event, "field") +
                 Text(" %u=%lld", field, static_cast<long long>(value)));
}

EventRef FakeQuartz::EventCreateScrollWheelEvent2(EventSourceRef source, quartz::ScrollUnit units,
                                                  uint32_t wheelCount, int32_t wheel1,
                                                  int32_t wheel2, int32_t wheel3) {
  return static_cast<EventRef>(
      Create("scroll", source,
             Text(" units=%u wheels=%u %d,%d,%d", units, wheelCount, wheel1, wheel2, wheel3)));
}

void FakeQuartz::EventPost(quartz::TapLocation tap, EventRef event) {
  log_.push_back("post " + NameOf(event, "post") + Text(" tap=%u", tap));
}

EventRef FakeQuartz::EventCreate(EventSourceRef source) {
  return static_cast<EventRef>(Create("probe", source, ""));
}

quartz::Point FakeQuartz::EventGetLocation(EventRef event) {
  NameOf(event, "location");
  return pointer;
}

bool FakeQuartz::EventSourceButtonState(quartz::SourceStateId state, quartz::MouseButton button) {
  buttonStatesAsked.push_back(state);
  return (buttonsHeld >> button & 1u) != 0;
}

quartz::Error FakeQuartz::GetActiveDisplayList(uint32_t maxDisplays, quartz::DisplayId* list,
                                               uint32_t* count) {
  if (displayListFails) return 1001;  // kCGErrorFailure
  *count = std::min(maxDisplays, static_cast<uint32_t>(activeOrder.size()));
  std::copy_n(activeOrder.begin(), *count, list);
  return quartz::kErrorSuccess;
}

quartz::Rect FakeQuartz::DisplayBounds(quartz::DisplayId display) {
  auto found = displays.find(display);
  return found == displays.end() ? quartz::Rect{} : found->second;
}

void FakeQuartz::Release(const void* reference) {
  log_.push_back("release " + NameOf(reference, "release"));
  if (auto found = numbers_.find(reference); found != numbers_.end())
    released_[found->second - 1] = true;
}

}  // namespace hovra::testing
