#include "platform/unix_input/key_symbols.h"

#include <X11/keysym.h>

#include <array>

#include "platform/event_services.h"

namespace hovra::platform::unix_input {
namespace {

struct Row {
  uint16_t code;
  KeySymbol plain;
  KeySymbol shifted;
};

// Every key of both name tables, the keypad keys of the zoom gestures and the modifiers;
// letters and punctuation are the characters of their US key, so that the keymap in use
// decides where they are.
// clang-format off
constexpr std::array<Row, 81> kRows{{
    {0, XK_a, XK_A}, {1, XK_s, XK_S}, {2, XK_d, XK_D}, {3, XK_f, XK_F},
    {4, XK_h, XK_H}, {5, XK_g, XK_G}, {6, XK_z, XK_Z}, {7, XK_x, XK_X},
    {8, XK_c, XK_C}, {9, XK_v, XK_V}, {11, XK_b, XK_B}, {12, XK_q, XK_Q},
    {13, XK_w, XK_W}, {14, XK_e, XK_E}, {15, XK_r, XK_R}, {16, XK_y, XK_Y},
    {17, XK_t, XK_T}, {31, XK_o, XK_O}, {32, XK_u, XK_U}, {34, XK_i, XK_I},
    {35, XK_p, XK_P}, {37, XK_l, XK_L}, {38, XK_j, XK_J}, {40, XK_k, XK_K},
    {45, XK_n, XK_N}, {46, XK_m, XK_M},
    {18, XK_1, XK_exclam}, {19, XK_2, XK_at}, {20, XK_3, XK_numbersign},
    {21, XK_4, XK_dollar}, {22, XK_6, XK_asciicircum}, {23, XK_5, XK_percent},
    {25, XK_9, XK_parenleft}, {26, XK_7, XK_ampersand}, {28, XK_8, XK_asterisk},
    {29, XK_0, XK_parenright},
    {24, XK_equal, XK_plus}, {27, XK_minus, XK_underscore}, {30, XK_bracketright, XK_braceright},
    {33, XK_bracketleft, XK_braceleft}, {39, XK_apostrophe, XK_quotedbl},
    {41, XK_semicolon, XK_colon}, {42, XK_backslash, XK_bar}, {43, XK_comma, XK_less},
    {44, XK_slash, XK_question}, {47, XK_period, XK_greater}, {50, XK_grave, XK_asciitilde},
    {36, XK_Return, 0}, {48, XK_Tab, 0}, {49, XK_space, 0}, {51, XK_BackSpace, 0},
    {53, XK_Escape, 0}, {55, XK_Super_L, 0}, {56, XK_Shift_L, 0}, {57, XK_Caps_Lock, 0},
    {58, XK_Alt_L, 0}, {59, XK_Control_L, 0},
    {69, XK_KP_Add, 0}, {78, XK_KP_Subtract, 0},
    {96, XK_F5, 0}, {97, XK_F6, 0}, {98, XK_F7, 0}, {99, XK_F3, 0}, {100, XK_F8, 0},
    {101, XK_F9, 0}, {103, XK_F11, 0}, {109, XK_F10, 0}, {111, XK_F12, 0},
    {114, XK_Insert, 0}, {115, XK_Home, 0}, {116, XK_Prior, 0}, {117, XK_Delete, 0},
    {118, XK_F4, 0}, {119, XK_End, 0}, {120, XK_F2, 0}, {121, XK_Next, 0},
    {122, XK_F1, 0}, {123, XK_Left, 0}, {124, XK_Right, 0}, {125, XK_Down, 0}, {126, XK_Up, 0},
}};
// clang-format on

constexpr KeySymbol kUnicodeKeysymBase = 0x01000000;  // X's keysyms for arbitrary characters

}  // namespace

std::optional<KeySymbols> SymbolsForVirtualKey(uint16_t code) {
  for (const Row& row : kRows) {
    if (row.code == code) return KeySymbols{row.plain, row.shifted};
  }
  return std::nullopt;  // Fn (63) has no X keysym: the function layer is the keyboard's own
}

KeySymbol SymbolForCharacter(char32_t codePoint) {
  if ((codePoint >= 0x20 && codePoint <= 0x7e) || (codePoint >= 0xa0 && codePoint <= 0xff)) {
    return codePoint;
  }
  switch (codePoint) {
    case U'\r':
    case U'\n':
      return XK_Return;
    case U'\t':
      return XK_Tab;
    case U'\b':
      return XK_BackSpace;
    default:
      return kUnicodeKeysymBase | codePoint;
  }
}

uint64_t FlagOf(Modifier modifier) {
  switch (modifier) {
    case Modifier::kShift:
      return kFlagShift;
    case Modifier::kControl:
      return kFlagControl;
    case Modifier::kOption:
      return kFlagOption;
    case Modifier::kCommand:
      return kFlagCommand;
  }
  return 0;
}

std::optional<Modifier> ModifierOfKey(uint16_t code) {
  switch (code) {
    case 56:
      return Modifier::kShift;
    case 59:
      return Modifier::kControl;
    case 58:
      return Modifier::kOption;
    case 55:
      return Modifier::kCommand;
    default:
      return std::nullopt;
  }
}

KeySymbol SymbolOfModifier(Modifier modifier) {
  switch (modifier) {
    case Modifier::kShift:
      return XK_Shift_L;
    case Modifier::kControl:
      return XK_Control_L;
    case Modifier::kOption:
      return XK_Alt_L;
    case Modifier::kCommand:
      return XK_Super_L;
  }
  return 0;
}

}  // namespace hovra::platform::unix_input
