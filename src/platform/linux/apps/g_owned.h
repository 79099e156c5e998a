// Ownership of GLib and GObject values in C++: a GObject reference, a g_malloc'd string,
// a GError. Each frees with the function GLib pairs with the allocation.
#pragma once

#include <gio/gio.h>

#include <memory>
#include <string>

namespace hovra::platform::linux_desktop {

struct GObjectUnref {
  void operator()(gpointer object) const {
    if (object != nullptr) g_object_unref(object);
  }
};
template <typename T>
using GOwned = std::unique_ptr<T, GObjectUnref>;

struct GFreeDeleter {
  void operator()(gpointer memory) const { g_free(memory); }
};
using GChars = std::unique_ptr<char, GFreeDeleter>;

struct GErrorFree {
  void operator()(GError* error) const {
    if (error != nullptr) g_error_free(error);
  }
};
using GErrorOwned = std::unique_ptr<GError, GErrorFree>;

// A C string from GLib as std::string, empty for NULL.
inline std::string Text(const char* text) { return text != nullptr ? text : ""; }

// Takes a g_malloc'd string; empty for NULL.
inline std::string TakeText(char* text) {
  GChars owned(text);
  return Text(owned.get());
}

}  // namespace hovra::platform::linux_desktop
