#include "server/frame_payloads.h"

#include <cstring>

#include "base/decimal.h"
#include "base/log.h"
#include "input/key_names.h"
#include "input/keystrokes.h"
#include "input/pointer.h"
#include "input/wheel.h"

namespace hovra {
namespace {

// One token with its terminating NUL. A longer token is cut to its first 127 bytes: the
// payload is never copied past the buffer, and what a cut name or number still means is
// read from the kept bytes (no key name or number needs that many).
constexpr size_t kTokenBufferBytes = 128;
LogOnce s_tokenCutLogged;

struct Token {
  const char* text;   // NUL-terminated; a NUL byte inside the payload ends it early
  bool endedBySpace;  // false only for the payload's last token
};

// Calls `handle` once per token: once per space and once more at the payload's end.
template <typename Handler>
void ForEachToken(const char* payload, int len, Handler&& handle) {
  if (payload == nullptr || len < 0) return;
  char buffer[kTokenBufferBytes];
  size_t used = 0;
  bool truncated = false;
  for (int i = 0; i <= len; ++i) {
    bool atEnd = i == len;
    if (!atEnd && payload[i] != ' ') {
      if (used < kTokenBufferBytes - 1) {
        buffer[used++] = payload[i];
      } else {
        truncated = true;
      }
      continue;
    }
    buffer[used] = '\0';
    handle(Token{buffer, !atEnd});
    used = 0;
  }
  if (truncated && s_tokenCutLogged.First()) {
    Log("frame token longer than %zu bytes cut to its first %zu", kTokenBufferBytes - 1,
        kTokenBufferBytes - 1);
  }
}

bool IsOneByte(const char* text) { return text[0] != '\0' && text[1] == '\0'; }

enum class MouseExpect { kNothing, kDx, kDy, kButton, kDirection, kSkip, kWheel, kHWheel };

struct MouseReader {
  HeldInput& held;
  MouseExpect expect = MouseExpect::kNothing;
  int dx = 0;
  MouseKey_ button = kMouseLeft;

  void Read(const char* t) {
    MouseExpect open = expect;
    expect = MouseExpect::kNothing;  // every expectation takes exactly one token
    switch (open) {
      case MouseExpect::kDy:
        SendMouseMove(dx, ParseDecimal(t));
        return;
      case MouseExpect::kDx:
        dx = ParseDecimal(t);
        expect = MouseExpect::kDy;
        return;
      case MouseExpect::kDirection:
        if (t[0] == 'u' || t[0] == 'd') held.MouseButton(button, t[0] == 'u');
        return;
      case MouseExpect::kButton:
        ChooseButton(t[0]);
        return;
      case MouseExpect::kSkip:
        return;
      case MouseExpect::kWheel:
        SendMouseWheel(ParseDecimal(t));
        return;
      case MouseExpect::kHWheel:
        SendMouseHWheel(ParseDecimal(t));
        return;
      case MouseExpect::kNothing:
        break;
    }
    if (IsOneByte(t)) Command(t[0]);
  }

  void ChooseButton(char letter) {
    switch (letter) {
      case 'l':
        button = kMouseLeft;
        break;
      case 'r':
        button = kMouseRight;
        break;
      case 'm':
        button = kMouseMiddle;
        break;
      default:
        return;  // no button, and the next token is not a direction
    }
    expect = MouseExpect::kDirection;
  }

  void Command(char c) {
    switch (c) {
      case 'm':
        expect = MouseExpect::kDx;
        break;
      case 'R':
        expect = MouseExpect::kButton;
        break;
      case 'c':
        SendMouseClick(kMouseLeft);
        break;
      case 'w':
        expect = MouseExpect::kWheel;
        break;
      case 'h':
        expect = MouseExpect::kHWheel;
        break;
      case 'b':
        expect = MouseExpect::kSkip;
        break;
      default:
        break;
    }
  }
};

struct KeyReader {
  HeldInput& held;
  bool rawPrefix = false;
  bool expectDirection = false;
  short rawCode = kNoKey;

  void Read(const Token& token) {
    const char* t = token.text;
    if (expectDirection) {
      expectDirection = false;
      if (t[0] == 'u' || t[0] == 'd') held.RawKey(rawCode, t[0] == 'u');
      return;
    }
    if (rawPrefix) {
      rawPrefix = false;
      rawCode = StringToVKValue(t, nullptr);
      expectDirection =
          rawCode != kNoKey;  // an unknown name is dropped; the next token is ordinary
      return;
    }
    if (std::strcmp(t, "[R]") == 0) {
      rawPrefix = true;
    } else if (std::strstr(t, "[+]") != nullptr) {
      SendComboKeyPress(t);
    } else if (t[0] == '\0' && token.endedBySpace) {
      SendKeyPress(" ");
    } else {
      SendKeyPress(t);
    }
  }
};

}  // namespace

void ReadMousePayload(const char* payload, int len, HeldInput& held) {
  MouseReader reader{held};
  ForEachToken(payload, len, [&reader](const Token& token) { reader.Read(token.text); });
}

void ReadKeyPayload(const char* payload, int len, HeldInput& held) {
  KeyReader reader{held};
  ForEachToken(payload, len, [&reader](const Token& token) { reader.Read(token); });
}

}  // namespace hovra
