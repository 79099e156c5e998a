// hovra-server: runs the server headless on the journal backend, or carries out one of
// the status menu's functions given as a subcommand.
#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include "app/options.h"
#include "base/log.h"
#include "input/key_names.h"
#include "platform/journal/journal_backend.h"
#include "platform/memory_settings_store.h"
#include "platform/run_loop.h"
#include "server/hovra_svr_sock.h"

namespace hovra {
namespace {

// SIGINT and SIGTERM are taken by one thread and turned into an orderly stop on the main
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
  auto journal = platform::journal::JournalWriter::OpenFile(options.journalPath);
  if (!journal) {
    std::fprintf(stderr, "hovra-server: cannot open the journal %s: %s\n", options.journalPath.c_str(),
                 std::strerror(errno));
    return nullptr;
  }
  platform::journal::SimConfig config;
  if (options.simPath) {
    try {
      config = platform::journal::SimConfig::Load(*options.simPath);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "hovra-server: bad simulated desktop %s: %s\n", options.simPath->c_str(), e.what());
      return nullptr;
    }
  }
  return std::make_unique<platform::journal::JournalBackend>(std::move(journal), std::move(config));
}

int RunServer(const Options& options) {
  ::signal(SIGPIPE, SIG_IGN);
  sigset_t stopSignals = StopSignals();
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  auto backend = MakeJournalBackend(options);
  if (!backend) return 1;
  platform::MemorySettingsStore settings;
  platform::RunLoop mainLoop;
  platform::Services services;
  backend->Provide(services);
  services.settings = &settings;
  services.mainQueue = &mainLoop;
  platform::Install(services);

  FillKeyNameMaps();
  ServerOptions serverOptions;
  serverOptions.discovery.port = options.discoveryPort;
  serverOptions.discovery.announceTo = options.announceTo;
  serverOptions.discovery.probeReplyPort = options.probeReplyPort;
  auto server = std::make_unique<CHovraSvrSock>("0.0.0.0", options.port, serverOptions);
  if (!server->IsListening()) {
    std::fprintf(stderr, "hovra-server: cannot listen on TCP port %u; is another server running?\n",
                 options.port);
    return 1;
  }
  Log("listening on TCP port %u", server->ListeningPort());

  std::thread signalWatcher([&] {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    if (signal != SIGUSR1) Log("stopping on %s", signal == SIGINT ? "SIGINT" : "SIGTERM");
    mainLoop.Quit();
  });
  mainLoop.Run();
  pthread_kill(signalWatcher.native_handle(), SIGUSR1);
  signalWatcher.join();
  server.reset();
  Log("stopped");
  return 0;
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
  if (!options.command.empty()) {
    std::fprintf(stderr, "hovra-server: unknown command %s\n\n%s", options.command.front().c_str(),
                 hovra::UsageText());
    return 2;
  }
  return hovra::RunServer(options);
}
