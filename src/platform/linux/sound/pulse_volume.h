// The default output of the sound server through the PulseAudio client library (which
// serves PipeWire through pipewire-pulse unchanged). Each call asks for the default sink
// afresh, so a change of the default output is followed at once, and connects again when
// the sound server was restarted. Calls block the calling thread for at most about a
// second; the library's own thread does the talking.
//   PulseVolume volume;
//   if (std::optional<bool> click = volume.Step(true); click && *click) PlayClick();
#pragma once

#include <chrono>
#include <optional>

#include "base/log.h"

struct pa_threaded_mainloop;
struct pa_context;
struct pa_operation;

namespace hovra::platform::linux_desktop {

// How long one exchange with the sound server may take before it counts as unreachable.
inline constexpr std::chrono::milliseconds kSoundServerTimeout{1000};

class PulseVolume {
 public:
  PulseVolume();
  ~PulseVolume();
  PulseVolume(const PulseVolume&) = delete;
  PulseVolume& operator=(const PulseVolume&) = delete;

  // Up or down one step (volume_rules.h); the result says whether the click plays, and is
  // empty when the sound server or its default sink could not be reached.
  std::optional<bool> Step(bool up);
  std::optional<bool> ToggleMute();

  struct Sink;  // what is read of the default sink

 private:
  bool Connected();  // under the main loop's lock
  void Drop();
  bool ReadDefaultSink(Sink& sink);
  template <class Done>
  bool WaitUntil(Done done);
  bool Finish(pa_operation* operation);

  pa_threaded_mainloop* mainloop_;
  pa_context* context_ = nullptr;
  bool timedOut_ = false;
  LogOnce unreachable_;
};

}  // namespace hovra::platform::linux_desktop
