// The simulated desktop behind the journal backend: screens, pointer, buttons, installed
// and running applications and host facts, configured from a JSON file (--sim).
// Posted mouse events move the pointer; --sim-control notices change the running list.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/geometry.h"
#include "platform/workspace.h"

namespace hovra::platform::journal {

struct SimConfig {
  std::vector<Rect> screens{Rect{0, 0, 1920, 1080}};
  std::optional<Point> pointer;  // screen space; the main screen's centre when absent
  std::optional<std::string> machineName, osVersion, userName, home;
  std::optional<std::vector<std::string>> addresses;
  std::map<std::string, std::string> installed;  // bundle identifier -> path
  std::vector<RunningApp> running;
  std::string dockPlist;
  std::map<std::string, std::vector<std::string>> icons;  // application path -> PNG files

  // Throws std::runtime_error naming what is wrong.
  static SimConfig Parse(std::string_view json);
  static SimConfig Load(const std::string& path);
};

class SimDesktop {
 public:
  explicit SimDesktop(SimConfig config);

  const SimConfig& Config() const { return config_; }
  std::vector<Rect> Screens() const;

  Point Pointer() const;  // screen space
  Point PointerInEventSpace() const;
  // Moves the pointer to an event-space position, converted the global way.
  void MovePointerToEventPosition(Point eventPosition);
  uint32_t PressedButtons() const;
  void SetLeftButton(bool down);

  std::vector<RunningApp> Running() const;
  // Keeps the running list in step with a workspace notice.
  void ApplyNotice(const WorkspaceEvent& event);

 private:
  Rect Main() const;

  SimConfig config_;
  mutable std::mutex mutex_;
  Point pointer_;
  uint32_t buttons_ = 0;
  std::vector<RunningApp> running_;
};

}  // namespace hovra::platform::journal
