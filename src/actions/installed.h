// The bundle identifiers the actions look for, and the one installed check they share:
// an application counts as installed when the workspace knows a path for it. Whether it
// is running is never looked at.
#pragma once

#include <string_view>

#include "platform/services.h"

namespace hovra::actions {

inline constexpr std::string_view kSafariBundleId = "com.apple.Safari";
inline constexpr std::string_view kChromeBundleId = "com.google.Chrome";
inline constexpr std::string_view kQuickTimeBundleId = "com.apple.QuickTimePlayerX";
inline constexpr std::string_view kVlcBundleId = "org.videolan.vlc";
inline constexpr std::string_view kSpotifyBundleId = "com.spotify.client";
inline constexpr std::string_view kMPlayerXBundleId = "org.niltsh.MPlayerX";
inline constexpr std::string_view kITunesBundleId = "com.apple.iTunes";
inline constexpr std::string_view kKeynoteBundleId = "com.apple.iWork.Keynote";
inline constexpr std::string_view kPowerPointBundleId = "com.microsoft.Powerpoint";

inline bool IsInstalled(std::string_view bundleId) {
  return !platform::GetWorkspace().AbsolutePathForAppBundle(bundleId).empty();
}

// Runs the script when the application is installed.
inline void RunIfInstalled(std::string_view bundleId, const platform::Script& script) {
  if (IsInstalled(bundleId)) platform::GetScripts().Run(script);
}

}  // namespace hovra::actions
