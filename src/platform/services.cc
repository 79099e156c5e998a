#include "platform/services.h"

#include <cstdio>
#include <cstdlib>

namespace hovra::platform {
namespace {

Services g_services;

template <typename T>
T& Require(T* service, const char* what) {
  if (service == nullptr) {
    std::fprintf(stderr, "hovra-server: no %s service installed\n", what);
    std::abort();
  }
  return *service;
}

}  // namespace

Services Install(const Services& services) {
  Services previous = g_services;
  g_services = services;
  return previous;
}

const Services& Current() { return g_services; }

EventServices& GetEvents() { return Require(g_services.events, "event"); }
ScriptServices& GetScripts() { return Require(g_services.scripts, "script"); }
Workspace& GetWorkspace() { return Require(g_services.workspace, "workspace"); }
Host& GetHost() { return Require(g_services.host, "host"); }
SettingsStore& GetSettings() { return Require(g_services.settings, "settings"); }
MainQueue& GetMainQueue() { return Require(g_services.mainQueue, "main queue"); }
UserInterface& GetUi() { return Require(g_services.ui, "user interface"); }

}  // namespace hovra::platform
