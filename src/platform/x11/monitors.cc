#include "platform/x11/monitors.h"

#include <X11/extensions/Xrandr.h>

namespace hovra::platform::x11 {
bool HasMonitorList(Display* display) {
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XRRQueryExtension(display, &event, &error)) return false;
  if (!XRRQueryVersion(display, &major, &minor)) return false;
  return major > 1 || (major == 1 && minor >= 5);  // monitors arrived with RandR 1.5
}

std::vector<LayoutRect> ReadMonitors(Display* display, bool hasMonitorList) {
  std::vector<LayoutRect> monitors;
  Window root = DefaultRootWindow(display);
  if (hasMonitorList) {
    int count = 0;
    XRRMonitorInfo* list = XRRGetMonitors(display, root, True, &count);
    for (int i = 0; list != nullptr && i < count; ++i) {
      LayoutRect rect{list[i].x, list[i].y, list[i].width, list[i].height};
      if (list[i].primary) {
        monitors.insert(monitors.begin(), rect);
      } else {
        monitors.push_back(rect);
      }
    }
    if (list != nullptr) XRRFreeMonitors(list);
  }
  if (monitors.empty()) {
    int screen = DefaultScreen(display);
    monitors.push_back({0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)});
  }
  return monitors;
}

}  // namespace hovra::platform::x11
