// hovra-server: runs the server headless on the journal backend, or carries out one of
// the status menu's functions given as a subcommand.
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
#include "app/config_file.h"
#include "app/options.h"
#include "app/shell_commands.h"
#include "base/log.h"
#include "platform/journal/journal_backend.h"
#include "platform/journal/sim_control.h"
#include "platform/posix/file_settings_store.h"
#include "platform/run_loop.h"
#include "platform/x11/x11_events.h"

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

std::unique_ptr<platform::journal::JournalBackend> MakeJournalBackend(const Options& options) {
  auto journal = options.journalPath == "none"
                     ? platform::journal::JournalWriter::Discarding()
                     : platform::journal::JournalWriter::OpenFile(options.journalPath);
  if (!journal) {
    std::fprintf(stderr, "hovra-server: cannot open the journal %s: %s\n",
                 options.journalPath.c_str(), std::strerror(errno));
    return nullptr;
  }
  platform::journal::SimConfig config;
  if (options.simPath) {
    try {
      config = platform::journal::SimConfig::Load(*options.simPath);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "hovra-server: bad simulated desktop %s: %s\n", options.simPath->c_str(),
                   e.what());
      return nullptr;
    }
  }
  return std::make_unique<platform::journal::JournalBackend>(std::move(journal), std::move(config));
}

int RunServer(const Options& options, platform::RunLoop& mainLoop,
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

  auto backend = MakeJournalBackend(options);
  if (!backend) return 1;
  // Real input on an X display when asked for, or by default when one with XTEST is there;
  // scripts, notices and the simulated workspace stay with the journal backend.
  std::unique_ptr<platform::EventServices> x11Events;
  if (options.backend != "journal" && options.command.empty()) {
    x11Events = platform::x11::OpenX11Events(nullptr);
    if (!x11Events && options.backend == "x11") {
      std::fprintf(stderr,
                   "hovra-server: no X display with the XTEST extension (is DISPLAY set?)\n");
      return 1;
    }
    if (x11Events) Log("posting input to the X display %s", std::getenv("DISPLAY"));
  }
  platform::RunLoop mainLoop;
  platform::Services services;
  backend->Provide(services);
  if (x11Events) services.events = x11Events.get();
  services.mainQueue = &mainLoop;
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
    status = RunServer(options, mainLoop, *backend);
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
