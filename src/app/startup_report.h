// The block a person reads on standard error when the server starts: what runs, where
// phones reach it, which backends serve it and why, and whether a PIN is asked.
//   LogBlock(StartupReport(facts));
#pragma once

#include <string>
#include <vector>

#include "app/backend_choice.h"

namespace hovra::app {

struct StartupFacts {
  std::string version;
  unsigned port = 0;
  unsigned discoveryPort = 0;  // 0: no discovery
  BackendChoice backends;
  bool pinOn = false;
  std::string command = "hovra-server";  // how to name the program (with --config-dir)
  std::vector<std::string> addresses;
};

std::string StartupReport(const StartupFacts& facts);

}  // namespace hovra::app
