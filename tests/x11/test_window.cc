#include "tests/x11/test_window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <utility>

namespace hovra::testing {

char32_t CharacterOfKeysym(unsigned long keysym) {
  if ((keysym >= 0x20 && keysym <= 0x7e) || (keysym >= 0xa0 && keysym <= 0xff)) {
    return static_cast<char32_t>(keysym);
  }
  if ((keysym & 0xff000000) == 0x01000000) return static_cast<char32_t>(keysym & 0x00ffffff);
  if (keysym == XK_Return) return U'\r';
  if (keysym == XK_Tab) return U'\t';
  if (keysym == XK_EuroSign) return U'\u20ac';
  return 0;
}

TestWindow::TestWindow(const std::string& display) {
  display_ = XOpenDisplay(display.c_str());
  if (display_ == nullptr) return;
  int screen = DefaultScreen(display_);
  window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0,
                                static_cast<unsigned>(DisplayWidth(display_, screen)),
                                static_cast<unsigned>(DisplayHeight(display_, screen)), 0, 0, 0);
  XSelectInput(display_, window_,
               KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
  XMapWindow(display_, window_);
  XEvent event;
  XWindowEvent(display_, window_, StructureNotifyMask, &event);  // until it is mapped
  while (event.type != MapNotify) XWindowEvent(display_, window_, StructureNotifyMask, &event);
  XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
  XSync(display_, False);
}

TestWindow::~TestWindow() {
  if (display_ != nullptr) XCloseDisplay(display_);
}

void TestWindow::Drain() {
  XSync(display_, False);
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == MappingNotify) {
      XRefreshKeyboardMapping(&event.xmapping);
    } else if (event.type == KeyPress) {
      KeySym keysym = NoSymbol;
      char bytes[16];
      XLookupString(&event.xkey, bytes, sizeof bytes, &keysym, nullptr);
      if (char32_t character = CharacterOfKeysym(keysym); character != 0) {
        keys_.emplace_back(character,
                           event.xkey.state & (kShiftMask | kControlMask | kAltMask | kSuperMask));
      }
    } else if (event.type == ButtonPress || event.type == ButtonRelease) {
      buttons_.push_back({event.xbutton.button, event.type == ButtonPress, event.xbutton.x_root,
                          event.xbutton.y_root});
    }
  }
}

std::u32string TestWindow::TakeText() {
  std::u32string text;
  for (const TypedKey& key : TakeKeys()) text += key.first;
  return text;
}

std::vector<TypedKey> TestWindow::TakeKeys() {
  Drain();
  return std::exchange(keys_, {});
}

std::vector<ButtonRecord> TestWindow::TakeButtons() {
  Drain();
  return std::exchange(buttons_, {});
}

void TestWindow::Pointer(int* x, int* y, unsigned* state) {
  Window root = 0, child = 0;
  int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
  unsigned int mask = 0;
  XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY, &windowX,
                &windowY, &mask);
  if (x != nullptr) *x = rootX;
  if (y != nullptr) *y = rootY;
  if (state != nullptr) *state = mask;
}

void TestWindow::WarpPointer(int x, int y) {
  XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, x, y);
  XSync(display_, False);
}

bool TestWindow::KeymapHas(unsigned long keysym) {
  int minCode = 0, maxCode = 0, perCode = 0;
  XDisplayKeycodes(display_, &minCode, &maxCode);
  KeySym* map =
      XGetKeyboardMapping(display_, static_cast<KeyCode>(minCode), maxCode - minCode + 1, &perCode);
  if (map == nullptr) return false;
  bool found = false;
  for (int i = 0; i < (maxCode - minCode + 1) * perCode; ++i) found = found || map[i] == keysym;
  XFree(map);
  return found;
}

}  // namespace hovra::testing
