// One-shot desktop actions of the volume, browser, window and screen-capture commands.
// Each posts a named shortcut or runs a named script and reports nothing; a browser that
// is not installed is skipped. Called on the worker thread, one command at a time.
// The power commands are in actions/power.h.
#pragma once

#include <string>
#include <string_view>

namespace hovra::actions {

void Mute();
void VolumeUp();
void VolumeDown();

void BrowserForward();
void BrowserBack();
void BrowserHome();
void BrowserSearch();
void BrowserRefresh();
void BrowserStop();
void BrowserNewtab();
void BrowserClosetab();  // the same Command-W as OnCloseWindow()

// Safari's script, then Google Chrome's, each when installed; each acts only when its
// browser is frontmost.
void BrowserFavorite();
// Opens `url` (the NUL-terminated rest of the command line) in a new tab the same way.
// Quotes and backslashes are escaped for the script's string literal; an address holding
// a control byte is refused (nothing runs, the operator's log says so once), and so is
// one that is not an http or https address (actions/url_policy.h).
void BrowserNewURL(const unsigned char* url);

void OnCloseWindow();
void OnMinizeWindow();    // Command-H: hides the application
void OnMaximizeWindow();  // also the presentation "switch" command

void screenCapture();

}  // namespace hovra::actions
