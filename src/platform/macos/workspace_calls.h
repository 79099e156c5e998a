// The NSWorkspace calls the macOS workspace makes, with Foundation's objects turned into
// plain values by the Apple build's forwarders. Tests put a fake in their place.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hovra::platform::macos {

// What NSRunningApplication says of one application.
struct AppRecord {
  std::optional<std::string> bundleIdentifier;  // nil: none
  std::string localizedName;
  int64_t activationPolicy =
      0;  // NSApplicationActivationPolicy: 0 regular, 1 accessory, 2 prohibited
};

// One representation of an image, drawn at its pixel size into 8-bit RGBA with the
// colour premultiplied by alpha (the only RGBA layout a bitmap context draws into).
struct PremultipliedBitmap {
  int pixelsWide = 0;
  int pixelsHigh = 0;
  size_t bytesPerRow = 0;  // at least 4 * pixelsWide
  std::vector<uint8_t> bytes;
};

class WorkspaceCalls {
 public:
  virtual ~WorkspaceCalls() = default;

  // The path of URLForApplicationWithBundleIdentifier:, nothing when nil.
  virtual std::optional<std::string> PathForApplication(std::string_view bundleId) = 0;
  virtual std::vector<AppRecord> RunningApplications() = 0;
  // Observes the named notifications of the workspace's notification centre (in that
  // order), delivered on the main thread with the object under NSWorkspaceApplicationKey
  // (null when there is none). Replaces any earlier observation.
  using Observer = std::function<void(std::string_view name, const AppRecord* app)>;
  virtual void Observe(const std::vector<std::string>& names, Observer observer) = 0;
  virtual void StopObserving() = 0;
  // Every representation of iconForFile:.
  virtual std::vector<PremultipliedBitmap> IconForFile(std::string_view path) = 0;
  // openURL: with URLWithString:; false when the text is no URL or nothing opened it.
  virtual bool OpenURL(std::string_view url) = 0;
};

}  // namespace hovra::platform::macos
