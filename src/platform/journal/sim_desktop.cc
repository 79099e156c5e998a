#include "platform/journal/sim_desktop.h"

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

namespace hovra::platform::journal {
namespace {

using nlohmann::json;

std::optional<std::string> OptionalText(const json& root, const char* key) {
  if (!root.contains(key)) return std::nullopt;
  return root.at(key).get<std::string>();
}

RunningApp ParseRunningApp(const json& item) {
  RunningApp app;
  app.bundleId = item.value("bundleId", "");
  app.name = item.value("name", "");
  app.policy = item.value("policy", kActivationPolicyRegular);
  return app;
}

}  // namespace

SimConfig SimConfig::Parse(std::string_view text) {
  SimConfig config;
  try {
    json root = json::parse(text);
    if (!root.is_object()) throw std::runtime_error("the simulated desktop must be a JSON object");
    if (root.contains("screens")) {
      config.screens.clear();
      for (const json& s : root.at("screens")) {
        if (!s.is_array() || s.size() != 4)
          throw std::runtime_error("a screen is [x, y, width, height]");
        config.screens.push_back(
            Rect{s[0].get<double>(), s[1].get<double>(), s[2].get<double>(), s[3].get<double>()});
      }
    }
    if (root.contains("pointer")) {
      const json& p = root.at("pointer");
      if (!p.is_array() || p.size() != 2) throw std::runtime_error("the pointer is [x, y]");
      config.pointer = Point{p[0].get<double>(), p[1].get<double>()};
    }
    config.machineName = OptionalText(root, "machineName");
    config.osVersion = OptionalText(root, "osVersion");
    config.userName = OptionalText(root, "userName");
    config.home = OptionalText(root, "home");
    if (root.contains("addresses"))
      config.addresses = root.at("addresses").get<std::vector<std::string>>();
    if (root.contains("installed")) {
      config.installed = root.at("installed").get<std::map<std::string, std::string>>();
    }
    if (root.contains("running")) {
      for (const json& item : root.at("running")) config.running.push_back(ParseRunningApp(item));
    }
    config.dockPlist = root.value("dockPlist", "");
    if (root.contains("icons")) {
      config.icons = root.at("icons").get<std::map<std::string, std::vector<std::string>>>();
    }
  } catch (const json::exception& e) {
    throw std::runtime_error(e.what());
  }
  return config;
}

SimConfig SimConfig::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::stringstream text;
  text << in.rdbuf();
  return Parse(text.str());
}

SimDesktop::SimDesktop(SimConfig config) : config_(std::move(config)), running_(config_.running) {
  Rect main = Main();
  pointer_ = config_.pointer.value_or(Point{main.x + main.width / 2, main.y + main.height / 2});
}

Rect SimDesktop::Main() const { return config_.screens.empty() ? Rect{} : config_.screens.front(); }

std::vector<Rect> SimDesktop::Screens() const { return config_.screens; }

Point SimDesktop::Pointer() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return pointer_;
}

Point SimDesktop::PointerInEventSpace() const {
  Rect main = Main();
  std::lock_guard<std::mutex> lock(mutex_);
  return Point{pointer_.x, main.y + main.height - pointer_.y};
}

void SimDesktop::MovePointerToEventPosition(Point eventPosition) {
  Rect main = Main();
  std::lock_guard<std::mutex> lock(mutex_);
  pointer_ = Point{eventPosition.x, main.y + main.height - eventPosition.y};
}

uint32_t SimDesktop::PressedButtons() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return buttons_;
}

void SimDesktop::SetLeftButton(bool down) {
  std::lock_guard<std::mutex> lock(mutex_);
  buttons_ = down ? (buttons_ | 1u) : (buttons_ & ~1u);
}

std::vector<RunningApp> SimDesktop::Running() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return running_;
}

void SimDesktop::ApplyNotice(const WorkspaceEvent& event) {
  if (!event.app) return;
  std::lock_guard<std::mutex> lock(mutex_);
  const RunningApp& app = *event.app;
  auto same = [&](const RunningApp& r) { return r.bundleId == app.bundleId; };
  auto found = std::find_if(running_.begin(), running_.end(), same);
  switch (event.kind) {
    case WorkspaceEventKind::kLaunched:
    case WorkspaceEventKind::kActivated:
    case WorkspaceEventKind::kDeactivated:
      if (found == running_.end()) {
        running_.push_back(app);
      } else {
        *found = app;  // a notice may carry a changed activation policy
      }
      break;
    case WorkspaceEventKind::kTerminated:
      if (found != running_.end()) running_.erase(found);
      break;
    case WorkspaceEventKind::kWoke:
    case WorkspaceEventKind::kDockChanged:
      break;
  }
}

}  // namespace hovra::platform::journal
