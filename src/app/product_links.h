// Every address the program opens or names for the user, in one place: the client apps'
// store pages, the product's web site and Facebook page, the installer, the support mail.
#pragma once

namespace hovra::app {

inline constexpr const char* kAndroidTaplumeProUrl =
    "https://play.google.com/store/apps/details?id=example.taplume.pro";
inline constexpr const char* kAndroidTaplumeUrl =
    "https://play.google.com/store/apps/details?id=example.taplume";
inline constexpr const char* kIosTaplumeProUrl =
    "https://apps.apple.com/app/taplume-pro/id1000000001";
inline constexpr const char* kIosTaplumeUrl = "https://apps.apple.com/app/taplume/id1000000002";
inline constexpr const char* kIosTaplumeHdUrl =
    "https://apps.apple.com/app/taplume-hd/id1000000003";
inline constexpr const char* kIosTaplumeHdFreeUrl =
    "https://apps.apple.com/app/taplume-hd-free/id1000000004";
inline constexpr const char* kWebsiteUrl = "http://www.hovra.example/";
inline constexpr const char* kFacebookUrl = "https://www.facebook.com/hovra.example";
inline constexpr const char* kInstallerPackageUrl =
    "http://www.hovra.example/download/HovraServer-latest.tar.gz";
inline constexpr const char* kSupportMailAddress = "support@hovra.example";
inline constexpr const char* kSupportMailSubject = "Taplume Support";

}  // namespace hovra::app
