// Script services recording every script run while installed; `onRun` acts while one runs.
#pragma once

#include <functional>
#include <ranges>
#include <string>
#include <vector>

#include "platform/services.h"

namespace hovra::testing {

struct RanScript {
  std::string name;
  std::string source;
  std::string argument;
};

class RecordingScripts : public platform::ScriptServices {
 public:
  RecordingScripts() {
    platform::Services services = platform::Current();
    services.scripts = this;
    previous_ = platform::Install(services);
  }
  ~RecordingScripts() override { platform::Install(previous_); }
  RecordingScripts(const RecordingScripts&) = delete;
  RecordingScripts& operator=(const RecordingScripts&) = delete;

  void Run(const platform::Script& script) override {
    ran.push_back(
        {std::string(script.name), std::string(script.source), std::string(script.argument)});
    if (onRun) onRun(ran.back());
  }

  std::vector<std::string> Names() const {
    auto names = ran | std::views::transform(&RanScript::name);
    return {names.begin(), names.end()};
  }

  std::vector<RanScript> ran;
  std::function<void(const RanScript&)> onRun;

 private:
  platform::Services previous_;
};

}  // namespace hovra::testing
