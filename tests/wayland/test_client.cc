// hovra_wayland_test_client [--app-id ID]: one white xdg-shell window; each input event a
// line on standard output: ready W H | pointer-ready | keyboard-enter | char CODEPOINT |
// key KEYSYM MODS ("-" or Shift+Control+Mod1+Mod4) | pointer-enter X Y | motion X Y |
// button CODE 1|0 | discrete AXIS STEPS | close-requested
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "xdg-shell-client.h"

namespace {

template <class... Args>
void Ignore(Args...) {}  // an event no test reads

struct Client {
  wl_display* display = nullptr;
  wl_compositor* compositor = nullptr;
  wl_shm* shm = nullptr;
  xdg_wm_base* wmBase = nullptr;
  wl_seat* seat = nullptr;
  wl_pointer* pointer = nullptr;
  wl_keyboard* keyboard = nullptr;
  wl_surface* surface = nullptr;
  wl_buffer* buffer = nullptr;
  xkb_context* xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  xkb_state* state = nullptr;
  int width = 0, height = 0;
  bool ready = false;
};

wl_buffer* WhiteBuffer(Client& c, int width, int height) {
  int stride = width * 4, size = stride * height;
  int fd = memfd_create("hovra-test-buffer", MFD_CLOEXEC);
  if (fd < 0 || ftruncate(fd, size) != 0) return nullptr;
  void* pixels =
      mmap(nullptr, static_cast<size_t>(size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  std::memset(pixels, 0xff, static_cast<size_t>(size));
  munmap(pixels, static_cast<size_t>(size));
  wl_shm_pool* pool = wl_shm_create_pool(c.shm, fd, size);
  wl_buffer* buffer =
      wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
  wl_shm_pool_destroy(pool);
  close(fd);
  return buffer;
}

std::string Modifiers(xkb_state* state) {
  std::string mods;
  for (const char* name :
       {XKB_MOD_NAME_SHIFT, XKB_MOD_NAME_CTRL, XKB_MOD_NAME_ALT, XKB_MOD_NAME_LOGO}) {
    if (xkb_state_mod_name_is_active(state, name, XKB_STATE_MODS_EFFECTIVE) > 0) {
      mods += (mods.empty() ? "" : "+") + std::string(name);
    }
  }
  return mods.empty() ? "-" : mods;
}

// --- keyboard ---
void OnKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
  auto& c = *static_cast<Client*>(data);
  if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) return close(fd), void();
  void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  close(fd);
  if (text == MAP_FAILED) return;
  xkb_keymap* keymap =
      xkb_keymap_new_from_string(c.xkb, static_cast<const char*>(text), XKB_KEYMAP_FORMAT_TEXT_V1,
                                 XKB_KEYMAP_COMPILE_NO_FLAGS);
  munmap(text, size);
  if (keymap == nullptr) return void(std::printf("keymap-invalid\n"));
  xkb_state_unref(c.state);
  c.state = xkb_state_new(keymap);  // which keeps the keymap
  xkb_keymap_unref(keymap);
}
void OnKeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {
  std::printf("keyboard-enter\n");
}
void OnKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t pressed) {
  auto& c = *static_cast<Client*>(data);
  if (c.state == nullptr || pressed != WL_KEYBOARD_KEY_STATE_PRESSED) return;
  xkb_keysym_t symbol = xkb_state_key_get_one_sym(c.state, key + 8);
  char name[64];
  xkb_keysym_get_name(symbol, name, sizeof name);
  std::printf("key %s %s\n", name, Modifiers(c.state).c_str());
  if (uint32_t character = xkb_keysym_to_utf32(symbol); character != 0)
    std::printf("char %u\n", character);
}
void OnModifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched,
                 uint32_t locked, uint32_t group) {
  auto& c = *static_cast<Client*>(data);
  if (c.state != nullptr) xkb_state_update_mask(c.state, depressed, latched, locked, 0, 0, group);
}
constexpr wl_keyboard_listener kKeyboardListener{OnKeymap, OnKeyboardEnter, Ignore,
                                                 OnKey,    OnModifiers,     Ignore};

// --- pointer ---
void OnPointerEnter(void*, wl_pointer*, uint32_t, wl_surface*, wl_fixed_t x, wl_fixed_t y) {
  std::printf("pointer-enter %g %g\n", wl_fixed_to_double(x), wl_fixed_to_double(y));
}
void OnMotion(void*, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
  std::printf("motion %g %g\n", wl_fixed_to_double(x), wl_fixed_to_double(y));
}
void OnButton(void*, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
  std::printf("button %u %u\n", button, state);
}
void OnAxisDiscrete(void*, wl_pointer*, uint32_t axis, int32_t steps) {
  std::printf("discrete %u %d\n", axis, steps);
}
// The seat is bound at version 7: the later events never come.
constexpr wl_pointer_listener kPointerListener{OnPointerEnter, Ignore, OnMotion, OnButton,
                                               Ignore,         Ignore, Ignore,   Ignore,
                                               OnAxisDiscrete, nullptr};

// Says `what` once the compositor has seen every request sent so far.
void SayWhenSeen(Client& c, const char* what) {
  static constexpr wl_callback_listener kSeen{[](void* data, wl_callback* callback, uint32_t) {
    std::printf("%s\n", static_cast<const char*>(data));
    wl_callback_destroy(callback);
  }};
  wl_callback_add_listener(wl_display_sync(c.display), &kSeen, const_cast<char*>(what));
}

void OnCapabilities(void* data, wl_seat* seat, uint32_t capabilities) {
  auto& c = *static_cast<Client*>(data);
  if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0 && c.keyboard == nullptr) {
    c.keyboard = wl_seat_get_keyboard(seat);
    wl_keyboard_add_listener(c.keyboard, &kKeyboardListener, &c);
  }
  if ((capabilities & WL_SEAT_CAPABILITY_POINTER) != 0 && c.pointer == nullptr) {
    c.pointer = wl_seat_get_pointer(seat);
    wl_pointer_add_listener(c.pointer, &kPointerListener, &c);
    SayWhenSeen(c, "pointer-ready");  // from here on the pointer's events reach this window
  }
}
constexpr wl_seat_listener kSeatListener{OnCapabilities, Ignore};

void OnPing(void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); }
constexpr xdg_wm_base_listener kWmBaseListener{OnPing};

void OnToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
  auto& c = *static_cast<Client*>(data);
  c.width = width > 0 ? width : 640;
  c.height = height > 0 ? height : 480;
}
void OnToplevelClose(void*, xdg_toplevel*) { std::printf("close-requested\n"); }
// xdg_wm_base is bound at version 1: the later events never come.
constexpr xdg_toplevel_listener kToplevelListener{OnToplevelConfigure, OnToplevelClose, nullptr,
                                                  nullptr};

void OnSurfaceConfigure(void* data, xdg_surface* surface, uint32_t serial) {
  auto& c = *static_cast<Client*>(data);
  xdg_surface_ack_configure(surface, serial);
  if (c.buffer != nullptr) wl_buffer_destroy(c.buffer);
  c.buffer = WhiteBuffer(c, c.width, c.height);
  wl_surface_attach(c.surface, c.buffer, 0, 0);
  wl_surface_damage(c.surface, 0, 0, c.width, c.height);
  wl_surface_commit(c.surface);
  if (!std::exchange(c.ready, true)) std::printf("ready %d %d\n", c.width, c.height);
}
constexpr xdg_surface_listener kSurfaceListener{OnSurfaceConfigure};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t version) {
  auto& c = *static_cast<Client*>(data);
  auto bind = [&](const wl_interface* type, uint32_t wanted) {
    return wl_registry_bind(registry, name, type, version < wanted ? version : wanted);
  };
  if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
    c.compositor = static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4));
  } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
    c.shm = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
  } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
    c.wmBase = static_cast<xdg_wm_base*>(bind(&xdg_wm_base_interface, 1));
    xdg_wm_base_add_listener(c.wmBase, &kWmBaseListener, &c);
  } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && c.seat == nullptr) {
    c.seat = static_cast<wl_seat*>(bind(&wl_seat_interface, 7));  // 7: discrete wheel steps
    wl_seat_add_listener(c.seat, &kSeatListener, &c);
  }
}
constexpr wl_registry_listener kRegistryListener{OnGlobal, Ignore};

}  // namespace

int main(int argc, char** argv) {
  const char* appId =
      argc == 3 && std::strcmp(argv[1], "--app-id") == 0 ? argv[2] : "org.hovra.Test";
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // every line reaches the test at once
  Client c;
  c.display = wl_display_connect(nullptr);
  if (c.display == nullptr) {
    std::fprintf(stderr, "hovra_wayland_test_client: no Wayland display\n");
    return 1;
  }
  wl_registry_add_listener(wl_display_get_registry(c.display), &kRegistryListener, &c);
  wl_display_roundtrip(c.display);
  if (c.compositor == nullptr || c.shm == nullptr || c.wmBase == nullptr) {
    std::fprintf(stderr, "hovra_wayland_test_client: the compositor lacks xdg-shell\n");
    return 1;
  }
  c.surface = wl_compositor_create_surface(c.compositor);
  xdg_surface* xdgSurface = xdg_wm_base_get_xdg_surface(c.wmBase, c.surface);
  xdg_surface_add_listener(xdgSurface, &kSurfaceListener, &c);
  xdg_toplevel* toplevel = xdg_surface_get_toplevel(xdgSurface);
  xdg_toplevel_add_listener(toplevel, &kToplevelListener, &c);
  xdg_toplevel_set_app_id(toplevel, appId);
  xdg_toplevel_set_title(toplevel, "Hovra test window");
  wl_surface_commit(c.surface);
  while (wl_display_dispatch(c.display) >= 0) {
  }
  return 0;
}
