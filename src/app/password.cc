#include "app/password.h"

#include <openssl/evp.h>
#include <openssl/rand.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

#include "base/log.h"
#include "base/printable.h"
#include "base/rate_limit.h"
#include "catalogue/uuid_string.h"
#include "platform/services.h"

namespace hovra::app {
namespace {

constexpr int kPinDigits = 4;
constexpr int kDigitChoices = 9;  // each digit is a draw 0..8 plus one
// Bytes at or above this are redrawn, so that the remainder modulo 9 stays uniform.
constexpr unsigned kUniformByteLimit = 256 - 256 % kDigitChoices;

// A guessing run must not flood the log: a few lines at once, then one a second.
constexpr double kWrongPinLinesPerSecond = 1;
constexpr double kWrongPinLineBurst = 5;

std::unique_ptr<LineRateLimiter>& WrongAnswerLines() {
  static auto s_lines =
      std::make_unique<LineRateLimiter>(kWrongPinLinesPerSecond, kWrongPinLineBurst);
  return s_lines;
}

void LogWrongAnswer(const PinAnswerSource& source) {
  uint64_t held = 0;
  if (!WrongAnswerLines()->Allow(held)) return;
  std::string from = source.address.empty() ? "a client" : Printable(source.address);
  std::string count = source.wrongAnswers > 0
                          ? " (wrong answer " + std::to_string(source.wrongAnswers) + " from there)"
                          : "";
  std::string skipped =
      held > 0 ? "; " + std::to_string(held) + " more wrong answers were not logged" : "";
  Log("wrong PIN from %s%s%s", from.c_str(), count.c_str(), skipped.c_str());
}

std::optional<int> DrawDigit() {
  for (;;) {
    unsigned char byte = 0;
    if (RAND_bytes(&byte, 1) != 1) return std::nullopt;
    if (byte < kUniformByteLimit) return static_cast<int>(byte % kDigitChoices);
  }
}

}  // namespace

std::string loadConfig(const std::function<std::string()>& makeUuid) {
  if (std::optional<std::string> stored = platform::GetSettings().GetString(kUuidKey)) {
    return *stored;
  }
  std::string uuid = makeUuid();
  saveConfig(uuid);
  return uuid;
}

std::string loadConfig() { return loadConfig(catalogue::UUIDString); }

void saveConfig(const std::string& uuid) {
  platform::SettingsStore& settings = platform::GetSettings();
  settings.SetString(kUuidKey, uuid);
  settings.Synchronize();
}

std::optional<int> DrawPin() {
  int pin = 0;
  for (int i = 0; i < kPinDigits; ++i) {
    std::optional<int> digit = DrawDigit();
    if (!digit) return std::nullopt;
    pin = pin * 10 + *digit;
  }
  return pin + 1111;
}

PasswordChange SetPasswordProtection(bool on) {
  platform::SettingsStore& settings = platform::GetSettings();
  PasswordChange change;
  if (on) {
    // Drawn before anything is stored: protection never goes on without a fresh PIN.
    change.pin = DrawPin();
    if (!change.pin) {
      Log("cannot draw a PIN: the random source failed; protection left as it was");
      change.error = "no PIN could be drawn (the system's random source failed)";
      return change;
    }
    const std::array<platform::NamedSetting, 2> values = {
        platform::NamedSetting{kPasswordCheckKey, true},
        platform::NamedSetting{kPasswordKey, int64_t{*change.pin}}};
    settings.SetValues(values);
  } else {
    settings.SetBool(kPasswordCheckKey, false);
  }
  change.saved = settings.Synchronize();
  if (!change.saved) change.error = settings.LastWriteError();
  if (!change.saved && change.error.empty()) change.error = "the settings could not be saved";
  return change;
}

std::optional<int> onPasswordCheck(bool on) { return SetPasswordProtection(on).pin; }

bool isPasswordProtection() { return platform::GetSettings().GetBool(kPasswordCheckKey); }

std::string Md5Hex(const std::string& data) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(data.data(), data.size(), digest, &length, EVP_md5(), nullptr) != 1) {
    static LogOnce failed;
    if (failed.First()) Log("MD5 digest unavailable from OpenSSL");
    return {};  // matches no client's answer
  }
  std::string hex;
  hex.reserve(length * 2);
  for (unsigned int i = 0; i < length; ++i) {
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", digest[i]);
    hex += pair;
  }
  return hex;
}

std::string md5CheckSum() {
  long pin = static_cast<long>(platform::GetSettings().GetInteger(kPasswordKey));
  char text[32];
  std::snprintf(text, sizeof text, "%ld", pin);
  return Md5Hex(text);
}

void ResetWrongAnswerLogForTesting() {
  WrongAnswerLines() =
      std::make_unique<LineRateLimiter>(kWrongPinLinesPerSecond, kWrongPinLineBurst);
}

bool verifyPassword(const char* text, const PinAnswerSource& source) {
  std::string expected = md5CheckSum();
  const char* received = text != nullptr ? text : "";
  bool right = !expected.empty() && expected == received;
  if (!right) LogWrongAnswer(source);
  return right;
}

}  // namespace hovra::app
