// LightingPage: the lighting page of the main window. The effect box, the brightness and speed
// sliders and the colour controls (colour button, red/green/blue boxes, colour wheel and
// preset cells) of the main light or of the logo light, the sleep time box and the
// light-off-while-moving switch, over the mouse picture lit as the chosen effects light it
// (the skin's "mouse_led.png"; "mouse_logo.png" beside it marks the logo light's part).
// When the model has both lights, two buttons choose which light the controls edit.
//
// Every change runs the device-ready check, stores the page into the current record and
// hands the write to the main window through ApplyLightingChange (the mouse is asked
// first whether it can take a change now). A
// record holding an effect or a step the model does not offer shows the model's default
// effect; that light of the record (and the mouse) is left as it is until the user chooses.
#pragma once

#include <QImage>
#include <array>
#include <cstdint>

#include "ui/pages/lighting/logic/lighting_rules.h"
#include "ui/pages/settings_page.h"
#include "ui/widgets/window_message.h"

class QLineEdit;

namespace vantor {

class SkinnedComboBox;
class SkinnedButton;
class SkinnedSlider;
class ColourButton;
class ColourWheel;

class LightingPage : public SettingsPage, public WindowMessageReceiver {
    Q_OBJECT
  public:
    // Control ids of the page's controls (the number boxes keep 257-259).
    enum ControlId : int {
        kIdMainEffect = 1101,
        kIdLogoEffect = 1102,
        kIdLight = 1103,
        kIdSpeed = 1104,
        kIdSleep = 1105,
        kIdLightOff = 1106,
        kIdRed = 257,
        kIdGreen = 258,
        kIdBlue = 259,
    };

    LightingPage(QWidget* parent, PageHost& host, const QImage& background);

    void PrepareForDevice() override;
    void LoadFromRecord(const ProfileFile* record) override;
    void StoreToRecord(ProfileFile* record) override;
    void RefreshTexts() override;
    void Layout4K() override;
    void RefreshLighting() override;

    std::intptr_t OnWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) override;

    // The light the controls edit now, and what each light shows (for tests).
    LightZone Zone() const { return zone_; }
    void SelectZone(LightZone zone);
    const ShownLighting& Shown(LightZone zone) const { return shown_[Slot(zone)]; }

    // Controls, for tests.
    SkinnedComboBox* EffectBox(LightZone zone) const { return effectBox_[Slot(zone)]; }
    SkinnedSlider* LightSlider() const { return lightBar_; }
    SkinnedSlider* SpeedSlider() const { return speedBar_; }
    SkinnedButton* LightValueLabel() const { return lightLabel_; }
    SkinnedButton* SpeedValueLabel() const { return speedLabel_; }
    ColourButton* ResultButton() const { return resultBtn_; }
    QLineEdit* ColorBox(int channel) const { return edits_[static_cast<std::size_t>(channel)]; }
    ColourWheel* Picker() const { return picker_; }
    SkinnedComboBox* SleepBox() const { return sleepBox_; }
    SkinnedButton* LightOffSwitch() const { return lightOff_; }
    SkinnedButton* ZoneButton(LightZone zone) const { return zoneBtn_[Slot(zone)]; }
    // The mouse picture as painted (null when the skin has none).
    const QImage& LitMousePicture() const { return litMouse_; }

    // User actions as the controls run them (tests drive the page through these too).
    void ChooseEffect(LightZone zone, std::uint32_t effect);
    void SetSliderValue(bool light, int value);
    void PickColor(std::uint32_t colorRef);
    void OnColorBoxEdited(int channel);
    void ChooseSleep(std::uint32_t seconds);
    void ToggleLightOff();

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    static std::size_t Slot(LightZone zone) { return zone == LightZone::kMain ? 0 : 1; }
    bool ZoneOffered(LightZone zone) const;
    void FillEffectBoxes();
    void FillSleepBox();
    // Shows the controls of the current light for its effect and values.
    void ShowZoneControls();
    void ShowColor(std::uint32_t colorRef);
    // Stores the page and hands the lighting write of `zone` to the main window.
    void CommitLighting(LightZone zone);
    void RebuildMousePicture();
    void UpdateLabels();
    // Tooltips of the controls that are locked: why.
    void ShowLockReasons();

    LightingSetup setup_;
    bool showMain_ = true;
    bool showLogo_ = false;
    bool showSleep_ = true;
    LightZone zone_ = LightZone::kMain;
    std::array<ShownLighting, 2> shown_{};

    std::array<SkinnedComboBox*, 2> effectBox_{};
    std::array<SkinnedButton*, 2> zoneBtn_{};
    SkinnedSlider* lightBar_ = nullptr;
    SkinnedSlider* speedBar_ = nullptr;
    SkinnedButton* lightLabel_ = nullptr;
    SkinnedButton* speedLabel_ = nullptr;
    ColourButton* resultBtn_ = nullptr;
    std::array<QLineEdit*, 3> edits_{};
    ColourWheel* picker_ = nullptr;
    SkinnedComboBox* sleepBox_ = nullptr;
    SkinnedButton* lightOff_ = nullptr;

    QImage track_;  // bar_nr.png and bar_ov.png: an inactive slider shows no fill
    QImage fill_;
    QImage panel_;     // led_nr.png, the page's own background
    QImage mouseLed_;  // the skin's lit mouse picture, as loaded
    QImage logoMask_;  // mouse_logo.png: the logo light's part of the picture (optional)
    QImage litMouse_;  // lit as the shown effect lights it
    QRect mouseRect_;  // where it is drawn
    std::array<QString, 7> captions_;
};

}  // namespace vantor
