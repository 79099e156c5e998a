// A hermetic desktop tree put into this process's environment before GIO first looks at it
// (each test runs in its own process), the journal as the recorder.
#pragma once

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <memory>

#include "platform/journal/journal_backend.h"
#include "platform/linux/apps/desktop_apps.h"
#include "platform/linux/apps/desktop_entries.h"
#include "platform/linux/workspace/linux_workspace.h"
#include "tests/support/desktop/service_process.h"
#include "tests/support/desktop/xdg_tree.h"

namespace hovra::testing {

using namespace platform::linux_desktop;

// A file manager, a browser, VLC (native), Spotify (Flatpak only) and recording handlers.
class DesktopTest : public ::testing::Test {
 protected:
  explicit DesktopTest(const std::vector<std::string>& favourites = {},
                       const std::string& iconTheme = "hicolor")
      : tree_(favourites, iconTheme),
        journal_(platform::journal::JournalWriter::InMemory(), platform::journal::SimConfig{}) {
    tree_.AddRecordingEntry("org.test.Files", "Files", "inode/directory;");
    tree_.AddEntry("org.gnome.Nautilus", {{"Name", "Nautilus"}});
    tree_.AddRecordingEntry("org.test.Browser", "Browser",
                            "x-scheme-handler/https;x-scheme-handler/http;");
    tree_.AddRecordingEntry("org.test.Viewer", "Viewer", "text/plain;");
    tree_.AddRecordingEntry("google-chrome", "Google Chrome", "x-scheme-handler/https;");
    tree_.AddEntry("vlc", {{"Name", "VLC media player"}, {"StartupWMClass", "vlc"}});
    tree_.AddEntry("com.spotify.Client", {{"Name", "Spotify"}});
    tree_.SetDefault("inode/directory", "org.test.Files");
    tree_.SetDefault("x-scheme-handler/https", "org.test.Browser");
    tree_.SetDefault("x-scheme-handler/http", "org.test.Browser");
    tree_.SetDefault("text/plain", "org.test.Viewer");
    tree_.ApplyToEnvironment();
  }

  platform::Workspace& Recorder() { return journal_.Workspace(); }

  XdgTree tree_;
  platform::journal::JournalBackend journal_;
};

}  // namespace hovra::testing
