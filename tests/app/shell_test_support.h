// Helpers of the shell tests: a temporary folder removed afterwards, the installed
// settings store or user interface swapped for the test's, and small file helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/services.h"

namespace hovra::testing {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "hovra-shell-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Installs one service in place of the current one for the scope's lifetime.
class ScopedServices {
 public:
  explicit ScopedServices(platform::SettingsStore* settings) {
    platform::Services next = platform::Current();
    next.settings = settings;
    previous_ = platform::Install(next);
  }
  explicit ScopedServices(platform::UserInterface* ui) {
    platform::Services next = platform::Current();
    next.ui = ui;
    previous_ = platform::Install(next);
  }
  ~ScopedServices() { platform::Install(previous_); }
  ScopedServices(const ScopedServices&) = delete;
  ScopedServices& operator=(const ScopedServices&) = delete;

 private:
  platform::Services previous_;
};

// A user interface that records alerts and answers them from a script.
class RecordingUi : public platform::UserInterface {
 public:
  struct Alert {
    std::string message;
    std::string informative;
    std::vector<std::string> buttons;
  };
  void ShowNotificationPanel(std::string_view, std::string_view) override {}
  void CloseNotificationPanel() override {}
  bool IsNotificationPanelVisible() override { return false; }
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  int RunAlert(std::string_view message, std::string_view informative,
               const std::vector<std::string_view>& buttons) override {
    alerts.push_back({std::string(message), std::string(informative),
                      std::vector<std::string>(buttons.begin(), buttons.end())});
    return answer;
  }
  void SetAutoStartMark(bool on) override { marks.push_back(on); }

  int answer = 1000;
  std::vector<Alert> alerts;
  std::vector<std::string> messages;
  std::vector<bool> marks;
};

inline std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void WriteFile(const std::filesystem::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
}

}  // namespace hovra::testing
