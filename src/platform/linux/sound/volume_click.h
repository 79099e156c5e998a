// The feedback click of the volume commands: the sound theme's "audio-volume-change",
// played in the background by the desktop's event-sound player (canberra-gtk-play, which
// follows the user's sound theme and settings, inside a graphical session), else by paplay
// with the freedesktop theme's file. Nothing plays, after one log line, when neither is
// installed.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace hovra::platform::linux_desktop {

// The command line that plays the click here, if any.
std::optional<std::vector<std::string>> VolumeClickCommand();

// Starts the click and returns at once (the player is never waited for).
void PlayVolumeClick();

}  // namespace hovra::platform::linux_desktop
