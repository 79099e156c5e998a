// Presentation control for Keynote and Microsoft PowerPoint.
//   Without argument: Keynote's script, then PowerPoint's, each when installed; each acts
//   only if its application is frontmost. PPTRun() does nothing; PPTSwitch() posts the
//   window-maximise shortcut.
//   With an index (0 Keynote, 1 PowerPoint; others do nothing): the chosen application's
//   script, when installed, frontmost or not.
#pragma once

namespace hovra::actions {

void PPTRun();
void PPTExit();
void PPTPlay();
void PPTStop();
void PPTPgUp();
void PPTPgDn();
void PPTSwitch();

void PPTExit(int index);
void PPTPlay(int index);
void PPTStop(int index);
void PPTPgUp(int index);
void PPTPgDn(int index);

}  // namespace hovra::actions
