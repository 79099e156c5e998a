#include "platform/linux/windows/ewmh_properties.h"

#include <X11/Xatom.h>
#include <unistd.h>

#include <fstream>

namespace hovra::platform::linux_desktop {
namespace {

constexpr long kMaxItems = 4096;  // longer lists are not windows anyone has open

// The property's items, or nothing when it is absent or of another type or format.
template <typename T>
std::vector<T> Items(Display* display, Window window, Atom property, Atom type, int format) {
  Atom actualType = 0;
  int actualFormat = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::vector<T> items;
  if (XGetWindowProperty(display, window, property, 0, kMaxItems, False, type, &actualType,
                         &actualFormat, &count, &after, &data) != Success) {
    return items;
  }
  if (data != nullptr && actualType == type && actualFormat == format) {
    if (format == 32) {
      // Format 32 arrives as an array of long, whatever the size of long.
      const long* values = reinterpret_cast<const long*>(data);
      for (unsigned long i = 0; i < count; ++i) items.push_back(static_cast<T>(values[i]));
    } else {
      for (unsigned long i = 0; i < count; ++i) items.push_back(static_cast<T>(data[i]));
    }
  }
  if (data != nullptr) XFree(data);
  return items;
}

}  // namespace

EwmhAtoms EwmhAtoms::Intern(Display* display) {
  const char* names[] = {"_NET_CLIENT_LIST",
                         "_NET_ACTIVE_WINDOW",
                         "_NET_WM_PID",
                         "_NET_WM_STATE",
                         "_NET_WM_STATE_SKIP_TASKBAR",
                         "_NET_WM_WINDOW_TYPE",
                         "_NET_WM_WINDOW_TYPE_DOCK",
                         "_NET_WM_WINDOW_TYPE_DESKTOP",
                         "_GTK_APPLICATION_ID",
                         "UTF8_STRING",
                         "_NET_CLOSE_WINDOW",
                         "_NET_SHOWING_DESKTOP",
                         "_NET_WM_STATE_MAXIMIZED_VERT",
                         "_NET_WM_STATE_MAXIMIZED_HORZ"};
  Atom atoms[std::size(names)] = {};
  XInternAtoms(display, const_cast<char**>(names), static_cast<int>(std::size(names)), False,
               atoms);
  return EwmhAtoms{atoms[0], atoms[1], atoms[2], atoms[3],  atoms[4],  atoms[5],  atoms[6],
                   atoms[7], atoms[8], atoms[9], atoms[10], atoms[11], atoms[12], atoms[13]};
}

std::vector<Window> WindowListProperty(Display* display, Window window, Atom property) {
  return Items<Window>(display, window, property, XA_WINDOW, 32);
}

Window WindowProperty(Display* display, Window window, Atom property) {
  std::vector<Window> windows = WindowListProperty(display, window, property);
  return windows.empty() ? 0 : windows.front();
}

long CardinalProperty(Display* display, Window window, Atom property, long fallback) {
  std::vector<long> values = Items<long>(display, window, property, XA_CARDINAL, 32);
  return values.empty() ? fallback : values.front();
}

std::vector<Atom> AtomListProperty(Display* display, Window window, Atom property) {
  return Items<Atom>(display, window, property, XA_ATOM, 32);
}

std::string Utf8Property(Display* display, Window window, Atom property, Atom utf8String) {
  std::vector<char> bytes = Items<char>(display, window, property, utf8String, 8);
  return std::string(bytes.begin(), bytes.end());
}

std::string ExecutableOfPid(int pid) {
  if (pid <= 0) return {};
  const std::string proc = "/proc/" + std::to_string(pid);
  char target[4096];
  ssize_t length = ::readlink((proc + "/exe").c_str(), target, sizeof target - 1);
  std::string path;
  if (length > 0) {
    path.assign(target, static_cast<size_t>(length));
    if (path.ends_with(" (deleted)")) path.resize(path.size() - 10);  // upgraded meanwhile
  } else {
    std::ifstream comm(proc + "/comm");  // another user's process: its short name
    std::getline(comm, path);
  }
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace hovra::platform::linux_desktop
