#include "tests/macos/fake_quartz.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace hovra::testing {
namespace {

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

FakeQuartz::~FakeQuartz() {
  for (const Object& object : objects_) {
    if (!object.released) ADD_FAILURE() << "#" << object.number << " was never released";
  }
}

std::vector<std::string> FakeQuartz::TakeLog() {
  std::vector<std::string> taken;
  taken.swap(log_);
  return taken;
}

void* FakeQuartz::Create(std::string& name) {
  int ordinal = ++created_;
  if (failing_.count(ordinal) != 0) {
    name = "null";
    return nullptr;
  }
  objects_.push_back(Object{static_cast<int>(objects_.size()) + 1, false});
  Object* object = &objects_.back();
  byAddress_[object] = object;
  name = "#" + std::to_string(object->number);
  return object;
}

std::string FakeQuartz::NameOf(const void* reference, const char* use) {
  if (reference == nullptr) {
    ADD_FAILURE() << use << " of a null reference";
    return "null";
  }
  auto found = byAddress_.find(reference);
  if (found == byAddress_.end()) {
    ADD_FAILURE() << use << " of a reference this fake never made";
    return "?";
  }
  std::string name = "#" + std::to_string(found->second->number);
  if (found->second->released) ADD_FAILURE() << use << " of " << name << " after its release";
  return name;
}

EventSourceRef FakeQuartz::EventSourceCreate(quartz::SourceStateId state) {
  std::string name;
  void* ref = Create(name);
  log_.push_back("source " + name + " state=" + std::to_string(state));
  return static_cast<EventSourceRef>(ref);
}

EventRef FakeQuartz::EventCreateKeyboardEvent(EventSourceRef source, quartz::KeyCode code,
                                              bool keyDown) {
  std::string sourceName = source ? NameOf(source, "key event source") : "none";
  std::string name;
  void* ref = Create(name);
  log_.push_back("key " + name + " source=" + sourceName + " code=" + std::to_string(code) +
                 (keyDown ? " down" : " up"));
  return static_cast<EventRef>(ref);
}

void FakeQuartz::EventKeyboardSetUnicodeString(EventRef event, quartz::UniCharCount length,
                                               const quartz::UniChar* units) {
  std::string line = "unicode " + NameOf(event, "unicode string") + " [";
  for (quartz::UniCharCount i = 0; i < length; ++i) {
    line += (i ? "," : "") + std::to_string(units[i]);
  }
  log_.push_back(line + "]");
}

void FakeQuartz::EventSetFlags(EventRef event, quartz::EventFlags flags) {
  char hex[32];
  std::snprintf(hex, sizeof hex, "%#llx", static_cast<unsigned long long>(flags));
  log_.push_back("flags " + NameOf(event, "flags") + " " + (flags ? hex : "0"));
}

EventRef FakeQuartz::EventCreateMouseEvent(EventSourceRef source, quartz::EventType type,
                                           quartz::Point position, quartz::MouseButton button) {
  std::string sourceName = source ? NameOf(source, "mouse event source") : "none";
  std::string name;
  void* ref = Create(name);
  log_.push_back("mouse " + name + " source=" + sourceName + " type=" + std::to_string(type) +
                 " at=" + Number(position.x) + "," + Number(position.y) +
                 " button=" + std::to_string(button));
  return static_cast<EventRef>(ref);
}

void FakeQuartz::EventSetIntegerValueField(EventRef event, quartz::EventField field,
                                           int64_t value) {
  log_.push_back("field " + NameOf(event, "field") + " " + std::to_string(field) + "=" +
                 std::to_string(value));
}

EventRef FakeQuartz::EventCreateScrollWheelEvent2(EventSourceRef source, quartz::ScrollUnit units,
                                                  uint32_t wheelCount, int32_t wheel1,
                                                  int32_t wheel2, int32_t wheel3) {
  std::string sourceName = source ? NameOf(source, "scroll event source") : "none";
  std::string name;
  void* ref = Create(name);
  log_.push_back("scroll " + name + " source=" + sourceName + " units=" + std::to_string(units) +
                 " wheels=" + std::to_string(wheelCount) + " " + std::to_string(wheel1) + "," +
                 std::to_string(wheel2) + "," + std::to_string(wheel3));
  return static_cast<EventRef>(ref);
}

void FakeQuartz::EventPost(quartz::TapLocation tap, EventRef event) {
  log_.push_back("post " + NameOf(event, "post") + " tap=" + std::to_string(tap));
}

EventRef FakeQuartz::EventCreate(EventSourceRef source) {
  std::string sourceName = source ? NameOf(source, "event source") : "none";
  std::string name;
  void* ref = Create(name);
  log_.push_back("probe " + name + " source=" + sourceName);
  return static_cast<EventRef>(ref);
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
  uint32_t n = std::min(maxDisplays, static_cast<uint32_t>(activeOrder.size()));
  std::copy_n(activeOrder.begin(), n, list);
  *count = n;
  return quartz::kErrorSuccess;
}

quartz::Rect FakeQuartz::DisplayBounds(quartz::DisplayId display) {
  auto found = displays.find(display);
  return found == displays.end() ? quartz::Rect{} : found->second;
}

void FakeQuartz::Release(const void* reference) {
  log_.push_back("release " + NameOf(reference, "release"));
  if (auto found = byAddress_.find(reference); found != byAddress_.end()) {
    found->second->released = true;
  }
}

}  // namespace hovra::testing
