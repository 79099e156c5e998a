#include "platform/linux/sound/pulse_volume.h"

#include <pulse/pulseaudio.h>

#include <cmath>

#include "platform/linux/sound/volume_rules.h"

namespace hovra::platform::linux_desktop {

// The sink the default output resolves to when asked by this name.
constexpr char kDefaultSinkName[] = "@DEFAULT_SINK@";

struct PulseVolume::Sink {
  bool found = false;
  uint32_t index = 0;
  pa_cvolume volume{};
  bool muted = false;
};

namespace {

struct Waiting {
  pa_threaded_mainloop* mainloop;
  PulseVolume::Sink* sink;
};

void SignalOnState(pa_context*, void* mainloop) {
  pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(mainloop), 0);
}

void SignalOnSuccess(pa_context*, int, void* mainloop) {
  pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(mainloop), 0);
}

void OnSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* data) {
  auto* waiting = static_cast<Waiting*>(data);
  if (eol == 0 && info != nullptr) {
    waiting->sink->found = true;
    waiting->sink->index = info->index;
    waiting->sink->volume = info->volume;
    waiting->sink->muted = info->mute != 0;
  }
  pa_threaded_mainloop_signal(waiting->mainloop, 0);
}

struct TimerData {
  pa_threaded_mainloop* mainloop;
  bool* timedOut;
};

void OnTimeout(pa_mainloop_api*, pa_time_event*, const struct timeval*, void* data) {
  auto* timer = static_cast<TimerData*>(data);
  *timer->timedOut = true;
  pa_threaded_mainloop_signal(timer->mainloop, 0);
}

int PercentOf(const pa_cvolume& volume) {
  return static_cast<int>(std::lround(100.0 * pa_cvolume_max(&volume) / PA_VOLUME_NORM));
}

pa_volume_t VolumeOf(int percent) {
  return static_cast<pa_volume_t>(std::lround(percent * static_cast<double>(PA_VOLUME_NORM) / 100));
}

}  // namespace

PulseVolume::PulseVolume() : mainloop_(pa_threaded_mainloop_new()) {
  pa_threaded_mainloop_start(mainloop_);
}

PulseVolume::~PulseVolume() {
  pa_threaded_mainloop_lock(mainloop_);
  Drop();
  pa_threaded_mainloop_unlock(mainloop_);
  pa_threaded_mainloop_stop(mainloop_);
  pa_threaded_mainloop_free(mainloop_);
}

void PulseVolume::Drop() {
  if (context_ == nullptr) return;
  pa_context_set_state_callback(context_, nullptr, nullptr);
  pa_context_disconnect(context_);
  pa_context_unref(context_);
  context_ = nullptr;
}

template <class Done>
bool PulseVolume::WaitUntil(Done done) {
  timedOut_ = false;
  TimerData data{mainloop_, &timedOut_};
  pa_time_event* timer = pa_context_rttime_new(
      context_, pa_rtclock_now() + static_cast<pa_usec_t>(kSoundServerTimeout.count()) * 1000,
      &OnTimeout, &data);
  while (!done() && !timedOut_) pa_threaded_mainloop_wait(mainloop_);
  if (timer != nullptr) pa_threaded_mainloop_get_api(mainloop_)->time_free(timer);
  return done();
}

bool PulseVolume::Connected() {
  if (context_ && pa_context_get_state(context_) == PA_CONTEXT_READY) return true;
  Drop();  // a server that went away (a restart) leaves a failed context behind
  context_ = pa_context_new(pa_threaded_mainloop_get_api(mainloop_), "Hovra Server");
  pa_context_set_state_callback(context_, &SignalOnState, mainloop_);
  bool ready = false;
  timedOut_ = false;
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
    ready = WaitUntil([&] {
      pa_context_state_t state = pa_context_get_state(context_);
      return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
    });
    ready = ready && pa_context_get_state(context_) == PA_CONTEXT_READY;
  }
  if (!ready) {
    if (unreachable_.First()) {
      Log("the sound server cannot be reached (%s); volume commands do nothing until it can",
          timedOut_ ? "no answer" : pa_strerror(pa_context_errno(context_)));
    }
    Drop();
    return false;
  }
  if (!unreachable_.First()) Log("the sound server is reachable again");
  unreachable_.Rearm();
  return true;
}

bool PulseVolume::Finish(pa_operation* operation) {
  if (operation == nullptr) return false;
  bool done = WaitUntil([&] { return pa_operation_get_state(operation) != PA_OPERATION_RUNNING; });
  if (!done) pa_operation_cancel(operation);
  pa_operation_unref(operation);
  return done;
}

bool PulseVolume::ReadDefaultSink(Sink& sink) {
  Waiting waiting{mainloop_, &sink};
  bool answered =
      Finish(pa_context_get_sink_info_by_name(context_, kDefaultSinkName, &OnSinkInfo, &waiting));
  if (answered && !sink.found) {
    static LogOnce noSink;
    if (noSink.First()) Log("the sound server has no default output; volume commands do nothing");
  }
  return answered && sink.found;
}

std::optional<bool> PulseVolume::Step(bool up) {
  pa_threaded_mainloop_lock(mainloop_);
  std::optional<bool> click;
  Sink sink;
  if (Connected() && ReadDefaultSink(sink)) {
    int current = PercentOf(sink.volume);
    VolumeStep step = up ? StepUp(current) : StepDown(current);
    if (step.percent != current) {
      pa_cvolume volume = sink.volume;
      pa_cvolume_scale(&volume, VolumeOf(step.percent));  // keeps the balance of the channels
      Finish(pa_context_set_sink_volume_by_index(context_, sink.index, &volume, &SignalOnSuccess,
                                                 mainloop_));
    }
    click = step.click;
  }
  pa_threaded_mainloop_unlock(mainloop_);
  return click;
}

std::optional<bool> PulseVolume::ToggleMute() {
  pa_threaded_mainloop_lock(mainloop_);
  std::optional<bool> click;
  Sink sink;
  if (Connected() && ReadDefaultSink(sink)) {
    Finish(pa_context_set_sink_mute_by_index(context_, sink.index, sink.muted ? 0 : 1,
                                             &SignalOnSuccess, mainloop_));
    click = ClicksOnMuteToggle(sink.muted);
  }
  pa_threaded_mainloop_unlock(mainloop_);
  return click;
}

}  // namespace hovra::platform::linux_desktop
