// Keynote's and PowerPoint's scripts. The frontmost family asks System Events first and
// acts only when its application is the frontmost process; the spacing differs from
// script to script and is kept as it is. The direct family addresses the application
// whether it is frontmost or not.
#pragma once

#include "platform/script_services.h"

namespace hovra::actions::scripts {

// clang-format off
inline constexpr platform::ScriptText kPPTExitKeynote{
    "PPTExit.Keynote",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Keynote\") then\n  tell application \"Keynote\" to quit\n end if\nend tell\n"};
inline constexpr platform::ScriptText kPPTExitPowerPoint{
    "PPTExit.PowerPoint",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Microsoft PowerPoint\") then\n  tell application \"Microsoft PowerPoint\" to quit\n end if\nend tell\n"};
inline constexpr platform::ScriptText kPPTPlayKeynote{
    "PPTPlay.Keynote",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\nif (frontmostProcess = \"Keynote\") then\n  tell application \"Keynote\" to start slideshow\nend if\nend tell\n"};
inline constexpr platform::ScriptText kPPTPlayPowerPoint{
    "PPTPlay.PowerPoint",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Microsoft PowerPoint\") then\ntell application \"Microsoft PowerPoint\" to run slide show slide show settings of active presentation\n end if\nend tell\n"};
inline constexpr platform::ScriptText kPPTStopKeynote{
    "PPTStop.Keynote",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\nif (frontmostProcess = \"Keynote\") then\n  tell application \"Keynote\" to stop slideshow\nend if\nend tell\n"};
inline constexpr platform::ScriptText kPPTStopPowerPoint{
    "PPTStop.PowerPoint",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Microsoft PowerPoint\") then\ntell application \"Microsoft PowerPoint\" to exit slide show slide show view of slide show window of active presentation\n end if\nend tell\n"};
inline constexpr platform::ScriptText kPPTPgUpKeynote{
    "PPTPgUp.Keynote",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\nif (frontmostProcess = \"Keynote\") then\n  tell application \"Keynote\" to show previous\nend if\nend tell\n"};
inline constexpr platform::ScriptText kPPTPgUpPowerPoint{
    "PPTPgUp.PowerPoint",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Microsoft PowerPoint\") then\ntell application \"Microsoft PowerPoint\" to go to previous slide slide show view of slide show window of active presentation\n end if\nend tell\n"};
inline constexpr platform::ScriptText kPPTPgDnKeynote{
    "PPTPgDn.Keynote",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\nif (frontmostProcess = \"Keynote\") then\n  tell application \"Keynote\" to show next\nend if\nend tell\n"};
inline constexpr platform::ScriptText kPPTPgDnPowerPoint{
    "PPTPgDn.PowerPoint",
    "tell application \"System Events\"\n set frontmostProcess to name of first process where it is frontmost\n if (frontmostProcess = \"Microsoft PowerPoint\") then\ntell application \"Microsoft PowerPoint\" to go to next slide slide show view of slide show window of active presentation\n end if\nend tell\n"};

inline constexpr platform::ScriptText kPPTExitKeynoteDirect{"PPTExit.Keynote.Direct",
                                                            "tell application \"Keynote\" to quit"};
inline constexpr platform::ScriptText kPPTExitPowerPointDirect{
    "PPTExit.PowerPoint.Direct", "tell application \"Microsoft PowerPoint\" to quit"};
inline constexpr platform::ScriptText kPPTPlayKeynoteDirect{
    "PPTPlay.Keynote.Direct", "tell application \"Keynote\" to start slideshow"};
inline constexpr platform::ScriptText kPPTPlayPowerPointDirect{
    "PPTPlay.PowerPoint.Direct",
    "tell application \"Microsoft PowerPoint\" to run slide show slide show settings of active presentation"};
inline constexpr platform::ScriptText kPPTStopKeynoteDirect{
    "PPTStop.Keynote.Direct", "tell application \"Keynote\" to stop slideshow"};
inline constexpr platform::ScriptText kPPTStopPowerPointDirect{
    "PPTStop.PowerPoint.Direct",
    "tell application \"Microsoft PowerPoint\" to exit slide show slide show view of slide show window of active presentation"};
inline constexpr platform::ScriptText kPPTPgUpKeynoteDirect{
    "PPTPgUp.Keynote.Direct", "tell application \"Keynote\" to show previous"};
inline constexpr platform::ScriptText kPPTPgUpPowerPointDirect{
    "PPTPgUp.PowerPoint.Direct",
    "tell application \"Microsoft PowerPoint\" to go to previous slide slide show view of slide show window of active presentation"};
inline constexpr platform::ScriptText kPPTPgDnKeynoteDirect{
    "PPTPgDn.Keynote.Direct", "tell application \"Keynote\" to show next"};
inline constexpr platform::ScriptText kPPTPgDnPowerPointDirect{
    "PPTPgDn.PowerPoint.Direct",
    "tell application \"Microsoft PowerPoint\" to go to next slide slide show view of slide show window of active presentation"};
// clang-format on

}  // namespace hovra::actions::scripts
