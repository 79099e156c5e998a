// Touch gestures: pinch zoom (Command with keypad plus or minus), the application
// switcher driven by horizontal slides (Command held by a script while Tab steps through
// it), Mission Control on a slide up and minimising on a slide down.
// Worker thread only; the switcher state is shared by every client.
#pragma once

#include <cstdint>

namespace hovra {

void ZoomIn();
void ZoomOut();

void StartSwitchingWindow(bool reverse);  // holds Command and takes the first step
void EndSwitchingWindow();                // releases Command: the shown application is chosen
void SlideBegin();                        // forgets an open switch without releasing Command
void SlideEnd();
void SlideLeft();
void SlideRight();
void SlideUp();
void SlideDown();
void minimizeAllWindows();

bool IsSwitchingWindows();

// Which start of the switcher holds Command down: a number that grows with every
// StartSwitchingWindow, or 0 once EndSwitchingWindow has let Command go. SlideBegin
// does not release Command and so does not change it.
uint64_t SwitcherHoldingCommand();

// Forgets the switcher state without running any script (for tests).
void ResetSwitcherState();

}  // namespace hovra
