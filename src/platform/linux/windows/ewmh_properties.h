// Reading the EWMH and ICCCM properties the window tracker needs, one round trip each.
// Xlib is included only by the .cc files of this folder.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace hovra::platform::linux_desktop {

struct EwmhAtoms {
  Atom clientList, activeWindow, wmPid, wmState, skipTaskbar, windowType, typeDock, typeDesktop,
      gtkApplicationId, utf8String, closeWindow, showingDesktop, maximizedVert, maximizedHorz;
  static EwmhAtoms Intern(Display* display);
};

std::vector<Window> WindowListProperty(Display* display, Window window, Atom property);
Window WindowProperty(Display* display, Window window, Atom property);  // 0 when absent
long CardinalProperty(Display* display, Window window, Atom property, long fallback);
std::vector<Atom> AtomListProperty(Display* display, Window window, Atom property);
std::string Utf8Property(Display* display, Window window, Atom property, Atom utf8String);

// The program file's name of a local process ("vlc"); empty when it cannot be read.
std::string ExecutableOfPid(int pid);

}  // namespace hovra::platform::linux_desktop
