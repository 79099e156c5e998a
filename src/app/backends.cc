#include "app/backends.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/log.h"
#include "platform/journal/journal_backend.h"
#include "platform/run_loop.h"
#if HOVRA_HAVE_X11
#include "platform/x11/x11_events.h"
#endif
#if HOVRA_HAVE_MACOS
#include "platform/macos/mac_application.h"
#endif
#if HOVRA_HAVE_LINUX_INPUT
#include "platform/linux/shortcuts/linux_input.h"
#endif
#if HOVRA_HAVE_LINUX_DESKTOP
#include "platform/linux/loop/glib_main_loop.h"
#include "platform/linux/services/linux_services.h"
#include "platform/linux/workspace/open_workspace.h"
#endif
#if HOVRA_HAVE_PORTAL
#include "platform/portal/portal_events.h"
#include "platform/services.h"
#endif
#if HOVRA_HAVE_WAYLAND
#include "platform/wayland/foreign_toplevels.h"
#include "platform/wayland/wayland_connection.h"
#include "platform/wayland/wayland_events.h"
#include "platform/wayland/window_notices.h"
#endif
#if HOVRA_HAVE_QT_TRAY
#include "platform/qt/tray_backend.h"
#include "platform/qt/tray_probe.h"
#endif

namespace hovra::app {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// DBUS_SESSION_BUS_ADDRESS, or the bus socket systemd puts in the runtime folder.
std::string SessionBusAddress() {
  std::string address = Env("DBUS_SESSION_BUS_ADDRESS");
  if (!address.empty()) return address;
  std::string runtime = Env("XDG_RUNTIME_DIR");
  struct stat st {};
  if (!runtime.empty() && ::stat((runtime + "/bus").c_str(), &st) == 0 && S_ISSOCK(st.st_mode)) {
    return "unix:path=" + runtime + "/bus";
  }
  return "";
}

std::unique_ptr<platform::journal::JournalBackend> MakeJournal(const Options& options,
                                                               std::string& error) {
  using platform::journal::JournalWriter;
  auto journal = options.journalPath == "none" ? JournalWriter::Discarding()
                                               : JournalWriter::OpenFile(options.journalPath);
  if (!journal) {
    error = "cannot open the journal " + options.journalPath + ": " + std::strerror(errno);
    return nullptr;
  }
  platform::journal::SimConfig config;
  if (options.simPath) {
    try {
      config = platform::journal::SimConfig::Load(*options.simPath);
    } catch (const std::exception& e) {
      error = "bad simulated desktop " + *options.simPath + ": " + e.what();
      return nullptr;
    }
  }
  return std::make_unique<platform::journal::JournalBackend>(std::move(journal), std::move(config));
}

// A Linux input backend takes the desktop's shortcuts for the named sequences and maps
// the Command key (the journal never does: its lines stay the macOS events).
std::unique_ptr<platform::EventServices> OnLinux(std::unique_ptr<platform::EventServices> input,
                                                 [[maybe_unused]] const Options& options) {
#if HOVRA_HAVE_LINUX_INPUT
  if (input) {
    using platform::linux_desktop::CommandKey;
    return std::make_unique<platform::linux_desktop::LinuxInput>(
        std::move(input),
        options.commandKey == "super" ? CommandKey::kSuper : CommandKey::kControl);
  }
#endif
  return input;
}

std::unique_ptr<platform::EventServices> MakeInput(const std::string& name, std::string& error) {
#if HOVRA_HAVE_X11
  if (name == "x11") {
    auto events = platform::x11::OpenX11Events(nullptr);
    if (!events) error = "no X display with the XTEST extension (is DISPLAY set?)";
    return events;
  }
#endif
#if HOVRA_HAVE_WAYLAND
  if (name == "wayland") {
    auto events = platform::wayland::OpenWaylandEvents("");
    if (!events) {
      error =
          "no Wayland compositor with the virtual pointer and keyboard (is WAYLAND_DISPLAY set?)";
    }
    return events;
  }
#endif
#if HOVRA_HAVE_PORTAL
  if (name == "portal") {
    auto events = platform::portal::PortalEvents::Open(SessionBusAddress());
    if (!events) error = "no desktop portal with remote desktop input on the session bus";
    return events;
  }
#endif
  error = "the " + name + " input backend is not part of this build";
  return nullptr;
}

#if HOVRA_HAVE_WAYLAND
// A wlroots compositor's windows (named by app id), for the running and frontmost
// applications and the window shortcuts; null where the compositor lists them to no client.
std::unique_ptr<platform::linux_desktop::WindowTracker> OpenWaylandWindows(
    platform::MainLoop& mainLoop) {
  if (!platform::wayland::WaylandHasForeignToplevels("")) {
    Log("this Wayland compositor lists its windows to no client: the running and frontmost "
        "applications are not followed");
    return nullptr;
  }
  return std::make_unique<platform::wayland::ForeignToplevelTracker>("", mainLoop);
}

// With the journal desktop, the journal's running and frontmost applications follow them.
void FeedJournal(platform::linux_desktop::WindowTracker& windows,
                 platform::journal::JournalBackend& journal) {
  auto notices = std::make_shared<platform::wayland::WindowNotices>();
  windows.Start([&journal, notices](const platform::linux_desktop::WindowSnapshot& snapshot) {
    for (const platform::WorkspaceEvent& event : notices->Next(snapshot)) {
      journal.Workspace().Notify(event);
    }
  });
}
#endif

#if HOVRA_HAVE_PORTAL
// The portal asks the user once the main loop runs, when the settings (which keep the
// portal's restore token) are in place; what the user must know is shown on the main thread.
void BeginPortal(platform::portal::PortalEvents& portal, platform::MainLoop& mainLoop) {
  mainLoop.Post([&portal, &mainLoop] {
    using platform::portal::kRestoreTokenSetting;
    portal.Begin(
        {[] { return platform::GetSettings().GetString(kRestoreTokenSetting).value_or(""); },
         [](const std::string& token) {
           platform::GetSettings().SetString(kRestoreTokenSetting, token);
           platform::GetSettings().Synchronize();
         },
         [&mainLoop](const std::string& message) {
           mainLoop.Post([message] { platform::GetUi().ShowMessage(message); });
         }});
  });
}
#endif

}  // namespace

BuiltBackends ThisBuild() {
  BuiltBackends built;
#if HOVRA_HAVE_X11
  built.x11 = true;
#endif
#if HOVRA_HAVE_MACOS
  built.macos = true;
#endif
#if HOVRA_HAVE_LINUX_DESKTOP
  built.linuxDesktop = true;
#endif
#if HOVRA_HAVE_WAYLAND
  built.wayland = true;
#endif
#if HOVRA_HAVE_PORTAL
  built.portal = true;
#endif
#if HOVRA_HAVE_QT_TRAY
  built.tray = true;
#endif
  return built;
}

SessionFacts SessionFactsFromEnvironment() {
  SessionFacts facts;
  facts.sessionType = Env("XDG_SESSION_TYPE");
  facts.waylandDisplay = Env("WAYLAND_DISPLAY");
  facts.x11Display = Env("DISPLAY");
  facts.sessionBus = SessionBusAddress();
#if HOVRA_HAVE_X11
  facts.x11HasXTest = [] { return platform::x11::OpenX11Events(nullptr) != nullptr; };
#endif
#if HOVRA_HAVE_WAYLAND
  facts.waylandHasVirtualInput = [] { return platform::wayland::WaylandHasVirtualInput(""); };
#endif
#if HOVRA_HAVE_PORTAL
  facts.portalHasRemoteDesktop = [bus = facts.sessionBus] {
    return platform::portal::PortalHasRemoteDesktop(bus);
  };
#endif
#if HOVRA_HAVE_QT_TRAY
  facts.trayHostPresent = [bus = facts.sessionBus, display = facts.x11Display] {
    return platform::qt::TrayHostPresent(bus, display);
  };
#endif
  return facts;
}

std::unique_ptr<Backends> Backends::Assemble(const Options& options, const BackendChoice& choice,
                                             std::string& error) {
  std::unique_ptr<Backends> b(new Backends);
  b->journal_ = MakeJournal(options, error);
  if (!b->journal_) return nullptr;
  b->journal_->Provide(b->services_);

  if (choice.input.name != "journal" && choice.input.name != "macos") {
    b->input_ = MakeInput(choice.input.name, error);
    if (!b->input_) return nullptr;
  }
#if HOVRA_HAVE_PORTAL
  auto* portal = dynamic_cast<platform::portal::PortalEvents*>(b->input_.get());
#endif
  b->input_ = OnLinux(std::move(b->input_), options);
  if (b->input_) b->services_.events = b->input_.get();
#if HOVRA_HAVE_MACOS
  // The Mac's seams come from the application, whose run loop is then the main loop.
  if (choice.input.name == "macos" || choice.desktop.name == "macos" || choice.ui.name == "macos") {
    auto mac = std::make_unique<platform::macos::MacApplication>();
    if (choice.input.name == "macos") mac->ProvideInput(b->services_);
    if (choice.desktop.name == "macos") mac->ProvideDesktop(b->services_);
    if (choice.ui.name == "macos") mac->ProvideUi(b->services_);
    if (choice.input.name == "macos") mac->AskForAccessibility();
    b->services_.mainQueue = mac.get();
    b->loop_ = mac.get();
    b->mainLoop_ = std::move(mac);
    return b;
  }
#endif
#if HOVRA_HAVE_QT_TRAY
  if (choice.ui.name == "tray") {
    b->tray_ = platform::qt::TrayBackend::Open(error);
    if (!b->tray_) return nullptr;
    // The journal still records every message, whichever way it is shown.
    b->tray_->SetNoticeRecord(
        [ui = b->services_.ui](std::string_view message, std::string_view url) {
          ui->ShowNotificationPanel(message, url);
        });
    b->services_.ui = &b->tray_->Ui();
    b->loop_ = &b->tray_->Loop();  // Qt's loop dispatches GLib's default context too
  }
#endif
  if (!b->loop_) {
#if HOVRA_HAVE_LINUX_DESKTOP
    // D-Bus replies and signals, settings and window changes arrive on the main thread's
    // GLib loop.
    if (choice.desktop.name == "linux") {
      b->mainLoop_ = std::make_unique<platform::linux_desktop::GlibMainLoop>();
    }
#endif
    if (!b->mainLoop_) b->mainLoop_ = std::make_unique<platform::RunLoop>();
    b->loop_ = b->mainLoop_.get();
  }
  b->services_.mainQueue = b->loop_;

  std::unique_ptr<platform::linux_desktop::WindowTracker> compositorWindows;
#if HOVRA_HAVE_WAYLAND
  const bool waylandInput = choice.input.name == "wayland" || choice.input.name == "portal";
  if (waylandInput && !Env("WAYLAND_DISPLAY").empty())
    compositorWindows = OpenWaylandWindows(*b->loop_);
  if (compositorWindows && choice.desktop.name == "journal") {
    FeedJournal(*compositorWindows, *b->journal_);
    b->windows_ = std::move(compositorWindows);
  }
#endif
#if HOVRA_HAVE_LINUX_DESKTOP
  if (choice.desktop.name == "linux") {
    // Applications, Dock, windows, icons and host, and the scripts that launch and open;
    // the journal still records what is asked.
    b->linuxWorkspace_ = platform::linux_desktop::OpenLinuxWorkspace(
        b->journal_->Workspace(), *b->services_.scripts, std::move(compositorWindows));
    b->linuxWorkspace_->Provide(b->services_);
    // Sound, media players, power, screen capture and notices, after the workspace's scripts.
    auto desktop = std::make_shared<platform::linux_desktop::LinuxServices>(*b->services_.scripts,
                                                                            *b->services_.ui);
    desktop->UseApps(&b->linuxWorkspace_->Apps());
    desktop->Start();
    b->services_.scripts = &desktop->Scripts();
    if (choice.ui.name == "headless") b->services_.ui = &desktop->Ui();
#if HOVRA_HAVE_QT_TRAY
    // The tray shows messages as desktop notifications where a notification service runs.
    if (b->tray_) {
      b->tray_->SetDesktopNotices(
          [desktop = desktop.get()](std::string_view message, std::string_view url) {
            if (!desktop->Notifier().ServiceReachable()) return false;
            desktop->Notifier().Show(message, url);
            return true;
          });
    }
#endif
#if HOVRA_HAVE_LINUX_INPUT
    if (auto* input = dynamic_cast<platform::linux_desktop::LinuxInput*>(b->input_.get())) {
      input->UseWindows(b->linuxWorkspace_->Windows());  // minimise, maximise, show desktop
    }
#endif
    b->linuxDesktop_ = std::move(desktop);
  }
#endif
#if HOVRA_HAVE_PORTAL
  if (portal) BeginPortal(*portal, *b->loop_);
#endif
  return b;
}

Backends::~Backends() {
  // What runs on the loop ends before it; the tray's windows and loop go before the
  // QApplication they belong to.
  windows_.reset();
  linuxDesktop_.reset();
  linuxWorkspace_.reset();
  mainLoop_.reset();
  tray_.reset();
}

}  // namespace hovra::app
