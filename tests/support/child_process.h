// A child process whose standard output is read line by line with deadlines.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace hovra::testing {

using namespace std::chrono_literals;

class LineReader {
 public:
  // Starts argv with `env` added; standard error goes to the test's own.
  LineReader(const std::vector<std::string>& argv, const std::vector<std::string>& env);
  ~LineReader();
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // Reads until a line after the last one taken matches, or the wait is over; lines
  // before it stay to be taken.
  std::optional<std::string> WaitFor(const std::function<bool(const std::string&)>& match,
                                     std::chrono::milliseconds wait = 5s);
  // Waits until `count` lines after the last one taken have arrived (or the wait is over);
  // returns and takes every line read so far.
  std::vector<std::string> Take(size_t count = 0, std::chrono::milliseconds wait = 5s);
  void Kill();

 private:
  bool ReadSome(std::chrono::milliseconds wait);

  pid_t pid_ = -1;
  int fd_ = -1;
  std::string partial_;
  std::vector<std::string> lines_;
};

}  // namespace hovra::testing
