// One plain HTTP(S) GET with bounded waiting and a bounded answer, for the update check.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace hovra::app {

struct HttpLimits {
  std::chrono::milliseconds connect{10000};  // to establish the connection
  std::chrono::milliseconds total{30000};    // for the whole exchange
  size_t maxBodyBytes = 65536;               // a version answer is a few dozen bytes
};

// The body of the answer whatever its status, or nothing with `error` set on a transport
// failure, a time-out or an over-long body. Safe from any thread.
std::optional<std::string> HttpGet(const std::string& url, const HttpLimits& limits,
                                   std::string& error);

}  // namespace hovra::app
