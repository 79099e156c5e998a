// The recording platform of unit tests: in-memory journal, settings and main queue.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/journal/journal_backend.h"
#include "platform/memory_settings_store.h"
#include "platform/services.h"
#include "tests/support/manual_main_queue.h"

namespace hovra::testing {

// Keeps no journal: for benchmarks, which measure the server's own work.
struct DiscardJournal {};

class TestPlatform {
 public:
  explicit TestPlatform(std::string_view simJson = "{}")
      : TestPlatform(platform::journal::JournalWriter::InMemory(), simJson) {}
  explicit TestPlatform(DiscardJournal, std::string_view simJson = "{}")
      : TestPlatform(platform::journal::JournalWriter::Discarding(), simJson) {}
  ~TestPlatform() { platform::Install(previous_); }
  TestPlatform(const TestPlatform&) = delete;
  TestPlatform& operator=(const TestPlatform&) = delete;

  // The journal lines written since the last call.
  std::vector<std::string> Take() { return backend_.Journal().TakeLines(); }

  platform::journal::JournalBackend& Backend() { return backend_; }
  platform::journal::SimDesktop& Desktop() { return backend_.Desktop(); }
  platform::MemorySettingsStore& Settings() { return settings_; }
  ManualMainQueue& MainQueue() { return mainQueue_; }

 private:
  TestPlatform(std::unique_ptr<platform::journal::JournalWriter> writer, std::string_view simJson)
      : backend_(std::move(writer), platform::journal::SimConfig::Parse(simJson)) {
    platform::Services services;
    backend_.Provide(services);
    services.settings = &settings_;
    services.mainQueue = &mainQueue_;
    previous_ = platform::Install(services);
  }

  platform::journal::JournalBackend backend_;
  platform::MemorySettingsStore settings_;
  ManualMainQueue mainQueue_;
  platform::Services previous_;
};

using Lines = std::vector<std::string>;

}  // namespace hovra::testing
