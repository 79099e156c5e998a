// What one volume command does on the 0 to 100 % scale of the nominal volume, and when the
// volume click plays: "up" goes by 10 and from above 90 straight to 100, and always clicks;
// "down" goes by 10 and from 10 or less straight to 0, clicking only when it was above 10;
// mute clicks only when it unmutes. A sink already above 100 % (over-amplified by its
// user) is left where it is by "up" rather than pulled back to 100.
#pragma once

namespace hovra::platform::linux_desktop {

struct VolumeStep {
  int percent;  // the new nominal volume
  bool click;   // whether the feedback click plays
};

constexpr VolumeStep StepUp(int current) {
  if (current > 100) return {current, true};
  return {current > 90 ? 100 : current + 10, true};
}

constexpr VolumeStep StepDown(int current) {
  if (current <= 10) return {0, false};
  return {current - 10, true};
}

constexpr bool ClicksOnMuteToggle(bool wasMuted) { return wasMuted; }

}  // namespace hovra::platform::linux_desktop
