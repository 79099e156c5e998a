// The keymap the virtual keyboard types through: the US layout as xkbcommon compiles it
// from the system's XKB data, plus spare keys (key codes the layout leaves empty) bound to
// further keysyms for the moment. Each binding is kept until its key is needed for another
// keysym, so that a client which looks a key up late still finds the character it was
// sent. The whole keymap text goes to the compositor at the start and after each change.
// The compositor leaves the modifier state of a virtual keyboard to its client: the
// keymap follows its own keys and sends the modifiers whenever a key changes them.
//   auto keymap = XkbKeymap::Create({upload, sendKey, sendModifiers});
//   KeyTyper typer(*keymap);
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/unix_input/key_typer.h"

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

namespace hovra::platform::wayland {

// Spare keys in use at once; the US layout leaves far more empty.
inline constexpr size_t kMaxBoundKeys = 32;

class XkbKeymap : public unix_input::KeyLayout {
 public:
  struct Modifiers {
    uint32_t depressed = 0, latched = 0, locked = 0, group = 0;
    friend bool operator==(const Modifiers&, const Modifiers&) = default;
  };
  // Where the keyboard's requests go.
  struct Sink {
    // Hands the keymap text to the compositor; false when it could not be sent.
    std::function<bool(const std::string& text)> upload;
    // One key transition; codes are XKB key codes (evdev code + 8).
    std::function<void(Code code, bool down)> key;
    std::function<void(const Modifiers&)> modifiers;
  };

  // Null (and logged) when the XKB data is missing.
  static std::unique_ptr<XkbKeymap> Create(Sink sink);
  ~XkbKeymap() override;

  // Sends the current keymap (and the modifiers) again: a new virtual keyboard starts
  // without a keymap, and with nothing pressed.
  bool UploadAgain();
  const std::string& Text() const { return text_; }

  std::optional<Place> Find(unix_input::KeySymbol symbol) override;
  std::optional<Code> FindKey(const unix_input::KeySymbols& symbols) override;
  std::optional<Code> Bind(const unix_input::KeySymbols& symbols,
                           const std::set<Code>& pressed) override;
  void Send(Code code, bool down) override;

 private:
  struct Key {
    Code code = 0;
    unix_input::KeySymbols symbols;  // levels 1 and 2 of the first group
  };
  struct Binding {
    Code code = 0;
    std::string name;  // the key's name in the keymap ("I250")
    unix_input::KeySymbols symbols;
    uint64_t lastUse = 0;
  };

  explicit XkbKeymap(Sink sink) : sink_(std::move(sink)) {}
  bool Load(xkb_keymap* base);
  // Follows `keymap` from now on, with the keys held so far pressed in it.
  void Track(xkb_keymap* keymap);
  void SendModifiers(bool always);
  std::optional<size_t> ChooseSlot(const std::set<Code>& pressed);
  std::string WithBindings() const;

  Sink sink_;
  xkb_context* context_ = nullptr;
  xkb_state* state_ = nullptr;  // of the keymap the compositor has, with the keys held
  std::set<Code> held_;
  Modifiers sent_;
  std::string baseText_;        // the US keymap as text
  size_t symbolsEnd_ = 0;       // where bound keys are written into it
  std::string text_;            // what the compositor has now
  std::vector<Key> keys_;       // the base layout's keys, by code
  std::vector<Binding> spare_;  // every empty key, highest code first; `symbols` set when bound
  uint64_t uses_ = 0;
};

}  // namespace hovra::platform::wayland
