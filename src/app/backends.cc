#include "app/backends.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/journal/journal_backend.h"
#include "platform/run_loop.h"
#if HOVRA_HAVE_X11
#include "platform/x11/x11_events.h"
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

std::unique_ptr<platform::EventServices> MakeInput(const std::string& name, std::string& error) {
#if HOVRA_HAVE_X11
  if (name == "x11") {
    auto events = platform::x11::OpenX11Events(nullptr);
    if (!events) error = "no X display with the XTEST extension (is DISPLAY set?)";
    return events;
  }
#endif
  error = "the " + name + " input backend is not part of this build";
  return nullptr;
}

}  // namespace

BuiltBackends ThisBuild() {
  BuiltBackends built;
#if HOVRA_HAVE_X11
  built.x11 = true;
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

  if (choice.input.name != "journal") {
    b->input_ = MakeInput(choice.input.name, error);
    if (!b->input_) return nullptr;
    b->services_.events = b->input_.get();
  }
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
    b->loop_ = &b->tray_->Loop();
  }
#endif
  // The linux desktop brings its own main loop (GLib) when it comes.
  if (!b->loop_) {
    b->mainLoop_ = std::make_unique<platform::RunLoop>();
    b->loop_ = b->mainLoop_.get();
  }
  b->services_.mainQueue = b->loop_;
  return b;
}

Backends::~Backends() {
  mainLoop_.reset();
  tray_.reset();  // its windows and loop before the QApplication they belong to
}

}  // namespace hovra::app
