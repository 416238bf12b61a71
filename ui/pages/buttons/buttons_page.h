// ButtonsPage: the button assignment page of the main window. A picture of the mouse (the
// key-mark window) and beside it one button per programmable mouse button labelled with its
// function; a click opens the function menu and the chosen function goes into the current
// profile record (and, with ApplyNow, through the apply worker onto the mouse). The page
// also holds the on-board profile selector, the restore, export and import buttons and the
// debounce and auto-sleep windows.
#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "base/config_values.h"
#include "base/store_ui.h"
#include "keys/assignment.h"
#include "ui/pages/settings_page.h"

namespace vantor {

class AutoSleepBox;
class SkinnedComboBox;
class DebounceBox;
class MousePicture;
class SkinnedButton;

class ButtonsPage : public SettingsPage {
    Q_OBJECT
  public:
    ButtonsPage(QWidget* parent, PageHost& host, const QImage& background);
    ~ButtonsPage() override;

    // LayoutKeyPage: picture, buttons and windows for the current device section.
    void PrepareForDevice() override;
    // RefreshKeyPage: profile selector, labels and the debounce and auto-sleep values.
    void LoadFromRecord(const ProfileFile* record) override;
    void StoreToRecord(ProfileFile* record) override;
    void RefreshTexts() override;
    void Layout4K() override;

    // Labels of key set `keySet` for the current record; a button whose function has no
    // label gets its default function back.
    void RefreshLabels(int keySet);
    // A click on button `button`: opens the function menu (or closes an open menu).
    void OpenFunctionMenu(int button);
    // The function menu's choice.
    void OnFunctionChosen(std::uint32_t id, int button);
    // The profile selector's choice: on-board profile `index` (0-3).
    void OnProfileChosen(int index);
    void OnRestore();
    void OnExport();
    void OnImport();

    // The windows an assignment and the file commands open; null gives the real windows.
    // Tests answer them from a script.
    void SetAssignmentUi(AssignmentUi* ui) { assignmentUi_ = ui; }
    void SetStoreUi(StoreUi* ui) { storeUi_ = ui; }

    SkinnedButton* KeyButton(int index) const { return buttons_[static_cast<std::size_t>(index)]; }
    MousePicture* MarkWindow() const { return mark_; }
    SkinnedComboBox* ProfileSelector() const { return profile_; }
    SkinnedButton* RestoreButton() const { return restore_; }
    SkinnedButton* ExportButton() const { return export_; }
    SkinnedButton* ImportButton() const { return import_; }
    DebounceBox* DebounceWindow() const { return debounce_; }
    AutoSleepBox* AutoSleepWindow() const { return autoSleep_; }
    int KeyCount() const { return keyCount_; }
    // Where the debounce tip is drawn (page coordinates); empty when it is not shown.
    QRect DebounceTipRect() const;
    // The button the hover marking shows; -1 for none.
    int MarkedButton() const { return marked_; }

  protected:
    // The hover mark follows the enter and leave events of the key buttons, so nothing
    // runs while the cursor rests or the page is hidden.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void CreateCommandButtons();
    void LayoutKeyButtons();
    void LoadMousePicture();
    void FillProfileSelector();
    void SetButtonLabel(int button, const std::string& label);
    void StoreStepWindows();
    void MarkButton(int button);  // -1 clears the mark
    AssignmentUi& Assignment();
    StoreUi& Files();

    std::array<SkinnedButton*, kKeyButtonCount> buttons_{};
    std::array<QImage, kKeyButtonCount> numbers_;
    MousePicture* mark_ = nullptr;
    // What mark_ was built for: the same model laid out again keeps its picture.
    struct MarkSource {
        int cid = 0;
        int mid = 0;
        Point position;
        int keyCount = 0;
        std::array<Rect, kKeysPerSet> marks{};
        bool operator==(const MarkSource&) const = default;
    };
    std::optional<MarkSource> markSource_;
    SkinnedComboBox* profile_ = nullptr;
    SkinnedButton* restore_ = nullptr;
    SkinnedButton* export_ = nullptr;
    SkinnedButton* import_ = nullptr;
    DebounceBox* debounce_ = nullptr;
    AutoSleepBox* autoSleep_ = nullptr;
    QString title_;
    int keyCount_ = 0;
    int marked_ = -1;
    bool fourK_ = false;

    class WindowAssignmentUi;
    std::unique_ptr<WindowAssignmentUi> windowAssignmentUi_;
    std::unique_ptr<StoreUi> windowStoreUi_;
    AssignmentUi* assignmentUi_ = nullptr;
    StoreUi* storeUi_ = nullptr;
};

}  // namespace vantor
