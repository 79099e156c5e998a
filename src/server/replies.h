// Answers to the queries: the Dock's applications, an icon, the frontmost application and
// a folder listing, each queued whole to the asking client. The catalogue lives on the
// main thread; the Dock and icon queries hop there and wait.
#pragma once

#include "server/command_client.h"

namespace hovra {

void OnGetDockInfo(CommandClient& c);
void OnGetIcon(const char* name, CommandClient& c);  // nothing when there is no icon
void OnStartGetActivatedApp(CommandClient& c);
void OnBrowseFiles(const char* path, CommandClient& c);

}  // namespace hovra
