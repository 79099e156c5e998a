// The recording platform every fuzz target that posts input runs on: the journal backend
// writing into memory, an in-memory settings store and a manual main queue, installed once
// for the process. Each input's journal lines and posted work are taken and dropped, so
// that nothing piles up from one input to the next.
#pragma once

#include "input/key_names.h"
#include "tests/support/test_platform.h"

namespace hovra::fuzzing {

inline testing::TestPlatform& FuzzPlatform() {
  static testing::TestPlatform* platform = [] {
    FillKeyNameMaps();
    return new testing::TestPlatform(R"({"screens":[[0,0,1920,1080],[1920,0,1280,1024]]})");
  }();
  return *platform;
}

// Runs the work the input posted to the main thread, then forgets its journal lines.
inline void SettleFuzzPlatform() {
  testing::TestPlatform& platform = FuzzPlatform();
  platform.MainQueue().RunPending();
  platform.Take();
}

}  // namespace hovra::fuzzing
