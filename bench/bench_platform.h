// The platform the micro-benchmarks run on: the tests' recording platform with a journal
// that keeps nothing, so that what is measured is the server's own work.
#pragma once

#include "input/key_names.h"
#include "tests/support/test_platform.h"

namespace hovra::bench {

class BenchPlatform : public testing::TestPlatform {
 public:
  BenchPlatform() : TestPlatform(testing::DiscardJournal{}) { FillKeyNameMaps(); }
};

}  // namespace hovra::bench
