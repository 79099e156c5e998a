// bench_wayland: how fast the wayland backend posts, next to the journal backend in the
// same run, the same figures as bench_x11.
//   bench_wayland [--events N] [--frames N]
// Starts its own headless sway (as "nobody" when run as root) with one test window. Events
// per second are finished by a round trip (the compositor has handled them); the frame
// latency runs from a "mos" frame written to the server's loopback socket until the
// window has been told of the motion.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "bench/input_backend_bench.h"
#include "input/key_names.h"
#include "platform/journal/journal_backend.h"
#include "platform/memory_settings_store.h"
#include "platform/services.h"
#include "platform/wayland/wayland_events.h"
#include "server/hovra_svr_sock.h"
#include "tests/support/desktop/sway_session.h"
#include "tests/support/manual_main_queue.h"
#include "tests/wayland/wayland_client.h"

namespace hovra::bench {
namespace {

void WaitForJournalMotion(platform::EventServices& journal, double x) {
  while (journal.PointerEventLocation().x != x) {
  }
}

int Run(long count, int frames) {
  if (std::string why = testing::SwaySession::Unavailable(); !why.empty()) {
    std::fprintf(stderr, "bench_wayland: %s\n", why.c_str());
    return 1;
  }
  testing::SwaySession sway("output HEADLESS-1 resolution 1280x800 position 0 0\n");
  if (!sway.Running()) {
    std::fprintf(stderr, "bench_wayland: sway could not be started\n%s", sway.Log().c_str());
    return 1;
  }
  auto wayland = platform::wayland::OpenWaylandEvents(sway.Display());
  if (wayland == nullptr) {
    std::fprintf(stderr, "bench_wayland: cannot reach %s\n", sway.Display().c_str());
    return 1;
  }
  FillKeyNameMaps();
  platform::journal::JournalBackend journal(
      platform::journal::JournalWriter::InMemory(),
      platform::journal::SimConfig::Parse(R"({"screens":[[0,0,1280,800]],"pointer":[600,400]})"));
  platform::MemorySettingsStore settings;
  testing::ManualMainQueue mainQueue;
  platform::Services services;
  journal.Provide(services);
  services.settings = &settings;
  services.mainQueue = &mainQueue;
  platform::EventServices* journalEvents = services.events;

  Rates journalRates = MeasureRates(*journalEvents, count, [] {});
  // Before the window opens: a window that logs every event would measure its own log.
  Rates waylandRates = MeasureRates(*wayland, count, [&] { wayland->Sync(); });
  testing::WaylandClient window(sway, "org.hovra.Bench");
  if (!window.Ready() || !window.WaitForLine("pointer-ready")) {
    std::fprintf(stderr, "bench_wayland: the window did not come up\n%s", sway.Log().c_str());
    return 1;
  }

  // The pointer onto the window, at the journal's starting point.
  wayland->PostMouse(
      {.type = platform::kMouseMoved, .position = {600, 400}, .button = 0, .clickState = {}});
  window.WaitForPointerAt(600, 400);
  ServerOptions options;
  options.discovery.port = 0;  // nothing leaves the machine
  Latency latency[2];
  for (int i = 0; i < 2; ++i) {
    services.events = i == 0 ? journalEvents : wayland.get();
    platform::Install(services);
    auto server = std::make_unique<CHovraSvrSock>("127.0.0.1", 0, options);
    std::function<void(double)> wait = [&](double x) { WaitForJournalMotion(*journalEvents, x); };
    if (i == 1) wait = [&](double x) { window.WaitForPointerAt(x, 400); };
    double start = i == 0 ? journalEvents->PointerEventLocation().x : 600;
    latency[i] = FrameToPointer(server->ListeningPort(), frames, start, wait);
    server->setStop();
    server.reset();
  }
  platform::Install({});
  PrintRates("wayland (sway)", journalRates, waylandRates, latency[0], latency[1]);
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
