// dialog_controls.cpp - the settings dialog's controls, keyed by field.
#include "win32/config_ui/dialog_controls.h"

#define F(name) &SettingsRecord::name
const DialogControl dialogControls[] = {
    {F(pyramidRadius), 1004, 1005},
    {F(pyramidHeight), 1006, 1007},
    {F(pyramidCentreX), 1008, 1009},
    {F(pyramidCentreZ), 1010, 1011},
    {F(pyramidJourneyTime), 1013, 1012},
    {F(pyramidRotationTime), 1014, 1015},
    {F(pyramidShow), 1057, 0},
    {F(pyramidTurn), 1017, 0},
    {F(pyramidJourney), 1016, 0},
    {F(dodecaRadius), 1022, 1023},
    {F(dodecaCentreX), 1026, 1027},
    {F(dodecaCentreZ), 1028, 1029},
    {F(dodecaJourneyTime), 1031, 1030},
    {F(dodecaRotationTime), 1032, 1033},
    {F(dodecaShow), 1056, 0},
    {F(dodecaTurn), 1035, 0},
    {F(dodecaJourney), 1034, 0},
    {F(eyeY), 1036, 1037},
    {F(eyeZ), 1038, 1039},
    {F(light1X), 1040, 1041},
    {F(light1Y), 1042, 1043},
    {F(light1Z), 1044, 1045},
    {F(light2X), 1046, 1047},
    {F(light2Y), 1048, 1049},
    {F(light2Z), 1050, 1051},
    {F(frameTime), 1052, 1053},
    {F(showShadows), 1058, 0},
    {F(showGrid), 1055, 0},
    {F(showPalette), 1054, 0},
};
#undef F
const size_t dialogControlCount = sizeof dialogControls / sizeof dialogControls[0];

const DialogControl* FindDialogControl(int controlId) {
  for (const DialogControl& control : dialogControls)
    if (control.controlId == controlId) return &control;
  return nullptr;
}

const DialogControl* DialogControlOf(const int32_t SettingsRecord::*member) {
  for (const DialogControl& control : dialogControls)
    if (control.member == member) return &control;
  return nullptr;
}
