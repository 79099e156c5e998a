// hovra-server: runs the server on the backends chosen for this session, or carries out
// one of the status menu's functions given as a subcommand.
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include "app/app_delegate.h"
#include "app/backends.h"
#include "app/config_file.h"
#include "app/config_security.h"
#include "app/options.h"
#include "app/password.h"
#include "app/quit_signals.h"
#include "app/settings_guard.h"
#include "app/shell_commands.h"
#include "app/startup_report.h"
#include "base/log.h"
#include "platform/journal/journal_backend.h"
#include "platform/journal/sim_control.h"
#include "platform/posix/file_settings_store.h"
#if HOVRA_HAVE_MACOS
#include "app/macos/status_menu_actions.h"
#endif

namespace hovra {
namespace {

void ReportStart(const Options& options, const app::BackendChoice& choice, unsigned port) {
  app::StartupFacts facts;
  facts.version = platform::GetHost().AppVersion();
  facts.port = port;
  facts.discoveryPort = options.discoveryPort;
  facts.backends = choice;
  facts.pinOn = app::isPasswordProtection();
  if (options.configDir) facts.command += " --config-dir " + *options.configDir;
  facts.addresses = platform::GetHost().Addresses();
  LogBlock(app::StartupReport(facts));
}

int RunServer(const Options& options, const app::BackendChoice& choice,
              platform::MainLoop& mainLoop, platform::journal::JournalBackend& backend) {
  std::optional<platform::journal::SimControl> simControl;
  if (options.simControlPath) {
    try {
      simControl.emplace(*options.simControlPath, backend.Workspace(), mainLoop);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "hovra-server: %s\n", e.what());
      return 1;
    }
  }
  app::AppDelegate delegate(options);
#if HOVRA_HAVE_MACOS
  if (auto* mac = dynamic_cast<platform::macos::MacApplication*>(&mainLoop)) {
    app::ConnectStatusMenu(*mac, delegate);
  }
#endif
  if (!delegate.applicationDidFinishLaunching()) {
    std::fprintf(stderr, "hovra-server: cannot listen on TCP port %u; is another server running?\n",
                 options.port);
    return 1;
  }
  ReportStart(options, choice, delegate.Server()->ListeningPort());
  // "Quit" in the status menu takes the same decision as SIGINT and SIGTERM.
  auto quit = [&] {
    if (delegate.applicationShouldTerminate() == app::kTerminateNow) {
      mainLoop.Quit();
      return true;
    }
    return false;
  };
  platform::GetUi().AttachShell(
      delegate.MakeShellBindings(quit, choice.input.name, choice.desktop.name));

  app::QuitSignals signals([&](const char* name) {
    Log("%s received", name);
    mainLoop.Post([&] {
      if (!quit()) signals.QuitCancelled();
    });
  });
  mainLoop.Run();
  // From here no client is served; a second signal meanwhile ends the process at once.
  const bool allEnded = delegate.applicationWillTerminate();
  Log("stopped");
  if (!allEnded) {
    // Work left running (an update check that would not end) must not meet the
    // destruction of what it uses: leave now.
    std::fflush(nullptr);
    std::_Exit(0);
  }
  return 0;
}

int Run(const Options& options) {
  ::signal(SIGPIPE, SIG_IGN);
  app::RaiseDescriptorLimit();
  app::QuitSignals::Block();  // before any thread starts

  // Subcommands need only the settings and the host's facts: the simulated desktop serves.
  Options chosen = options;
  if (!options.command.empty()) {
    chosen.input = chosen.desktop = "journal";
    chosen.ui = "headless";
  }
  app::BackendChoice choice =
      app::ChooseBackends(chosen, app::SessionFactsFromEnvironment(), app::ThisBuild());
  if (!choice.error.empty()) {
    std::fprintf(stderr, "hovra-server: %s\n", choice.error.c_str());
    return 1;
  }
  std::string error;
  std::unique_ptr<app::Backends> backends = app::Backends::Assemble(chosen, choice, error);
  if (!backends) {
    std::fprintf(stderr, "hovra-server: %s\n", error.c_str());
    return 1;
  }
  if (options.command.empty() && !choice.warning.empty()) Log("%s", choice.warning.c_str());
  platform::MainLoop& mainLoop = backends->MainLoop();
  platform::Services services = backends->Services();
  platform::Install(services);
  const std::filesystem::path configFolder = app::ConfigFolder(options.configDir);
  if (!app::ConfigFolderIsPrivate(configFolder)) return 1;  // it says why
  platform::posix::FileSettingsStore settings(configFolder / platform::posix::kSettingsFileName,
                                              app::PinSettingsGuard());
  services.settings = &settings;
  platform::Install(services);

  int status;
  if (!options.command.empty()) {
    app::ShellCommandOptions shellOptions;
    shellOptions.updateUrl = options.updateUrl.value_or("");
    status = app::RunShellCommand(options.command, shellOptions);
  } else {
    status = RunServer(options, choice, mainLoop, backends->Journal());
  }
  platform::Install({});  // the services end here
  return status;
}

}  // namespace
}  // namespace hovra

int main(int argc, char** argv) {
  hovra::ParseResult parsed = hovra::ParseOptions(argc, argv);
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "hovra-server: %s\n\n%s", parsed.error.c_str(), hovra::UsageText());
    return 2;
  }
  const hovra::Options& options = parsed.options;
  hovra::SetVerbose(options.verbose);
  if (options.help) {
    std::fputs(hovra::UsageText(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("hovra-server %s\n", HOVRA_APP_VERSION);
    return 0;
  }
  if (!options.command.empty() && !hovra::app::IsShellCommand(options.command.front())) {
    std::fprintf(stderr, "hovra-server: unknown command %s\n\n%s", options.command.front().c_str(),
                 hovra::UsageText());
    return 2;
  }
  return hovra::Run(options);
}
