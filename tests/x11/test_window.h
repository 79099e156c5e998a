// A focused window covering the display, on its own connection: the text its keys type
// (read through the keyboard map in force then) and the buttons pressed on it.
#pragma once

#include <string>
#include <utility>
#include <vector>

// Xlib stays out of this header (its macros clash with GoogleTest's names).
struct _XDisplay;

namespace hovra::testing {

// Modifier bits of an X key or pointer state.
inline constexpr unsigned kShiftMask = 1u << 0;
inline constexpr unsigned kControlMask = 1u << 2;
inline constexpr unsigned kAltMask = 1u << 3;    // Mod1
inline constexpr unsigned kSuperMask = 1u << 6;  // Mod4

// A key press that typed a character, with the Shift, Control, Alt and Super it carried.
using TypedKey = std::pair<char32_t, unsigned>;

struct ButtonRecord {
  unsigned button = 0;
  bool press = false;
  int x = 0;  // root coordinates
  int y = 0;
  friend bool operator==(const ButtonRecord&, const ButtonRecord&) = default;
};

class TestWindow {
 public:
  explicit TestWindow(const std::string& display);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  bool Open() const { return display_ != nullptr; }
  // Everything that arrived since the last call; call after the poster has synced.
  std::u32string TakeText();
  std::vector<TypedKey> TakeKeys();
  std::vector<ButtonRecord> TakeButtons();
  // The pointer in root coordinates and the modifier and button state, as the server has them.
  void Pointer(int* x, int* y, unsigned* state = nullptr);
  void WarpPointer(int x, int y);
  // Whether some key of the server's keyboard map (read now) carries `keysym`.
  bool KeymapHas(unsigned long keysym);

 private:
  void Drain();

  _XDisplay* display_ = nullptr;
  unsigned long window_ = 0;
  std::vector<TypedKey> keys_;
  std::vector<ButtonRecord> buttons_;
};

// The character a keysym stands for (0 for keys that type nothing).
char32_t CharacterOfKeysym(unsigned long keysym);

}  // namespace hovra::testing
