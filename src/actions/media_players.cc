#include "actions/media_players.h"

#include "actions/installed.h"
#include "actions/media_keys.h"
#include "actions/media_scripts.h"
#include "base/log.h"

namespace hovra::actions {
namespace {

enum PlayerIndex : int {
  kQuickTimeIndex = 0,
  kVlcIndex = 1,
  kSpotifyIndex = 2,
  kMPlayerXIndex = 3,
  kITunesIndex = 5,
  kFrontmostIndex = 6,  // no application: keystrokes to whatever is frontmost
};

// The server's guesses of QuickTime's state; see ResetPlayerStateGuesses().
bool isQuicktimePlay = false;  // the last play/pause sent to it was play
bool isQuicktimeMax = false;   // it was last put into presentation mode
bool bquicktime = false;       // the last generic play/pause offered to it was pause

void Post(const platform::KeySequence& sequence) { platform::GetEvents().PostSequence(sequence); }

// One script for each player of indexes 0 to 5.
struct PerPlayer {
  const platform::ScriptText* quickTime;
  const platform::ScriptText* vlc;
  const platform::ScriptText* spotify;
  const platform::ScriptText* mplayerx;
  const platform::ScriptText* itunes;
};

// Runs the indexed player's script when it is installed; other indexes do nothing.
void RunForPlayer(int index, const PerPlayer& scripts) {
  switch (index) {
    case kQuickTimeIndex:
      RunIfInstalled(kQuickTimeBundleId, *scripts.quickTime);
      return;
    case kVlcIndex:
      RunIfInstalled(kVlcBundleId, *scripts.vlc);
      return;
    case kSpotifyIndex:
      RunIfInstalled(kSpotifyBundleId, *scripts.spotify);
      return;
    case kMPlayerXIndex:
      RunIfInstalled(kMPlayerXBundleId, *scripts.mplayerx);
      return;
    case kITunesIndex:
      RunIfInstalled(kITunesBundleId, *scripts.itunes);
      return;
    default:
      return;
  }
}

void QuickTimePlayPause() {
  if (isQuicktimePlay) {
    isQuicktimePlay = false;
    RunIfInstalled(kQuickTimeBundleId, scripts::kPlayerPlayQuickTimePause);
  } else {
    RunIfInstalled(kQuickTimeBundleId, scripts::kPlayerPlayQuickTimePlay);
    isQuicktimePlay = true;  // also when not installed
  }
}

void QuickTimeFullScreen() {
  if (isQuicktimeMax) {
    isQuicktimeMax = false;
    Post(shortcuts::kPlayerMaxQuickTimeExit);
  } else {
    RunIfInstalled(kQuickTimeBundleId, scripts::kPlayerMaxQuickTime);
    isQuicktimeMax = true;  // also when not installed
  }
}

}  // namespace

void MediaPlay() {
  RunIfInstalled(kITunesBundleId, scripts::kMediaPlayITunes);
  RunIfInstalled(kVlcBundleId, scripts::kMediaPlayVlc);
  RunIfInstalled(kSpotifyBundleId, scripts::kMediaPlaySpotify);
  if (!IsInstalled(kQuickTimeBundleId)) return;  // the guess stays as it is
  // Flips on every offer, frontmost or not; the first one after start pauses.
  const platform::ScriptText& quickTime =
      bquicktime ? scripts::kMediaPlayQuickTimePlay : scripts::kMediaPlayQuickTimePause;
  bquicktime = !bquicktime;
  platform::GetScripts().Run(quickTime);
}

void MediaNext() {
  RunIfInstalled(kITunesBundleId, scripts::kMediaNextITunes);
  RunIfInstalled(kVlcBundleId, scripts::kMediaNextVlc);
  RunIfInstalled(kSpotifyBundleId, scripts::kMediaNextSpotify);
  RunIfInstalled(kQuickTimeBundleId, scripts::kMediaNextQuickTime);
}

void MediaPrev() {
  RunIfInstalled(kITunesBundleId, scripts::kMediaPrevITunes);
  RunIfInstalled(kVlcBundleId, scripts::kMediaPrevVlc);
  RunIfInstalled(kSpotifyBundleId, scripts::kMediaPrevSpotify);
  RunIfInstalled(kQuickTimeBundleId, scripts::kMediaPrevQuickTime);
}

void MediaVolumeUp() {
  RunIfInstalled(kITunesBundleId, scripts::kMediaVolumeUpITunes);
  RunIfInstalled(kVlcBundleId, scripts::kMediaVolumeUpVlc);
  RunIfInstalled(kSpotifyBundleId, scripts::kMediaVolumeUpSpotify);
}

void MediaVolumeDown() {
  RunIfInstalled(kITunesBundleId, scripts::kMediaVolumeDownITunes);
  RunIfInstalled(kVlcBundleId, scripts::kMediaVolumeDownVlc);
  RunIfInstalled(kSpotifyBundleId, scripts::kMediaVolumeDownSpotify);
  RunIfInstalled(kQuickTimeBundleId, scripts::kMediaVolumeDownQuickTime);
}

void setMediaPlay(int index) {
  switch (index) {
    case kQuickTimeIndex:
      QuickTimePlayPause();
      return;
    case kVlcIndex:
      RunIfInstalled(kVlcBundleId, scripts::kPlayerPlayVlc);
      Log("appPath vlc");  // written whether VLC is installed or not
      return;
    case kSpotifyIndex:
      RunIfInstalled(kSpotifyBundleId, scripts::kPlayerPlaySpotify);
      return;
    case kMPlayerXIndex:
      RunIfInstalled(kMPlayerXBundleId, scripts::kPlayerPlayMPlayerX);
      return;
    case kITunesIndex:
      RunIfInstalled(kITunesBundleId, scripts::kPlayerPlayITunes);
      return;
    case kFrontmostIndex:
      Post(shortcuts::kPlayerPlayKeys);
      return;
    default:
      return;
  }
}

void setMaxPlayer(int index) {
  switch (index) {
    case kQuickTimeIndex:
      QuickTimeFullScreen();
      return;
    case kVlcIndex:
      RunIfInstalled(kVlcBundleId, scripts::kPlayerMaxVlc);
      return;
    // The keystroke players are not checked for: keys harm nothing when they are absent.
    case kSpotifyIndex:
      Post(shortcuts::kPlayerMaxSpotify);
      return;
    case kMPlayerXIndex:
      Post(shortcuts::kPlayerMaxMPlayerX);
      return;
    case kITunesIndex:
      Post(shortcuts::kPlayerMaxITunes);
      return;
    case kFrontmostIndex:
      Post(shortcuts::kPlayerMaxKeys);
      return;
    default:
      return;
  }
}

void setPlayNext(int index) {
  static constexpr PerPlayer kNext{&scripts::kPlayerNextQuickTime, &scripts::kPlayerNextVlc,
                                   &scripts::kPlayerNextSpotify, &scripts::kPlayerNextMPlayerX,
                                   &scripts::kPlayerNextITunes};
  if (index == kFrontmostIndex)
    Post(shortcuts::kPlayerNextKeys);
  else
    RunForPlayer(index, kNext);
}

void setPlayPre(int index) {
  static constexpr PerPlayer kPrev{&scripts::kPlayerPrevQuickTime, &scripts::kPlayerPrevVlc,
                                   &scripts::kPlayerPrevSpotify, &scripts::kPlayerPrevMPlayerX,
                                   &scripts::kPlayerPrevITunes};
  if (index == kFrontmostIndex)
    Post(shortcuts::kPlayerPrevKeys);
  else
    RunForPlayer(index, kPrev);
}

void ResetPlayerStateGuesses() {
  isQuicktimePlay = false;
  isQuicktimeMax = false;
  bquicktime = false;
}

}  // namespace hovra::actions
