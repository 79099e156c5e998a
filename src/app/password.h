// The installation identifier and the client PIN, kept in the settings store:
//   loadConfig / saveConfig  - "UUID", made once and kept;
//   onPasswordCheck(on)      - protection on draws a new PIN (digits 1 to 9) and stores it
//                              with "passwordCheck" true; off stores only false;
//   isPasswordProtection, md5CheckSum, verifyPassword - what the server asks per client.
// Everything goes through platform::GetSettings(), read fresh on every call.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace hovra::app {

inline constexpr const char* kUuidKey = "UUID";
inline constexpr const char* kPasswordKey = "password";
inline constexpr const char* kPasswordCheckKey = "passwordCheck";

// The stored identifier; when there is none, a new one from `makeUuid` is saved first.
std::string loadConfig(const std::function<std::string()>& makeUuid);
std::string loadConfig();  // with catalogue::UUIDString
void saveConfig(const std::string& uuid);

// Four uniform draws 0..8 from the system's random source, as a*1000+b*100+c*10+d+1111;
// nothing when the source fails.
std::optional<int> DrawPin();

// The check box of the password window. On: stores "passwordCheck" true and a new PIN
// and returns it (nothing, and no change, when no PIN could be drawn). Off: stores false
// and keeps the PIN.
std::optional<int> onPasswordCheck(bool on);

// The same, saying whether the change reached the settings file. A new PIN and the flag
// are written as one replacement: nothing (a crash included) can leave protection on
// with the old PIN.
struct PasswordChange {
  std::optional<int> pin;  // on: the new PIN; nothing when none could be drawn
  bool saved = false;
  std::string error;  // in words for the user when not saved
};
PasswordChange SetPasswordProtection(bool on);

bool isPasswordProtection();
std::string md5CheckSum();  // 32 lower-case hex digits of MD5 over the PIN's "%ld" text

// Where an answer came from, for the line a wrong answer is logged with (the PIN and its
// digest never are). The server fills in what it knows; an empty address is left out.
struct PinAnswerSource {
  std::string address;
  int wrongAnswers = 0;  // from that source so far, this one included; 0 when not counted
};
bool verifyPassword(const char* text, const PinAnswerSource& source = {});
// Lets a test see the wrong-answer lines from the first one, whatever ran before it.
void ResetWrongAnswerLogForTesting();

// 32 lower-case hex digits of the MD5 digest of `data`.
std::string Md5Hex(const std::string& data);

}  // namespace hovra::app
