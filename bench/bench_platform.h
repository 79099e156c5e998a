// The platform the micro-benchmarks run on: the journal backend with a journal that keeps
// nothing, so that what is measured is the server's own work.
#pragma once

#include "input/key_names.h"
#include "platform/journal/journal_backend.h"
#include "platform/memory_settings_store.h"
#include "platform/services.h"
#include "tests/support/manual_main_queue.h"

namespace hovra::bench {

class BenchPlatform {
 public:
  BenchPlatform()
      : backend_(platform::journal::JournalWriter::Discarding(),
                 platform::journal::SimConfig::Parse("{}")) {
    FillKeyNameMaps();
    platform::Services services;
    backend_.Provide(services);
    services.settings = &settings_;
    services.mainQueue = &mainQueue_;
    previous_ = platform::Install(services);
  }
  ~BenchPlatform() { platform::Install(previous_); }
  BenchPlatform(const BenchPlatform&) = delete;
  BenchPlatform& operator=(const BenchPlatform&) = delete;

  testing::ManualMainQueue& MainQueue() { return mainQueue_; }

 private:
  platform::journal::JournalBackend backend_;
  platform::MemorySettingsStore settings_;
  testing::ManualMainQueue mainQueue_;
  platform::Services previous_;
};

}  // namespace hovra::bench
