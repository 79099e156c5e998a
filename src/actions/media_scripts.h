// The media players' scripts. The generic ones ("Media...") act only when their player is
// the frontmost process; the player ones ("Player...") address the player directly.
#pragma once

#include "platform/script_services.h"

namespace hovra::actions::scripts {

// clang-format off
inline constexpr platform::ScriptText kMediaPlayITunes{
    "MediaPlay.iTunes",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"iTunes\") then\n  tell application \"iTunes\" to playpause\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaPlayVlc{
    "MediaPlay.VLC",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"VLC\") then\n  tell application \"VLC\" to play\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaPlaySpotify{
    "MediaPlay.Spotify",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Spotify\") then\n  tell application \"Spotify\" to playpause\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaPlayQuickTimePause{
    "MediaPlay.QuickTime.Pause",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"QuickTime Player\") then\n  tell application \"QuickTime Player\" to pause front document\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaPlayQuickTimePlay{
    "MediaPlay.QuickTime.Play",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"QuickTime Player\") then\n  tell application \"QuickTime Player\" to play front document\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaNextITunes{
    "MediaNext.iTunes",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"iTunes\") then\n  tell application \"iTunes\" to next track\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaNextVlc{
    "MediaNext.VLC",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"VLC\") then\n  tell application \"VLC\" to next\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaNextSpotify{
    "MediaNext.Spotify",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Spotify\") then\n  tell application \"Spotify\" to next track\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaNextQuickTime{
    "MediaNext.QuickTime",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"QuickTime Player\") then\n  tell application \"QuickTime Player\" to step forward front document\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaPrevITunes{
    "MediaPrev.iTunes",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"iTunes\") then\n  tell application \"iTunes\" to previous track\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaPrevVlc{
    "MediaPrev.VLC",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"VLC\") then\n  tell application \"VLC\" to previous\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaPrevSpotify{
    "MediaPrev.Spotify",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Spotify\") then\n  tell application \"Spotify\" to previous track\n  tell application \"Spotify\" to previous track\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaPrevQuickTime{
    "MediaPrev.QuickTime",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"QuickTime Player\") then\n  tell application \"QuickTime Player\" to step backward front document\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaVolumeUpITunes{
    "MediaVolumeUp.iTunes",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"iTunes\") then\n  tell application \"iTunes\" to set sound volume to sound volume + 10\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaVolumeUpVlc{
    "MediaVolumeUp.VLC",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"VLC\") then\n  tell application \"VLC\" to volumeUp\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaVolumeUpSpotify{
    "MediaVolumeUp.Spotify",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Spotify\") then\n  tell application \"Spotify\" to set sound volume to sound volume + 10\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaVolumeDownITunes{
    "MediaVolumeDown.iTunes",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"iTunes\") then\n  tell application \"iTunes\" to set sound volume to sound volume - 10\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaVolumeDownVlc{
    "MediaVolumeDown.VLC",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"VLC\") then\n  tell application \"VLC\" to volumeDown\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaVolumeDownSpotify{
    "MediaVolumeDown.Spotify",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Spotify\") then\n  tell application \"Spotify\" to set sound volume to sound volume - 10\n end if\nend tell\n"};
inline constexpr platform::ScriptText kMediaVolumeDownQuickTime{
    "MediaVolumeDown.QuickTime",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"QuickTime Player\") then\n  tell application \"QuickTime Player\" to set sound volume to sound volume - 10\n end if\nend tell\n"};

inline constexpr platform::ScriptText kPlayerPlayQuickTimePause{
    "PlayerPlay.QuickTime.Pause",
    "tell application \"QuickTime Player\" to pause front document\n"};
inline constexpr platform::ScriptText kPlayerPlayQuickTimePlay{
    "PlayerPlay.QuickTime.Play", "tell application \"QuickTime Player\" to play front document\n"};
inline constexpr platform::ScriptText kPlayerPlayVlc{
    "PlayerPlay.VLC",
    "tell application \"System Events\"\n  tell application \"VLC\" to play\nend tell\n"};
inline constexpr platform::ScriptText kPlayerPlaySpotify{
    "PlayerPlay.Spotify",
    "tell application \"System Events\"\n  tell application \"Spotify\" to playpause\nend tell\n"};
inline constexpr platform::ScriptText kPlayerPlayMPlayerX{
    "PlayerPlay.MPlayerX", "tell application \"MPlayerX\" to playpause\n"};
inline constexpr platform::ScriptText kPlayerPlayITunes{
    "PlayerPlay.iTunes", "tell application \"iTunes\" to playpause\n"};

inline constexpr platform::ScriptText kPlayerNextQuickTime{
    "PlayerNext.QuickTime",
    "tell application \"QuickTime Player\" to step forward front document\n"};
inline constexpr platform::ScriptText kPlayerNextVlc{"PlayerNext.VLC",
                                                     "tell application \"VLC\" to next\n"};
inline constexpr platform::ScriptText kPlayerNextSpotify{
    "PlayerNext.Spotify", "tell application \"Spotify\" to next track\n"};
inline constexpr platform::ScriptText kPlayerNextMPlayerX{
    "PlayerNext.MPlayerX", "tell application \"MPlayerX\" to goto next episode\n"};
inline constexpr platform::ScriptText kPlayerNextITunes{
    "PlayerNext.iTunes", "tell application \"iTunes\" to next track\n"};

// QuickTime's has no final line feed.
inline constexpr platform::ScriptText kPlayerPrevQuickTime{
    "PlayerPrev.QuickTime",
    "tell application \"QuickTime Player\" to step backward front document"};
inline constexpr platform::ScriptText kPlayerPrevVlc{"PlayerPrev.VLC",
                                                     "tell application \"VLC\" to previous\n"};
inline constexpr platform::ScriptText kPlayerPrevSpotify{
    "PlayerPrev.Spotify", "tell application \"Spotify\" to previous track\n"};
inline constexpr platform::ScriptText kPlayerPrevMPlayerX{
    "PlayerPrev.MPlayerX", "tell application \"MPlayerX\" to goto previous episode\n"};
inline constexpr platform::ScriptText kPlayerPrevITunes{
    "PlayerPrev.iTunes", "tell application \"iTunes\" to previous track\n"};

inline constexpr platform::ScriptText kPlayerMaxQuickTime{
    "PlayerMax.QuickTime", "tell application \"QuickTime Player\" to present front document\n"};
inline constexpr platform::ScriptText kPlayerMaxVlc{"PlayerMax.VLC",
                                                    "tell application \"VLC\" to fullscreen\n"};
// clang-format on

}  // namespace hovra::actions::scripts
