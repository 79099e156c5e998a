#include "actions/presentations.h"

#include "actions/installed.h"
#include "actions/presentation_scripts.h"
#include "actions/system_actions.h"

namespace hovra::actions {
namespace {

struct PerApplication {
  const platform::ScriptText& keynote;
  const platform::ScriptText& powerPoint;
};

// Both steps always run; the scripts themselves pick the frontmost application.
void OfferToBoth(const PerApplication& scripts) {
  RunIfInstalled(kKeynoteBundleId, scripts.keynote);
  RunIfInstalled(kPowerPointBundleId, scripts.powerPoint);
}

void RunForIndex(int index, const PerApplication& scripts) {
  if (index == 0)
    RunIfInstalled(kKeynoteBundleId, scripts.keynote);
  else if (index == 1)
    RunIfInstalled(kPowerPointBundleId, scripts.powerPoint);
}

}  // namespace

void PPTRun() {}
void PPTSwitch() { OnMaximizeWindow(); }

void PPTExit() { OfferToBoth({scripts::kPPTExitKeynote, scripts::kPPTExitPowerPoint}); }
void PPTPlay() { OfferToBoth({scripts::kPPTPlayKeynote, scripts::kPPTPlayPowerPoint}); }
void PPTStop() { OfferToBoth({scripts::kPPTStopKeynote, scripts::kPPTStopPowerPoint}); }
void PPTPgUp() { OfferToBoth({scripts::kPPTPgUpKeynote, scripts::kPPTPgUpPowerPoint}); }
void PPTPgDn() { OfferToBoth({scripts::kPPTPgDnKeynote, scripts::kPPTPgDnPowerPoint}); }

void PPTExit(int index) {
  RunForIndex(index, {scripts::kPPTExitKeynoteDirect, scripts::kPPTExitPowerPointDirect});
}
void PPTPlay(int index) {
  RunForIndex(index, {scripts::kPPTPlayKeynoteDirect, scripts::kPPTPlayPowerPointDirect});
}
void PPTStop(int index) {
  RunForIndex(index, {scripts::kPPTStopKeynoteDirect, scripts::kPPTStopPowerPointDirect});
}
void PPTPgUp(int index) {
  RunForIndex(index, {scripts::kPPTPgUpKeynoteDirect, scripts::kPPTPgUpPowerPointDirect});
}
void PPTPgDn(int index) {
  RunForIndex(index, {scripts::kPPTPgDnKeynoteDirect, scripts::kPPTPgDnPowerPointDirect});
}

}  // namespace hovra::actions
