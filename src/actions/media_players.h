// Media player control.
//   Generic commands offer themselves to iTunes, VLC, Spotify and QuickTime Player, in
//   that order, each when installed; each script acts only if its player is frontmost.
//   Player commands name a player by index and drive it directly:
//     0 QuickTime Player, 1 VLC, 2 Spotify, 3 MPlayerX, 5 iTunes,
//     6 plain keystrokes to whatever is frontmost; 4 and any other index do nothing.
// QuickTime's play/pause and full screen alternate on guesses the server keeps; the
// player's real state is never read back. Worker thread only.
#pragma once

namespace hovra::actions {

void MediaPlay();
void MediaNext();
void MediaPrev();
void MediaVolumeUp();  // QuickTime Player is not offered this one
void MediaVolumeDown();

void setMediaPlay(int index);
void setMaxPlayer(int index);
void setPlayNext(int index);
void setPlayPre(int index);

// Back to the start-of-program guesses (QuickTime neither playing nor in full screen);
// for tests, which share the process-wide state.
void ResetPlayerStateGuesses();

}  // namespace hovra::actions
