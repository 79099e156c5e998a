// A private Xvfb for one test: started on a free display number (or a given one), ready
// to accept connections when the constructor returns, ended by the destructor. Also runs
// the X tools the tests set displays up with (xrandr, setxkbmap).
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace hovra::testing {

// ":N". Appended rather than `":" + ...`, which GCC 12 at -O3 flags with a false -Wrestrict.
inline std::string DisplayName(int number) {
  std::string name = ":";
  name += std::to_string(number);
  return name;
}

class XvfbDisplay {
 public:
  static bool Available();  // the Xvfb binary is installed

  // number < 0: any free display number.
  explicit XvfbDisplay(int number = -1);
  ~XvfbDisplay();
  XvfbDisplay(const XvfbDisplay&) = delete;
  XvfbDisplay& operator=(const XvfbDisplay&) = delete;

  bool Running() const { return pid_ > 0 && number_ >= 0; }
  int Number() const { return number_; }
  std::string Name() const { return DisplayName(number_); }
  void Stop();  // ends the server now (a display that goes away)

  // Runs `tool args...` against this display; true when it exits with 0.
  bool Run(const std::string& tool, const std::vector<std::string>& args) const;

 private:
  pid_t pid_ = -1;
  int number_ = -1;
};

}  // namespace hovra::testing
