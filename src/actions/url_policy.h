// The addresses a client may have opened on this computer: web pages, nothing else. A
// "file:" address would show local files, "javascript:" run script in the open page,
// "smb:" or a custom scheme mount shares or start programs. The check sits here, before
// any backend, so that it holds whichever desktop opens the address.
#pragma once

#include <string_view>

namespace hovra::actions {

// "http://..." or "https://..." (the scheme in any case) with something after it, and no
// control byte anywhere.
bool IsWebAddress(std::string_view url);

// The same, logging a refused address (shown safely, a few lines a second at most);
// `what` names the path it came by ("browser openurl", "notice link").
bool AllowWebAddress(std::string_view url, const char* what);
// Lets a test see the refusal lines from the first one, whatever ran before it.
void ResetRefusalLogForTesting();

}  // namespace hovra::actions
