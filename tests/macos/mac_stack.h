// The macOS event services over a recording Quartz, installed for the object's lifetime.
#pragma once

#include "platform/macos/mac_events.h"
#include "platform/services.h"
#include "tests/macos/fake_quartz.h"

namespace hovra::testing {

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
