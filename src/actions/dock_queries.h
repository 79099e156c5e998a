// The worker thread's questions to the application catalogue, which lives on the main
// thread: the Dock description, an application's icon message, and launching an
// application through its Dock item. Each hops to the main thread and waits for it
// there; when the main loop has already ended, each answers as if there were no Dock.
#pragma once

#include <string>

namespace hovra::actions {

// Appends the Dock description and "\n"; "[]\n" when there is none.
void GetDockInfo(std::string& dst);

// Writes the NUL-terminated icon message of that application into `dst`
// (catalogue::kIconBufferBytes long); false, with `dst` untouched, when there is none.
bool GetIconForApp(const char* name, char* dst);

// Starts or brings forward the catalogue's application with that bundle identifier.
void LauchApp(const char* name);

}  // namespace hovra::actions
