// PerformancePageBase: what the two layouts of the DPI and performance page share. It builds
// the DPI level rows, the level-count and X/Y boxes, report rate, lift-off distance, ripple,
// angle snapping, motion sync, sensor mode and DPI light controls from a layout that each
// variant gives, keeps the values in a PerformanceEditor and runs every user change the
// same way: device-ready check, the change, StoreToRecord, then ApplyChange with the write
// the change asks for.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "ui/pages/performance/logic/performance_rules.h"
#include "ui/pages/settings_page.h"
#include "ui/widgets/window_message.h"

namespace vantor {

class SkinnedComboBox;
class SkinnedButton;
class TwoThumbSlider;
class SkinnedSlider;
class DpiColourSwatch;

// Where a variant puts what differs between the two layouts.
struct PerformanceLayout {
    int rowWidth = 650;
    QString rowBar = QStringLiteral("longbar_nr.png");
    QString rowFill = QStringLiteral("longbar_ov.png");
    bool levelLabelWithDpiText = false;  // "DPI 1" vs "<tc_dpi> 1"
    bool ratesInRow = false;             // report-rate buttons side by side
    QPoint firstRate{932, 73};
    QRect rateTitle{QPoint(863, 23), QPoint(1015, 52)};
    QPoint firstLod{492, 468};
    int lodGap = 57;  // from the first lift-off button's right edge
    QRect lodTitle{QPoint(479, 422), QPoint(639, 446)};
    bool lodTips = true;
    bool captionsRightOfBoxes = false;
    int lightWidth = 261;
    QString lightBar = QStringLiteral("bar_nr.png");
    QString lightFill = QStringLiteral("bar_ov.png");
};

class PerformancePageBase : public SettingsPage, public WindowMessageReceiver {
  public:
    static constexpr int kRowHeight = 29;
    static constexpr int kBoxSize = 11;
    static constexpr int kRadioSize = 12;

    PerformancePageBase(QWidget* parent, PageHost& host, const QImage& background,
                        PerformanceLayout layout);
    ~PerformancePageBase() override;

    void PrepareForDevice() override;
    void LoadFromRecord(const ProfileFile* record) override;
    void StoreToRecord(ProfileFile* record) override;
    void RefreshTexts() override;
    void Layout4K() override;
    void MarkCurrentLevel(int level) override;
    void SelectReportRateFromDevice(int rateCode) override;

    std::intptr_t OnWindowMessage(std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) override;

    // For tests and previews.
    bool IsPrepared() const { return prepared_; }
    const PerformanceEditor& Editor() const { return editor_; }
    TwoThumbSlider* LevelSlider(int level) const;
    SkinnedButton* LevelLabel(int level) const;
    SkinnedButton* ValueLabel(int level, int axis) const;
    SkinnedComboBox* LevelCountBox() const { return levelCount_; }
    SkinnedButton* SeparateXYBox() const { return xyBox_; }
    SkinnedButton* RateButton(int index) const;
    SkinnedButton* LiftOffButton(int index) const;
    SkinnedButton* SensorModeButton(int index) const;
    SkinnedButton* RippleBox() const { return ripple_; }
    SkinnedButton* AngleSnapBox() const { return fixLine_; }
    SkinnedButton* MotionSyncBox() const { return motionSync_; }
    SkinnedComboBox* DpiEffectBox() const { return effect_; }
    SkinnedSlider* DpiLightSlider() const { return light_; }
    SkinnedSlider* DpiSpeedSlider() const { return speed_; }
    int MarkedLevel() const { return markedLevel_; }
    // Where the lift-off tip is drawn (page coordinates of the normal layout); empty when
    // the page shows none.
    QRect LiftOffTipRect() const;
    // The number input of a typed DPI value; tests answer it themselves.
    void SetNumberPrompt(std::function<std::optional<int>(const QString&)> prompt) {
        numberPrompt_ = std::move(prompt);
    }
    // The colour swatch of a level.
    DpiColourSwatch* Swatch(int level) const;
    // A typed value for a level's X (0) or Y (1) label, as a click on it asks.
    void TypeValue(int level, int axis);

  protected:
    // Runs one user change: the device-ready check, `change`, StoreToRecord and the write.
    void RunChange(const std::function<std::optional<PerfRequest>()>& change);
    // The same after the check already passed (sliders and boxes ask before they move).
    void CommitChange(const std::optional<PerfRequest>& request);
    PerformanceEditor& MutableEditor() { return editor_; }
    const PerformanceLayout& Layout() const { return layout_; }
    bool HasDevice() const;
    // Which settings StoreToRecord writes; the older page adds its pointer section.
    virtual PerformanceShown Shown() const;
    // Variant hooks: after the values were loaded, and the texts drawn by the variant.
    virtual void ShowValues() {}
    virtual void PaintVariant(QPainter& painter) { (void)painter; }
    // Fixed text rectangles of the page; doubled in the 4K layout.
    QRect Fixed(const QRect& rect) const;
    QImage Crop(const QRect& rect) const;
    SkinnedButton* NewBox(const QRect& rect, bool radio);
    SkinnedSlider* NewSmallSlider(const QPoint& at, int width, const QString& bar,
                                  const QString& fill, int controlId, int stops);
    QColor TextColor() const;

    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    // A slider of the variant was released on `value`; thumb 0 or 1.
    virtual void OnVariantSlider(int controlId, int thumb, int value) {
        (void)controlId, (void)thumb, (void)value;
    }

  private:
    void NameControls();
    static QString LiftOffCaption(int index);
    struct Row {
        TwoThumbSlider* slider = nullptr;
        SkinnedButton* label = nullptr;
        std::array<SkinnedButton*, 2> value{};
        DpiColourSwatch* swatch = nullptr;
    };

    void CreateControls();
    // Every control from the editor's values (once the page is prepared and loaded).
    void ShowEditorValues();
    void PlaceRows();
    // Scale positions of every row for the sensor's stops over the row's current width.
    void SetRowScales();
    void ShowLevelRows();
    void ShowDpiLight();
    void ShowSeparateXY();
    void SetBoxes();
    void OnSlider(std::uint32_t message, int thumb, int controlId, int value);
    void OnLevelLabel(int level);
    // A swatch took a colour confirmed in the picker.
    void OnColorChanged(int level, std::uint32_t color);
    void OnEffectChosen();
    void OnLevelCountChosen();
    int DeviceLevels() const;
    QRect RowRect(int level) const;

    PerformanceLayout layout_;
    PerformanceEditor editor_;
    std::vector<int> stops_;
    bool prepared_ = false;
    bool loaded_ = false;
    int markedLevel_ = -1;
    std::array<Row, kDpiLevels> rows_{};
    SkinnedComboBox* levelCount_ = nullptr;
    SkinnedButton* xyBox_ = nullptr;
    std::array<SkinnedButton*, 4> rates_{};
    std::array<SkinnedButton*, 2> lod_{};
    std::array<SkinnedButton*, 2> sensorMode_{};
    SkinnedButton* ripple_ = nullptr;
    SkinnedButton* fixLine_ = nullptr;
    SkinnedButton* motionSync_ = nullptr;
    SkinnedComboBox* effect_ = nullptr;
    SkinnedSlider* light_ = nullptr;
    SkinnedSlider* speed_ = nullptr;
    std::function<std::optional<int>(const QString&)> numberPrompt_;
};

}  // namespace vantor
