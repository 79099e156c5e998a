#include "platform/wayland/xkb_keymap.h"

#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstdlib>

#include "base/log.h"

namespace hovra::platform::wayland {
namespace {

using unix_input::KeySymbol;
using unix_input::KeySymbols;

constexpr xkb_keycode_t kHighestXKeyCode = 255;  // keys above it never reach X clients (Xwayland)

KeySymbol SymbolAt(xkb_keymap* keymap, xkb_keycode_t code, xkb_level_index_t level) {
  const xkb_keysym_t* symbols = nullptr;
  int count = xkb_keymap_key_get_syms_by_level(keymap, code, 0, level, &symbols);
  return count == 1 ? symbols[0] : 0;
}

std::string SymbolName(KeySymbol symbol) {
  char name[64];
  xkb_keysym_get_name(static_cast<xkb_keysym_t>(symbol), name, sizeof name);
  return name;
}

}  // namespace

std::unique_ptr<XkbKeymap> XkbKeymap::Create(Sink sink) {
  std::unique_ptr<XkbKeymap> keymap(new XkbKeymap(std::move(sink)));
  keymap->context_ = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
  if (keymap->context_ == nullptr) return nullptr;
  xkb_rule_names names{"evdev", "pc105", "us", "", ""};
  xkb_keymap* base =
      xkb_keymap_new_from_names(keymap->context_, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
  if (base == nullptr) {
    Log("cannot compile the US keymap (is xkb-data installed?); keys are not typed on Wayland");
    return nullptr;
  }
  bool loaded = keymap->Load(base);
  if (loaded) keymap->Track(base);
  xkb_keymap_unref(base);
  if (!loaded) return nullptr;
  keymap->text_ = keymap->baseText_;
  return keymap;
}

XkbKeymap::~XkbKeymap() {
  if (state_ != nullptr) xkb_state_unref(state_);
  if (context_ != nullptr) xkb_context_unref(context_);
}

void XkbKeymap::Track(xkb_keymap* keymap) {
  xkb_state* next = xkb_state_new(keymap);  // before the old state lets go of `keymap`
  if (state_ != nullptr) xkb_state_unref(state_);
  state_ = next;
  for (Code code : held_) xkb_state_update_key(state_, code, XKB_KEY_DOWN);
}

bool XkbKeymap::UploadAgain() {
  held_.clear();
  Track(xkb_state_get_keymap(state_));
  if (!sink_.upload(text_)) return false;
  SendModifiers(true);
  return true;
}

void XkbKeymap::Send(Code code, bool down) {
  sink_.key(code, down);
  if (down ? !held_.insert(code).second : held_.erase(code) == 0) return;  // no change
  xkb_state_update_key(state_, code, down ? XKB_KEY_DOWN : XKB_KEY_UP);
  SendModifiers(false);
}

void XkbKeymap::SendModifiers(bool always) {
  Modifiers now{xkb_state_serialize_mods(state_, XKB_STATE_MODS_DEPRESSED),
                xkb_state_serialize_mods(state_, XKB_STATE_MODS_LATCHED),
                xkb_state_serialize_mods(state_, XKB_STATE_MODS_LOCKED),
                xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_EFFECTIVE)};
  if (!always && now == sent_) return;
  sent_ = now;
  sink_.modifiers(now);
}

bool XkbKeymap::Load(xkb_keymap* base) {
  char* text = xkb_keymap_get_as_string(base, XKB_KEYMAP_FORMAT_TEXT_V1);
  if (text == nullptr) return false;
  baseText_ = text;
  std::free(text);
  size_t symbols = baseText_.find("xkb_symbols");
  size_t end = symbols == std::string::npos ? symbols : baseText_.find("\n};", symbols);
  if (end == std::string::npos) {
    Log("the US keymap text has no symbols section; keys are not typed on Wayland");
    return false;
  }
  symbolsEnd_ = end + 1;
  for (xkb_keycode_t code = xkb_keymap_min_keycode(base); code <= xkb_keymap_max_keycode(base);
       ++code) {
    const char* name = xkb_keymap_key_get_name(base, code);
    if (xkb_keymap_num_layouts_for_key(base, code) > 0) {
      keys_.push_back({code, {SymbolAt(base, code, 0), SymbolAt(base, code, 1)}});
    } else if (name != nullptr && code <= kHighestXKeyCode) {
      spare_.push_back({code, name, {}, 0});
    }
  }
  std::reverse(spare_.begin(), spare_.end());  // high codes first: no keyboard has them
  return true;
}

std::optional<XkbKeymap::Place> XkbKeymap::Find(KeySymbol symbol) {
  for (int level = 0; level < 2; ++level) {
    for (const Key& key : keys_) {
      if ((level == 0 ? key.symbols.plain : key.symbols.shifted) == symbol) {
        return Place{key.code, level == 1};
      }
    }
  }
  for (Binding& binding : spare_) {
    if (binding.symbols.plain == symbol) {
      binding.lastUse = ++uses_;
      return Place{binding.code, false};
    }
  }
  return std::nullopt;
}

std::optional<XkbKeymap::Code> XkbKeymap::FindKey(const KeySymbols& symbols) {
  for (const Key& key : keys_) {
    if (key.symbols.plain != symbols.plain) continue;
    if (symbols.shifted == 0 || key.symbols.shifted == symbols.shifted ||
        key.symbols.shifted == 0) {
      return key.code;  // a second level that is missing counts as the same key
    }
  }
  return std::nullopt;
}

std::optional<XkbKeymap::Code> XkbKeymap::Bind(const KeySymbols& symbols,
                                               const std::set<Code>& pressed) {
  ++uses_;
  for (Binding& binding : spare_) {
    if (binding.symbols.plain == symbols.plain && binding.symbols.shifted == symbols.shifted) {
      binding.lastUse = uses_;
      return binding.code;
    }
  }
  std::optional<size_t> slot = ChooseSlot(pressed);
  if (!slot) {
    static LogOnce noSpare;
    if (noSpare.First()) Log("no spare key left in the Wayland keymap; a character was not typed");
    return std::nullopt;
  }
  Binding& binding = spare_[*slot];
  KeySymbols before = binding.symbols;
  binding.symbols = symbols;
  binding.lastUse = uses_;
  std::string text = WithBindings();
  xkb_keymap* check = xkb_keymap_new_from_string(context_, text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                                 XKB_KEYMAP_COMPILE_NO_FLAGS);
  if (check == nullptr || !sink_.upload(text)) {
    static LogOnce refused;
    if (refused.First()) {
      Log("keysym %s could not be added to the Wayland keymap; it is not typed",
          SymbolName(symbols.plain).c_str());
    }
    if (check != nullptr) xkb_keymap_unref(check);
    binding.symbols = before;
    return std::nullopt;
  }
  Track(check);  // the compositor starts the new keymap with the held keys pressed
  xkb_keymap_unref(check);
  SendModifiers(true);
  text_ = std::move(text);
  return binding.code;
}

std::optional<size_t> XkbKeymap::ChooseSlot(const std::set<Code>& pressed) {
  size_t bound = 0;
  std::optional<size_t> freeSlot, oldest;
  for (size_t i = 0; i < spare_.size(); ++i) {
    const Binding& binding = spare_[i];
    if (binding.symbols.plain != 0) ++bound;
    if (pressed.contains(binding.code)) continue;
    if (binding.symbols.plain == 0) {
      if (!freeSlot) freeSlot = i;
    } else if (!oldest || binding.lastUse < spare_[*oldest].lastUse) {
      oldest = i;
    }
  }
  if (freeSlot && bound < kMaxBoundKeys) return freeSlot;
  return oldest ? oldest : freeSlot;
}

std::string XkbKeymap::WithBindings() const {
  std::string lines;
  for (const Binding& binding : spare_) {
    if (binding.symbols.plain == 0) continue;
    lines += "\tkey <" + binding.name + "> { [ " + SymbolName(binding.symbols.plain);
    if (binding.symbols.shifted != 0) lines += ", " + SymbolName(binding.symbols.shifted);
    lines += " ] };\n";
  }
  std::string text = baseText_;
  text.insert(symbolsEnd_, lines);
  return text;
}

}  // namespace hovra::platform::wayland
