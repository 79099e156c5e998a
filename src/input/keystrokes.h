// Typing: a named key, one raw key transition, a combination of two or three names, and
// UTF-8 text. Events carry no source; only text events carry explicit (zero) flags.
#pragma once

namespace hovra {

// Presses and releases the named key, wrapped in Shift when the name is a shifted
// character ("A", "?"). An unknown name (or null) posts nothing.
void SendKeyPress(const char* name);

// One key transition (down when `up` is false), for keys held across messages.
// A negative code ("no such key") posts nothing.
void SendRawKeyInput(short code, bool up);

// "CTRL[+]c" or "WIN[+]SHIFT[+]3": the names are held in order around the last one.
// Shift information of the names is ignored; any unknown name posts nothing.
void SendComboKeyPress(const char* token);

// Types NUL-terminated UTF-8 text one UTF-16 unit at a time, independent of the keyboard
// layout and of held modifiers. Text that is not well-formed UTF-8 types nothing.
void HandleUtf8String(const unsigned char* text);

}  // namespace hovra
