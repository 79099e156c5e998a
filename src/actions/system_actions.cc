#include "actions/system_actions.h"

#include "actions/system_scripts.h"
#include "actions/window_shortcuts.h"
#include "platform/services.h"

namespace hovra::actions {
namespace {

void Post(const platform::KeySequence& sequence) { platform::GetEvents().PostSequence(sequence); }
void Run(const platform::ScriptText& script) { platform::GetScripts().Run(script); }

}  // namespace

void Mute() { Run(scripts::kMute); }
void VolumeUp() { Run(scripts::kVolumeUp); }
void VolumeDown() { Run(scripts::kVolumeDown); }

void BrowserForward() { Post(shortcuts::kBrowserForward); }
void BrowserBack() { Post(shortcuts::kBrowserBack); }
void BrowserHome() { Post(shortcuts::kBrowserHome); }
void BrowserSearch() { Run(scripts::kBrowserSearch); }
void BrowserRefresh() { Post(shortcuts::kBrowserRefresh); }
void BrowserStop() { Run(scripts::kBrowserStop); }
void BrowserNewtab() { Post(shortcuts::kBrowserNewtab); }
void BrowserClosetab() { OnCloseWindow(); }

void OnCloseWindow() { Post(shortcuts::kCloseWindow); }
void OnMinizeWindow() { Post(shortcuts::kMinimizeWindow); }
void OnMaximizeWindow() { Post(shortcuts::kMaximizeWindow); }

void screenCapture() { Run(scripts::kScreenCapture); }

}  // namespace hovra::actions
