#include "tools/vantor/sim_menu.h"

#include <array>

namespace vantor {
namespace {

struct RateItem {
    const char* text;
    std::uint8_t code;
};
constexpr std::array<RateItem, 4> kRates{
    {{"1000 Hz", 1}, {"500 Hz", 2}, {"250 Hz", 4}, {"125 Hz", 8}}};
constexpr std::array<int, 7> kBatteryLevels{100, 75, 50, 25, 10, 5, 1};

}  // namespace

SimMenu::SimMenu(SimFirmware& firmware, SimHidBackend& backend, QWidget* parent)
    : QMenu(QStringLiteral("Simulated mouse"), parent), firmware_(firmware), backend_(backend) {
    const SimFirmwareState state = firmware.State();
    batteryLevel_ = state.batteryLevel;
    charging_ = state.charging;

    addAction(QStringLiteral("Press the DPI button"), this, [this] { firmware_.PressDpiButton(); });
    QMenu* rate = addMenu(QStringLiteral("Report rate switch"));
    for (const RateItem& item : kRates) {
        rate->addAction(QString::fromLatin1(item.text), this,
                        [this, code = item.code] { firmware_.SwitchReportRate(code); });
    }
    QMenu* light = addMenu(QStringLiteral("Lighting key"));
    light->addAction(QStringLiteral("Main lighting"), this,
                     [this] { firmware_.PressLightingKey(SimLightingZone::kMain); });
    light->addAction(QStringLiteral("Logo lighting"), this,
                     [this] { firmware_.PressLightingKey(SimLightingZone::kLogo); });
    light->addAction(QStringLiteral("DPI indicator"), this,
                     [this] { firmware_.PressLightingKey(SimLightingZone::kDpiIndicator); });
    QMenu* profile = addMenu(QStringLiteral("On-board profile"));
    for (int i = 0; i < kSimProfileCount; ++i) {
        profile->addAction(QStringLiteral("Profile %1").arg(i + 1), this, [this, i] {
            firmware_.SelectProfileOnMouse(static_cast<std::uint8_t>(i));
        });
    }
    AddBatteryMenu();
    addSeparator();
    plugged_ = addAction(QStringLiteral("Receiver plugged in"));
    plugged_->setCheckable(true);
    plugged_->setChecked(backend_.IsPlugged());
    connect(plugged_, &QAction::toggled, this, [this](bool on) {
        if (on) {
            backend_.Plug();
        } else {
            backend_.Unplug();
        }
    });
    addAction(QStringLiteral("Reset on the mouse"), this, [this] { firmware_.ResetOnMouse(); });
}

void SimMenu::AddBatteryMenu() {
    QMenu* battery = addMenu(QStringLiteral("Battery"));
    for (int level : kBatteryLevels) {
        battery->addAction(QStringLiteral("%1 %").arg(level), this,
                           [this, level] { SetBattery(level); });
    }
    battery->addSeparator();
    QAction* charging = battery->addAction(QStringLiteral("Charging"));
    charging->setCheckable(true);
    charging->setChecked(charging_);
    connect(charging, &QAction::toggled, this, [this](bool on) {
        charging_ = on;
        SetBattery(batteryLevel_);
    });
}

void SimMenu::SetBattery(int level) {
    batteryLevel_ = level;
    firmware_.SetBattery(static_cast<std::uint8_t>(level), charging_);
    if (batteryChanged_) batteryChanged_();
}

}  // namespace vantor
