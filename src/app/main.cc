// hovra-server: runs the server on the backends chosen for this session, or carries out
// one of the status menu's functions given as a subcommand.
#include <pthread.h>
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>

#include "app/app_delegate.h"
#include "app/backends.h"
#include "app/config_file.h"
#include "app/options.h"
#include "app/shell_commands.h"
#include "base/log.h"
#include "platform/journal/journal_backend.h"
#include "platform/journal/sim_control.h"
#include "platform/posix/file_settings_store.h"
#if HOVRA_HAVE_MACOS
#include "app/macos/status_menu_actions.h"
#endif

namespace hovra {
namespace {

// SIGINT and SIGTERM are taken by one thread and turned into the quit decision on the main
// thread; every other thread has them blocked.
sigset_t StopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGUSR1);  // internal: releases the watcher when the loop ends otherwise
  return set;
}

int RunServer(const Options& options, platform::MainLoop& mainLoop,
              platform::journal::JournalBackend& backend) {
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

  sigset_t stopSignals = StopSignals();
  std::thread signalWatcher([&] {
    for (;;) {
      int signal = 0;
      sigwait(&stopSignals, &signal);
      if (signal == SIGUSR1) return;
      mainLoop.Post([&, signal] {
        Log("%s received", signal == SIGINT ? "SIGINT" : "SIGTERM");
        if (delegate.applicationShouldTerminate() == app::kTerminateNow) mainLoop.Quit();
      });
    }
  });
  mainLoop.Run();
  pthread_kill(signalWatcher.native_handle(), SIGUSR1);
  signalWatcher.join();
  Log("stopped");
  return 0;
}

int Run(const Options& options) {
  ::signal(SIGPIPE, SIG_IGN);
  sigset_t stopSignals = StopSignals();
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);  // before any thread starts

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
  if (options.command.empty()) {
    Log("input: %s (%s)", choice.input.name.c_str(), choice.input.reason.c_str());
    Log("desktop: %s (%s)", choice.desktop.name.c_str(), choice.desktop.reason.c_str());
    Log("ui: %s (%s)", choice.ui.name.c_str(), choice.ui.reason.c_str());
    if (!choice.warning.empty()) Log("%s", choice.warning.c_str());
  }
  platform::MainLoop& mainLoop = backends->MainLoop();
  platform::Services services = backends->Services();
  platform::Install(services);  // the configuration folder depends on the host's facts
  platform::posix::FileSettingsStore settings(app::ConfigFolder(options.configDir) /
                                              platform::posix::kSettingsFileName);
  services.settings = &settings;
  platform::Install(services);

  int status;
  if (!options.command.empty()) {
    app::ShellCommandOptions shellOptions;
    shellOptions.updateUrl = options.updateUrl.value_or("");
    status = app::RunShellCommand(options.command, shellOptions);
  } else {
    status = RunServer(options, mainLoop, backends->Journal());
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
