// One desktop notice per discharge when the mouse's battery reaches its lowest level.
#pragma once

namespace vantor {

class LowBatteryNotice {
  public:
    // Takes one battery report. True when the notice should be shown now: the mouse is
    // not charging, the level is at or below `criticalLevel` (the first PowerCritical
    // byte) and no notice was shown since the mouse last charged. Charging, or a level
    // back above the critical one, starts a new discharge. `batteryHidden` (ShowPower
    // hides the battery window) silences the notice.
    bool OnBatteryReport(int level, bool charging, int criticalLevel, bool batteryHidden);

  private:
    bool shown_ = false;
};

}  // namespace vantor
