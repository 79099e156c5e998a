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

std::unique_ptr<platform::EventServices> MakeInput(const std::string& name, const Options& options,
                                                   std::string& error) {
#if HOVRA_HAVE_X11
  if (name == "x11") {
    auto events = platform::x11::OpenX11Events(nullptr);
    if (!events) error = "no X display with the XTEST extension (is DISPLAY set?)";
    return OnLinux(std::move(events), options);
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
#if HOVRA_HAVE_MACOS
  built.macos = true;
#endif
#if HOVRA_HAVE_LINUX_DESKTOP
  built.linuxDesktop = true;
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
  return facts;
}

std::unique_ptr<Backends> Backends::Assemble(const Options& options, const BackendChoice& choice,
                                             std::string& error) {
  std::unique_ptr<Backends> b(new Backends);
  b->journal_ = MakeJournal(options, error);
  if (!b->journal_) return nullptr;
  b->journal_->Provide(b->services_);

  if (choice.input.name != "journal" && choice.input.name != "macos") {
    b->input_ = MakeInput(choice.input.name, options, error);
    if (!b->input_) return nullptr;
    b->services_.events = b->input_.get();
  }
#if HOVRA_HAVE_MACOS
  // The Mac's seams come from the application, whose run loop is then the main loop.
  if (choice.input.name == "macos" || choice.desktop.name == "macos" || choice.ui.name == "macos") {
    auto mac = std::make_unique<platform::macos::MacApplication>();
    if (choice.input.name == "macos") mac->ProvideInput(b->services_);
    if (choice.desktop.name == "macos") mac->ProvideDesktop(b->services_);
    if (choice.ui.name == "macos") mac->ProvideUi(b->services_);
    if (choice.input.name == "macos") mac->AskForAccessibility();
    b->services_.mainQueue = mac.get();
    b->mainLoop_ = std::move(mac);
    return b;
  }
#endif
#if HOVRA_HAVE_LINUX_DESKTOP
  if (choice.desktop.name == "linux") {
    // D-Bus replies and signals, settings and window changes arrive on the main thread's
    // GLib loop.
    b->mainLoop_ = std::make_unique<platform::linux_desktop::GlibMainLoop>();
    // Applications, Dock, windows, icons and host, and the scripts that launch and open;
    // the journal still records what is asked.
    b->linuxWorkspace_ = platform::linux_desktop::OpenLinuxWorkspace(b->journal_->Workspace(),
                                                                     *b->services_.scripts);
    b->linuxWorkspace_->Provide(b->services_);
    // Sound, media players, power, screen capture and notices, after the workspace's scripts.
    auto desktop = std::make_shared<platform::linux_desktop::LinuxServices>(*b->services_.scripts,
                                                                            *b->services_.ui);
    desktop->UseApps(&b->linuxWorkspace_->Apps());
    desktop->Start();
    b->services_.scripts = &desktop->Scripts();
    if (choice.ui.name == "headless") b->services_.ui = &desktop->Ui();
    b->linuxDesktop_ = std::move(desktop);
#if HOVRA_HAVE_LINUX_INPUT
    if (auto* input = dynamic_cast<platform::linux_desktop::LinuxInput*>(b->input_.get())) {
      input->UseWindows(b->linuxWorkspace_->Windows());  // minimise, maximise, show desktop
    }
#endif
  }
#endif
  // The tray brings its own main loop (Qt's, on the same GLib context) when it comes.
  if (!b->mainLoop_) b->mainLoop_ = std::make_unique<platform::RunLoop>();
  b->services_.mainQueue = b->mainLoop_.get();
  return b;
}

Backends::~Backends() = default;

}  // namespace hovra::app
