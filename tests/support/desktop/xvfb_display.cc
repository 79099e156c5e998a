#include "tests/support/desktop/xvfb_display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <regex>

#include "tests/support/desktop/x_client_window.h"

namespace hovra::testing {
namespace {

std::vector<unsigned long> Clients(Display* x) {
  return XListProperty(x, DefaultRootWindow(x), "_NET_CLIENT_LIST", XA_WINDOW);
}

}  // namespace

XvfbDisplay::XvfbDisplay(Manager manager, int number) {
  if (!ProgramExists("Xvfb")) {
    why_ = "Xvfb is not installed (package xvfb)";
    return;
  }
  if (manager == kWithWindowManager && !ProgramExists("openbox")) {
    why_ = "openbox is not installed (package openbox)";
    return;
  }
  // -displayfd: the server prints its display number once it accepts connections.
  std::vector<std::string> argv{"Xvfb"};
  if (number >= 0) argv.push_back(":" + std::to_string(number));
  argv.insert(argv.end(),
              {"-displayfd", "1", "-noreset", "-nolisten", "tcp", "-screen", "0", "1280x800x24"});
  xvfb_ = std::make_unique<ServiceProcess>(ServiceOptions{.argv = argv, .output = dir_ / "xvfb"});
  xvfb_->WaitReady([&] {
    std::smatch line;  // its warnings go to the output too: the line of digits
    const std::string out = xvfb_->Output();
    if (!std::regex_search(out, line, std::regex(R"((^|\n)(\d+)\n)"))) return false;
    number_ = std::stoi(line[2]);
    return true;
  });
  if (number_ < 0) {
    why_ = "Xvfb did not start (display number taken?)";
    xvfb_.reset();
  } else if (manager == kWithWindowManager && !StartWindowManager()) {
    why_ = "openbox did not take over the display";
  }
}

bool XvfbDisplay::StartWindowManager() {
  // Openbox finds its configuration and themes in the system's folders, whatever desktop
  // tree the test made for itself (without a theme it gives up).
  openbox_ = std::make_unique<ServiceProcess>(
      ServiceOptions{.argv = {"openbox", "--sm-disable"},
                     .env = {{"DISPLAY", Name()},
                             {"XDG_CONFIG_DIRS", "/etc/xdg"},
                             {"XDG_DATA_DIRS", "/usr/local/share:/usr/share"}},
                     .output = dir_ / "openbox"});
  Display* x = XOpenDisplay(Name().c_str());
  if (x == nullptr) return false;
  // It announces itself before it manages windows: a probe window, mapped again until it
  // shows up in the client list, says it does; then it is gone before any test looks.
  Window probe = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, 10, 10, 0, 0, 0);
  bool managed = openbox_->WaitReady(
      [&] {
        XUnmapWindow(x, probe);
        XMapWindow(x, probe);
        XSync(x, False);
        return PollUntil([&] { return std::ranges::count(Clients(x), probe) > 0; }, 50ms);
      },
      20s);
  XDestroyWindow(x, probe);
  XSync(x, False);
  managed = managed && PollUntil([&] { return Clients(x).empty(); }, 10s);
  XCloseDisplay(x);
  return managed;
}

bool XvfbDisplay::Run(const std::string& tool, const std::vector<std::string>& args) const {
  std::vector<std::string> argv{tool};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunTool(argv, {{"DISPLAY", Name()}}).exitCode == 0;
}

}  // namespace hovra::testing
