// The platform services in use, installed once at start-up (before any thread starts)
// and reached by the core through these accessors. Tests install recording fakes.
#pragma once

#include "platform/event_services.h"
#include "platform/host.h"
#include "platform/main_queue.h"
#include "platform/script_services.h"
#include "platform/settings_store.h"
#include "platform/user_interface.h"
#include "platform/workspace.h"

namespace hovra::platform {

struct Services {
  EventServices* events = nullptr;
  ScriptServices* scripts = nullptr;
  Workspace* workspace = nullptr;
  Host* host = nullptr;
  SettingsStore* settings = nullptr;
  MainQueue* mainQueue = nullptr;
  UserInterface* ui = nullptr;
};

// Replaces the installed services; returns the previous ones.
Services Install(const Services& services);
const Services& Current();

EventServices& GetEvents();
ScriptServices& GetScripts();
Workspace& GetWorkspace();
Host& GetHost();
SettingsStore& GetSettings();
MainQueue& GetMainQueue();
UserInterface& GetUi();

}  // namespace hovra::platform
