// bench_linux_volume: how long a volume command takes on the linux desktop, from the line
// written to the server's loopback socket until the sound server reports the default
// sink's new volume to a client of its own (the way a volume indicator learns it).
//   bench_linux_volume [--commands N]
// Starts its own PulseAudio server (two null sinks) and the real hovra-server with
// --desktop linux; alternates "VOLUMEUP" and "VOLUMEDN" between 50 % and 60 % so no clamp
// is ever reached. Prints tab-separated rows: figure, value, target, verdict.
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "tests/support/desktop/pulse_server.h"
#include "tests/support/server_process.h"
#include "tests/support/socket_client.h"

namespace hovra::bench {
namespace {

using Clock = std::chrono::steady_clock;

// A PulseAudio client that follows the volume of one sink.
class SinkWatcher {
 public:
  explicit SinkWatcher(const std::string& server) : mainloop_(pa_threaded_mainloop_new()) {
    context_ = pa_context_new(pa_threaded_mainloop_get_api(mainloop_), "bench");
    pa_context_set_state_callback(context_, &Signal, mainloop_);
    pa_context_set_subscribe_callback(context_, &OnEvent, this);
    pa_threaded_mainloop_lock(mainloop_);
    pa_threaded_mainloop_start(mainloop_);
    pa_context_connect(context_, server.c_str(), PA_CONTEXT_NOAUTOSPAWN, nullptr);
    while (PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)) &&
           pa_context_get_state(context_) != PA_CONTEXT_READY) {
      pa_threaded_mainloop_wait(mainloop_);
    }
    ready_ = pa_context_get_state(context_) == PA_CONTEXT_READY;
    if (ready_) {
      pa_operation_unref(
          pa_context_subscribe(context_, PA_SUBSCRIPTION_MASK_SINK, nullptr, nullptr));
    }
    pa_threaded_mainloop_unlock(mainloop_);
  }
  ~SinkWatcher() {
    pa_threaded_mainloop_stop(mainloop_);
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    pa_threaded_mainloop_free(mainloop_);
  }
  bool Ready() const { return ready_; }

  // Waits until the watched sink reports `percent`; false after `wait`.
  bool WaitFor(int percent, std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, wait, [&] { return percent_ == percent; });
  }

 private:
  static void Signal(pa_context*, void* mainloop) {
    pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(mainloop), 0);
  }
  static void OnEvent(pa_context* context, pa_subscription_event_type_t, uint32_t index,
                      void* self) {
    pa_operation_unref(pa_context_get_sink_info_by_index(context, index, &OnSink, self));
  }
  static void OnSink(pa_context*, const pa_sink_info* info, int eol, void* self) {
    if (eol != 0 || info == nullptr || std::strcmp(info->name, "hovra_a") != 0) return;
    auto* watcher = static_cast<SinkWatcher*>(self);
    std::lock_guard<std::mutex> lock(watcher->mutex_);
    watcher->percent_ =
        static_cast<int>(std::lround(100.0 * pa_cvolume_max(&info->volume) / PA_VOLUME_NORM));
    watcher->changed_.notify_all();
  }

  pa_threaded_mainloop* mainloop_;
  pa_context* context_ = nullptr;
  bool ready_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
  int percent_ = -1;
};

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  size_t at = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1));
  return values[at];
}

int Run(int commands) {
  using namespace testing;
  PulseServer pulse;
  if (!pulse.Running() || !pulse.Pactl({"set-sink-volume", "hovra_a", "50%"})) {
    std::fprintf(stderr, "bench_linux_volume: pulseaudio did not start\n");
    return 1;
  }
  SinkWatcher watcher(pulse.Address());
  ServerProcessOptions options;
  options.extraArgs = {"--desktop", "linux", "--journal", "none"};
  // The volume path alone: no buses, and no click (no sound theme is found).
  options.environment = {{"PULSE_SERVER", pulse.Address()},
                         {"XDG_DATA_DIRS", "/nonexistent"},
                         {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent"},
                         {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent"},
                         {"XDG_DATA_HOME", "/nonexistent"},
                         {"DISPLAY", ""}};
  ServerProcess server(options);
  SocketClient client(server.Port());
  if (!watcher.Ready() || !client.Connected()) {
    std::fprintf(stderr, "bench_linux_volume: no server or no sound server client\n");
    return 1;
  }
  client.ReadUntil("\n");
  std::vector<double> ms;
  for (int i = 0; i < commands + 20; ++i) {
    bool up = i % 2 == 0;
    Clock::time_point start = Clock::now();
    client.Send(up ? "VOLUMEUP\n" : "VOLUMEDN\n");
    if (!watcher.WaitFor(up ? 60 : 50, std::chrono::seconds(5))) {
      std::fprintf(stderr, "bench_linux_volume: the sink did not change\n%s",
                   server.Stderr().c_str());
      return 1;
    }
    if (i >= 20) {  // the first ones connect and warm up
      ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
  }
  std::printf("linux: \"volumeup\" to the sink changed p50\t%.2f ms\t-\t-\n", Percentile(ms, 0.5));
  std::printf("linux: \"volumeup\" to the sink changed p99\t%.2f ms\t-\t-\n", Percentile(ms, 0.99));
  return 0;
}

}  // namespace
}  // namespace hovra::bench

int main(int argc, char** argv) {
  int commands = 1000;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--commands") == 0) commands = std::max(1, std::atoi(argv[i + 1]));
  }
  return hovra::bench::Run(commands);
}
