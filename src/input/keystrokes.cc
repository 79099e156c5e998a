#include "input/keystrokes.h"

#include <cstring>
#include <string>
#include <string_view>

#include "base/log.h"
#include "base/rate_limit.h"
#include "input/key_names.h"
#include "input/utf8.h"
#include "platform/services.h"

namespace hovra {
namespace {

constexpr std::string_view kComboSeparator = "[+]";
constexpr double kComboLinesPerSecond = 5;
constexpr double kComboLineBurst = 20;
constexpr uint16_t kTextKeyCode =
    1;  // the key that carries typed text; its own meaning is overridden

void PostPlainKey(short code, bool down) {
  platform::KeyEvent event;
  event.code = static_cast<uint16_t>(code);
  event.down = down;
  platform::GetEvents().PostKey(event);
}

void PostTextUnit(const char16_t* unit, bool down) {
  platform::KeyEvent event;
  event.code = kTextKeyCode;
  event.down = down;
  event.flags = 0;  // held modifiers must not change the typed character
  event.unicode = std::u16string_view(unit, 1);
  platform::GetEvents().PostKey(event);
}

short Lookup(std::string_view name) { return StringToVKValue(std::string(name), nullptr); }

}  // namespace

void SendKeyPress(const char* name) {
  if (name == nullptr) return;
  bool needsShift = false;
  short code = StringToVKValue(name, &needsShift);
  if (code == kNoKey) return;
  if (needsShift) PostPlainKey(kShiftKeyCode, true);
  PostPlainKey(code, true);
  PostPlainKey(code, false);
  if (needsShift) PostPlainKey(kShiftKeyCode, false);
}

void SendRawKeyInput(short code, bool up) {
  if (code < 0) return;
  PostPlainKey(code, !up);
}

void SendComboKeyPress(const char* token) {
  if (token == nullptr) return;
  std::string_view text(token);
  size_t first = text.find(kComboSeparator);
  if (first == std::string_view::npos) return;
  short k1 = Lookup(text.substr(0, first));
  std::string_view rest = text.substr(first + kComboSeparator.size());

  short k2 = kNoKey;
  short k3 = kNoKey;
  size_t second = rest.size() >= 2 ? rest.find(kComboSeparator) : std::string_view::npos;
  if (second != std::string_view::npos) k3 = Lookup(rest.substr(second + kComboSeparator.size()));
  if (k3 != kNoKey) {
    k2 = Lookup(rest.substr(0, second));
    // A client can send combinations as fast as it likes; the line must not flood.
    static LineRateLimiter s_comboLines(kComboLinesPerSecond, kComboLineBurst);
    uint64_t held = 0;
    if (s_comboLines.Allow(held)) Log("first key %d and second key %d, thirdkey %d", k1, k2, k3);
  } else {
    k2 = Lookup(rest);  // an unknown third name makes the whole rest one (unknown) name
  }
  if (k1 == kNoKey || k2 == kNoKey) return;

  PostPlainKey(k1, true);
  PostPlainKey(k2, true);
  if (k3 != kNoKey) {
    PostPlainKey(k3, true);
    PostPlainKey(k3, false);
  }
  PostPlainKey(k2, false);
  PostPlainKey(k1, false);
}

void HandleUtf8String(const unsigned char* text) {
  if (text == nullptr) return;
  std::string_view bytes(reinterpret_cast<const char*>(text));
  std::optional<std::u16string> units = Utf8ToUtf16(bytes);
  if (!units) {
    static LogOnce invalidText;
    if (invalidText.First())
      Log("typed text is not valid UTF-8 (%zu bytes); nothing typed", bytes.size());
    return;
  }
  for (const char16_t& unit : *units) {
    PostTextUnit(&unit, true);
    PostTextUnit(&unit, false);
  }
}

}  // namespace hovra
