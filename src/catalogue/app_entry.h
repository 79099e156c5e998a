// One application of the catalogue: a Dock item or a running regular application.
#pragma once

#include <optional>
#include <string>

namespace hovra::catalogue {

struct AppEntry {
  std::optional<std::string> name;      // the Dock tile's label, or the localised name
  std::optional<std::string> bundleId;  // the catalogue's key (exact, case-sensitive)
  std::optional<std::string> filePath;  // where it is installed; absent when not found
  bool running = false;                 // running as a regular application
  bool keepInDock = false;              // stays in the list when the application quits
  std::optional<std::string> icon;      // the icon message, made on first request
};

}  // namespace hovra::catalogue
