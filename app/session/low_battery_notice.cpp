#include "app/session/low_battery_notice.h"

namespace vantor {

bool LowBatteryNotice::OnBatteryReport(int level, bool charging, int criticalLevel,
                                       bool batteryHidden) {
    if (charging || level > criticalLevel) {
        shown_ = false;
        return false;
    }
    if (batteryHidden || shown_) return false;
    shown_ = true;
    return true;
}

}  // namespace vantor
