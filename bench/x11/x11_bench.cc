// bench_x11: how fast the X11 backend posts, next to the journal backend in the same run.
//   bench_x11 [--events N] [--frames N]
// Starts its own Xvfb. Prints a table: events per second (keys, pointer moves, typed text;
// on X finished by a round trip so that the server has carried them out, on the journal
// written as lines into memory), and the time from a "mos" frame written to the server's
// loopback socket until the pointer has moved (on X: until a client sees the motion).
#include <X11/Xlib.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/input_backend_bench.h"
#include "input/key_names.h"
#include "platform/journal/journal_backend.h"
#include "platform/memory_settings_store.h"
#include "platform/services.h"
#include "platform/x11/x11_events.h"
#include "server/hovra_svr_sock.h"
#include "tests/support/desktop/xvfb_display.h"
#include "tests/support/manual_main_queue.h"

namespace hovra::bench {
namespace {

// Blocks on the observer's connection until the root window reports motion to `x`: the
// moment a client on the desktop would learn of it.
void WaitForXMotion(Display* display, double x) {
  XEvent event;
  do {
    XNextEvent(display, &event);
  } while (event.type != MotionNotify || event.xmotion.x_root != static_cast<int>(x));
}

double XPointerX(Display* display) {
  Window root = 0, child = 0;
  int x = 0, y = 0, wx = 0, wy = 0;
  unsigned mask = 0;
  XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &wx, &wy, &mask);
  return x;
}

void WaitForJournalMotion(platform::EventServices& journal, double x) {
  while (journal.PointerEventLocation().x != x) {
  }
}

int Run(long count, int frames) {
  testing::XvfbDisplay xvfb;
  if (!xvfb.Running()) {
    std::fprintf(stderr, "bench_x11: Xvfb could not be started\n");
    return 1;
  }
  FillKeyNameMaps();
  platform::journal::JournalBackend journal(
      platform::journal::JournalWriter::InMemory(),
      platform::journal::SimConfig::Parse(R"({"pointer":[600,400]})"));
  platform::MemorySettingsStore settings;
  testing::ManualMainQueue mainQueue;
  platform::Services services;
  journal.Provide(services);
  services.settings = &settings;
  services.mainQueue = &mainQueue;
  platform::EventServices* journalEvents = services.events;
  std::unique_ptr<platform::x11::X11Events> x11 = platform::x11::OpenX11Events(xvfb.Name().c_str());
  Display* observer = XOpenDisplay(xvfb.Name().c_str());
  if (x11 == nullptr || observer == nullptr) {
    std::fprintf(stderr, "bench_x11: cannot reach %s\n", xvfb.Name().c_str());
    return 1;
  }

  Rates journalRates = MeasureRates(*journalEvents, count, [] {});
  Rates x11Rates = MeasureRates(*x11, count, [&] { x11->Sync(); });

  XWarpPointer(observer, None, DefaultRootWindow(observer), 0, 0, 0, 0, 600, 400);
  XSelectInput(observer, DefaultRootWindow(observer), PointerMotionMask);
  XSync(observer, False);
  ServerOptions options;
  options.discovery.port = 0;  // nothing leaves the machine
  Latency latency[2];
  for (int i = 0; i < 2; ++i) {
    services.events = i == 0 ? journalEvents : x11.get();
    platform::Install(services);
    auto server = std::make_unique<CHovraSvrSock>("127.0.0.1", 0, options);
    std::function<void(double)> wait = [&](double x) { WaitForJournalMotion(*journalEvents, x); };
    if (i == 1) wait = [&](double x) { WaitForXMotion(observer, x); };
    double start = i == 0 ? journalEvents->PointerEventLocation().x : XPointerX(observer);
    latency[i] = FrameToPointer(server->ListeningPort(), frames, start, wait);
    server->setStop();
    server.reset();
  }
  platform::Install({});
  XCloseDisplay(observer);

  PrintRates("x11 (Xvfb)", journalRates, x11Rates, latency[0], latency[1]);
  return 0;
}

}  // namespace
}  // namespace hovra::bench

int main(int argc, char** argv) {
  long events = 100000;
  int frames = 2000;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--events") == 0) events = std::atol(argv[i + 1]);
    if (std::strcmp(argv[i], "--frames") == 0) frames = std::atoi(argv[i + 1]);
  }
  return hovra::bench::Run(std::max(events, 2L), std::max(frames, 1));
}
