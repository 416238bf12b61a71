#include "ui/pages/buttons/buttons_page.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <algorithm>

#include "app/config/button_label_context.h"
#include "app/config/config.h"
#include "app/store/profile_export.h"
#include "base/log.h"
#include "base/poster.h"
#include "base/texts.h"
#include "keys/key_functions.h"
#include "profile/set_flags.h"
#include "ui/pages/buttons/auto_sleep_box.h"
#include "ui/pages/buttons/debounce_box.h"
#include "ui/pages/buttons/logic/buttons_page_rules.h"
#include "ui/pages/buttons/mouse_picture.h"
#include "ui/popups/fire_key_window.h"
#include "ui/popups/macro_picker.h"
#include "ui/popups/message_window.h"
#include "ui/popups/store_dialogs.h"
#include "ui/widgets/fitted_text.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/page_lock.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_combo_box.h"
#include "ui/widgets/skinned_menu.h"
#include "ui/widgets/window_message.h"

namespace vantor {
namespace {

constexpr int kIdProfileSelector = 1100;
constexpr QRgb kMaskedTextColor = 0x646464;
// The profile commands in the right column of the page, on the "reset" button face.
constexpr int kCommandLeft = 880;
constexpr int kCommandTop = 440;
constexpr int kCommandPitch = 35;
const QSize kCommandSize(111, 27);
const QSize kSelectorSize(147, 30);  // combo_nr.png
// The debounce tip: two or three lines of the window font.
const QSize kDebounceTipSize(400, 48);

QPoint FromPoint(const Point& p) {
    return QPoint(p.x, p.y);
}

QRect ToQRect(const Rect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

int KeySetOf(const ProfileFile& record) {
    return std::clamp(static_cast<int>(record.nKeySet), 0, kKeySetCount - 1);
}

FunctionMenuSettings MenuSettingsOfDevice(const KeySets& defaults, int keyCount) {
    const AppOptions& o = Options();
    const DeviceSection& d = CurrentDevice();
    FunctionMenuSettings s;
    s.ledToggle = d.ShowRGBSw != 0 && (d.ShowMainEffect != 0 || d.ShowLogoEffect != 0);
    s.reportRate = d.ShowUsbRate != 0;
    s.profileSwitch = o.ShowProSw != 0;
    s.fireKey = o.ShowFireKey != 0;
    s.ledSwitch = DefaultsHold(defaults[0], keyCount, KF_LED_SWITCH);
    s.exKeys = d.ExKey;
    s.macros = o.ShowMacro != 0;
    s.dpiMenuMask = d.DpiMenuMask;
    s.sensor = static_cast<std::uint32_t>(d.Sensor);
    return s;
}

}  // namespace

// The assignment windows of the page: macro picker, key capture, fire-key window and the
// skinned message window.
class ButtonsPage::WindowAssignmentUi : public AssignmentUi {
  public:
    explicit WindowAssignmentUi(ButtonsPage& page) : page_(page) {}

    std::optional<std::uint32_t> PickMacro() override {
        wantsMacroPage = false;
        const std::optional<std::int32_t> picked =
            vantor::PickMacro(page_.Host().Macros().Root(), Options().MacroDir, &page_);
        if (!picked) return std::nullopt;
        if (*picked == kPickMacroPage) {
            wantsMacroPage = true;
            return std::nullopt;
        }
        return static_cast<std::uint32_t>(*picked);
    }
    std::optional<std::array<std::uint8_t, 4>> CaptureKeys(const std::string& tip) override {
        const std::optional<KeyCombination> combination =
            vantor::CaptureKeys(tip, false, Options().ComboRec == 0, &page_);
        if (!combination) return std::nullopt;
        return combination->Bytes();
    }
    std::optional<FireSetting> EditFireKey(const FireSetting& preset) override {
        KeyAssignment current{};
        current.dwFunID = KF_FIRE;
        current.dwParameter = static_cast<std::uint32_t>(preset.shots | (preset.interval << 8));
        const std::optional<std::uint32_t> parameter = vantor::EditFireKey(current, &page_);
        if (!parameter) return std::nullopt;
        return FireSetting{static_cast<std::uint8_t>(*parameter & 0xFF),
                           static_cast<std::uint8_t>((*parameter >> 8) & 0xFF)};
    }
    void ShowMessage(const std::string& text) override { page_.Host().ShowText(text); }

    bool wantsMacroPage = false;

  private:
    ButtonsPage& page_;
};

ButtonsPage::ButtonsPage(QWidget* parent, PageHost& host, const QImage& background)
    : SettingsPage(parent, host, background),
      windowAssignmentUi_(std::make_unique<WindowAssignmentUi>(*this)),
      windowStoreUi_(std::make_unique<StoreDialogs>(this)) {
    const QImage face = LoadSkinImage(QStringLiteral("button_nr.png"));
    const QImage disabled = LoadSkinImage(QStringLiteral("button_ds.png"));
    for (int i = 0; i < kKeyButtonCount; ++i) {
        numbers_[static_cast<std::size_t>(i)] =
            LoadSkinImage(QStringLiteral("number/number%1.png").arg(i + 1));
        auto* button = new SkinnedButton(this);
        button->SetImages(face, face, face, disabled);
        button->hide();
        button->installEventFilter(this);
        connect(button, &SkinnedButton::clicked, this, [this, i] { OpenFunctionMenu(i); });
        buttons_[static_cast<std::size_t>(i)] = button;
    }
    profile_ = new SkinnedComboBox(this);
    profile_->SetControlId(kIdProfileSelector);
    (void)profile_->LoadImages(QStringLiteral("combo_nr.png"), {}, {});
    profile_->SetChangesOnly(true);
    profile_->SetVeto(
        [this](std::uint32_t, std::intptr_t) { return Host().IsDeviceReady() ? 1 : 0; }, 0);
    CreateCommandButtons();
    debounce_ = new DebounceBox(this, host, background_);
    autoSleep_ = new AutoSleepBox(this, host, background_);
    debounce_->SetOnChanged([this] { StoreStepWindows(); });
    autoSleep_->SetOnChanged([this] { StoreStepWindows(); });
    RefreshTexts();
}

ButtonsPage::~ButtonsPage() = default;

void ButtonsPage::CreateCommandButtons() {
    const AppOptions& o = Options();
    int row = 0;
    for (SkinnedButton** slot : {&restore_, &export_, &import_}) {
        auto* button = new SkinnedButton(this);
        const QRect place(QPoint(kCommandLeft, kCommandTop + row++ * kCommandPitch), kCommandSize);
        button->setGeometry(place);
        (void)button->LoadImages(QStringLiteral("reset_nr.png"), {}, {});
        button->SetTextColors(ColorFromColorRef(o.Btn_txt_clr_ov),
                              ColorFromColorRef(o.Btn_txt_clr_nr),
                              ColorFromColorRef(o.Btn_txt_clr_dn));
        *slot = button;
    }
    connect(restore_, &SkinnedButton::clicked, this, &ButtonsPage::OnRestore);
    connect(export_, &SkinnedButton::clicked, this, &ButtonsPage::OnExport);
    KeepWorkingWhenLocked(export_);  // exports the stored profile, without the mouse
    connect(import_, &SkinnedButton::clicked, this, &ButtonsPage::OnImport);
}

void ButtonsPage::RefreshTexts() {
    title_ = QString::fromStdString(Text("tc_page1"));
    profile_->setAccessibleName(QString::fromStdString(Text("tc_profile")));
    ShowLockReason(profile_, profile_->IsLocked(), QString::fromStdString(Text("tc_lock_profile")));
    restore_->SetText(QString::fromStdString(Text("tc_restore")), 0, Qt::AlignCenter);
    export_->SetText(QString::fromStdString(Text("tc_export")), 0, Qt::AlignCenter);
    import_->SetText(QString::fromStdString(Text("tc_import")), 0, Qt::AlignCenter);
    debounce_->RefreshTexts();
    autoSleep_->RefreshTexts();
    FillProfileSelector();
    if (const ProfileFile* record = Host().Record()) RefreshLabels(KeySetOf(*record));
    update();
}

void ButtonsPage::FillProfileSelector() {
    const int selected = profile_->SelectedIndex();
    profile_->ClearItems(0);
    const std::string base = Text("tc_msg35");
    for (int n = 0; n < kProfileCount; ++n) {
        (void)profile_->AddItem(0, static_cast<std::uint32_t>(n),
                                base + " " + std::to_string(n + 1));
    }
    if (selected >= 0) (void)profile_->SelectIndex(selected);
}

void ButtonsPage::PrepareForDevice() {
    const AppOptions& o = Options();
    const DeviceSection& d = CurrentDevice();
    CloseMenu();
    keyCount_ = std::clamp(d.keyCount, 0, kKeyButtonCount);
    LoadMousePicture();
    LayoutKeyButtons();
    const QColor normal = ColorFromColorRef(o.Btn_txt_clr_nr);
    const QColor hover = ColorFromColorRef(o.Btn_txt_clr_ov);
    const QColor pressed = ColorFromColorRef(o.Btn_txt_clr_dn);
    for (int i = 0; i < kKeyButtonCount; ++i) {
        SkinnedButton* button = buttons_[static_cast<std::size_t>(i)];
        const bool masked = (o.KeyMask & (1 << i)) != 0;
        button->setEnabled(!masked);
        if (masked) {
            const QColor grey(kMaskedTextColor);
            button->SetTextColors(grey, grey, grey);
        } else {
            button->SetTextColors(hover, normal, pressed);
        }
        button->setVisible(i < keyCount_);
    }
    const int scale = fourK_ ? 2 : 1;
    profile_->setGeometry(QRect(FromPoint(o.ptProfile) * scale, kSelectorSize * scale));
    profile_->setVisible(o.ShowProfile != 0);
    profile_->SetLocked(o.ProSwitchEnable == 0);
    ShowLockReason(profile_, profile_->IsLocked(), QString::fromStdString(Text("tc_lock_profile")));
    debounce_->setVisible(d.ShowDebounce != 0);
    autoSleep_->setVisible(d.ShowAutoSleep != 0);
    update();
}

void ButtonsPage::LoadMousePicture() {
    const DeviceSection& d = CurrentDevice();
    const MarkSource source{d.CID, d.MID, d.ptMark, keyCount_, d.marks};
    if (mark_ != nullptr && markSource_ == source) return;
    markSource_.reset();
    delete mark_;
    mark_ = new MousePicture(this);
    marked_ = -1;
    if (!mark_->Create(background_, FromPoint(d.ptMark), d.CID, d.MID, d.marks, keyCount_)) {
        mark_->hide();
        char text[64];
        std::snprintf(text, sizeof text, "Can't load skins/%02x%02x/mouse_nr.png",
                      static_cast<unsigned>(d.CID & 0xFF), static_cast<unsigned>(d.MID & 0xFF));
        Host().ShowText(text);
        return;
    }
    mark_->lower();
    mark_->show();
    markSource_ = source;
}

void ButtonsPage::LayoutKeyButtons() {
    const Point ptKey = Options().ptKey;
    const int keyH = CurrentDevice().KEYH;
    for (int i = 0; i < kKeyButtonCount; ++i) {
        buttons_[static_cast<std::size_t>(i)]->setGeometry(
            ToQRect(KeyButtonRect(ptKey, keyH, i, fourK_)));
    }
}

void ButtonsPage::LoadFromRecord(const ProfileFile* record) {
    const int index = Host().Store().CurrentIndex();
    if (index >= 0 && index < kProfileCount) (void)profile_->SelectIndex(index);
    if (record == nullptr) return;
    const int keySet = record->nKeySet;
    if (keySet >= 0 && keySet < kKeySetCount) RefreshLabels(keySet);
    debounce_->SetValue(record->nDebounce);
    autoSleep_->SelectValue(record->nAutoSleep);
}

void ButtonsPage::StoreToRecord(ProfileFile* record) {
    if (record == nullptr) return;
    record->nDebounce = debounce_->Value();
    record->nAutoSleep = autoSleep_->Value();
}

void ButtonsPage::StoreStepWindows() {
    StoreToRecord(Host().Record());
}

void ButtonsPage::RefreshLabels(int keySet) {
    ProfileFile* record = Host().Record();
    if (record == nullptr || keySet < 0 || keySet >= kKeySetCount) return;
    const ButtonLabelContext labels(Host().Macros().Macros());
    for (int i = 0; i < kKeyButtonCount; ++i) {
        if (i >= keyCount_) {
            buttons_[static_cast<std::size_t>(i)]->hide();
            continue;
        }
        KeyAssignment& key = record->Key[keySet][i];
        std::string label = AssignmentLabel(key, labels.Context());
        if (label.empty()) {
            key = labels.DefaultKeys()[keySet][i];
            label = AssignmentLabel(key, labels.Context());
        }
        SetButtonLabel(i, label);
    }
    update();
}

void ButtonsPage::SetButtonLabel(int button, const std::string& label) {
    SkinnedButton* b = buttons_[static_cast<std::size_t>(button)];
    const QString text = QString::fromStdString(label);
    b->SetText(text, 0, Qt::AlignCenter);
    if (Options().BtnTips != 0) b->SetToolTipText(text);
}

void ButtonsPage::OpenFunctionMenu(int button) {
    if (button < 0 || button >= keyCount_) return;
    // A click on the button whose menu is open closes it; the press on another button has
    // already closed that menu, and this one opens.
    if (IsMenuOpen() && OpenMenu()->Anchor() == buttons_[static_cast<std::size_t>(button)]) {
        CloseMenu();
        return;
    }
    const AppOptions& o = Options();
    const SkinnedButton* b = buttons_[static_cast<std::size_t>(button)];
    const QPoint topLeft = b->mapToGlobal(QPoint(0, 0));
    const Rect screenRect{topLeft.x(), topLeft.y(), topLeft.x() + b->width(),
                          topLeft.y() + b->height()};
    const QScreen* screen = b->screen() != nullptr ? b->screen() : QGuiApplication::primaryScreen();
    const int usableHeight = screen != nullptr ? screen->availableGeometry().bottom() + 1 : 1080;
    const MenuPlacement place = PlaceFunctionMenu(screenRect, o.MenuW, o.MenuItems, usableHeight);
    const ButtonLabelContext labels(Host().Macros().Macros());
    const std::vector<MenuItem> items =
        FunctionMenuItems(MenuSettingsOfDevice(labels.DefaultKeys(), keyCount_));
    SkinnedMenu* menu = ShowMenu(this, place.width, QPoint(place.topLeft.x, place.topLeft.y),
                                 ConfiguredMenuColors(), button, items);
    if (menu != nullptr) menu->SetAnchor(buttons_[static_cast<std::size_t>(button)]);
}

void ButtonsPage::OnFunctionChosen(std::uint32_t id, int button) {
    CloseMenu();
    if (button == kProfileMenuButton) {
        ProfileStore& store = Host().Store();
        for (int i = 0; i < store.Count(); ++i) {
            if (store.Profile(i).dwProfileID == id) {
                store.SetCurrentIndex(i);
                Host().RefreshPages();
                break;
            }
        }
        return;
    }
    QPointer<ButtonsPage> self(this);
    Host().CheckDeviceReady([self, id, button] {
        if (!self) return;
        ButtonsPage& page = *self;
        if (button >= kKeyButtonCount || button < 0) {
            page.Host().ShowText(Text("tc_macro_msg17"));
            return;
        }
        ProfileFile* record = page.Host().Record();
        if (record == nullptr || record->dwProfileID == 0) return;
        if (FunctionClassOf(id) == KFC_MACRO && page.Host().Macros().Macros().Count() == 0) {
            // The macro page only when the user agrees with OK.
            if (page.Host().ShowTextOk(Text("tc_msg9")) && self) {
                self->Host().SwitchPage(PageId::kMacro);
            }
            return;
        }
        page.windowAssignmentUi_->wantsMacroPage = false;
        const ButtonLabelContext labels(page.Host().Macros().Macros());
        const int keySet = KeySetOf(*record);
        const bool assigned =
            AssignFromMenu(record->Key, keySet, button, id, labels.Context(), page.Assignment());
        if (page.windowAssignmentUi_->wantsMacroPage) {
            page.Host().SwitchPage(PageId::kMacro);
            return;
        }
        if (!assigned) return;
        page.SetButtonLabel(button, AssignmentLabel(record->Key[keySet][button], labels.Context()));
        page.StoreStepWindows();
        page.Host().ApplyChange(SET_KEY, button);
    });
}

void ButtonsPage::OnProfileChosen(int index) {
    CloseMenu();
    DbgLog("CKeyDlg: on-board profile %d", index + 1);
    Host().Session().SwitchOnBoardProfile(index);
}

void ButtonsPage::OnRestore() {
    CloseMenu();
    Host().Session().Restore();
}

void ButtonsPage::OnExport() {
    CloseMenu();
    std::string problem;
    if (ExportProfile(Host().Store(), Host().Session().CurDpiLevel(), Host().Macros().Macros(),
                      Files(), &problem)) {
        Host().ShowNote(Text("tc_note_export"));
    } else if (!problem.empty()) {
        DbgLog("ExportProfile: %s", problem.c_str());
    }
}

void ButtonsPage::OnImport() {
    CloseMenu();
    const ImportOutcome outcome =
        ImportProfile(Host().Store(), Host().Macros(), Host().Session().FirstReadDone(),
                      CurrentDevice().DM, Files());
    if (!outcome.imported) return;
    Host().Session().SetCurDpiLevel(outcome.curDpiLevel);
    Host().RefreshPages();
    // The imported profile goes into the mouse also when the pages do not apply their
    // changes at once (ApplyNow 0): importing is asking for exactly that.
    Host().Session().Worker().RequestApply(kImportApplyFlags, kImportApplyIndex);
    Host().ShowNote(Text("tc_note_import"));
}

AssignmentUi& ButtonsPage::Assignment() {
    return assignmentUi_ != nullptr ? *assignmentUi_ : *windowAssignmentUi_;
}

StoreUi& ButtonsPage::Files() {
    return storeUi_ != nullptr ? *storeUi_ : *windowStoreUi_;
}

void ButtonsPage::MarkButton(int button) {
    if (button == marked_ || mark_ == nullptr) return;
    mark_->MarkKey(button >= 0 ? static_cast<unsigned>(button) : kKeyButtonCount);
    marked_ = button;
}

bool ButtonsPage::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::Enter || type == QEvent::Leave) {
        for (int i = 0; i < keyCount_; ++i) {
            if (watched != buttons_[static_cast<std::size_t>(i)]) continue;
            if (type == QEvent::Enter) {
                MarkButton(i);
            } else if (marked_ == i) {
                MarkButton(-1);
            }
            break;
        }
    }
    return SettingsPage::eventFilter(watched, event);
}

void ButtonsPage::hideEvent(QHideEvent* event) {
    MarkButton(-1);
    SettingsPage::hideEvent(event);
}

void ButtonsPage::Layout4K() {
    fourK_ = true;
    LayoutKeyButtons();
    for (QWidget* child : std::initializer_list<QWidget*>{profile_, restore_, export_, import_,
                                                          debounce_, autoSleep_}) {
        Move4K(child);
    }
    // The mouse picture lays itself out in the layout of its making (position, size and
    // pictures at once); one made before is made again rather than moved, which would
    // leave its pictures at the single size.
    if (mark_ != nullptr && !mark_->Picture().isNull()) {
        markSource_.reset();
        LoadMousePicture();
    }
    debounce_->Layout4K();
    autoSleep_->Layout4K();
}

bool ButtonsPage::event(QEvent* event) {
    if (event->type() == WindowMessageEvent::EventType()) {
        const auto* message = static_cast<WindowMessageEvent*>(event);
        if (message->message == kMenuChosenMessage) {
            OnFunctionChosen(static_cast<std::uint32_t>(message->wParam),
                             static_cast<int>(message->lParam));
            return true;
        }
        if (message->message == WM_COMMAND && message->wParam == kIdProfileSelector) {
            OnProfileChosen(profile_->SelectedIndex());
            return true;
        }
    }
    return SettingsPage::event(event);
}

QRect ButtonsPage::DebounceTipRect() const {
    const std::optional<Point> at = DebounceTipPosition(Options().TipForDebounce);
    if (!at || debounce_->isHidden()) return {};
    const int scale = fourK_ ? 2 : 1;
    const QRect unscaled(at->x, at->y, kDebounceTipSize.width(), kDebounceTipSize.height());
    return QRect(unscaled.topLeft() * scale, unscaled.size() * scale).intersected(rect());
}

void ButtonsPage::paintEvent(QPaintEvent* event) {
    (void)event;
    QPainter painter(this);
    if (!background_.isNull()) painter.drawImage(rect(), background_);
    painter.setFont(TitleFont());
    painter.setPen(ColorFromColorRef(Options().Txt_clr));
    DrawFittedText(painter, fourK_ ? Doubled(kPageTitleRect) : kPageTitleRect,
                   Qt::AlignLeft | Qt::AlignVCenter, title_);
    if (const QRect tip = DebounceTipRect(); !tip.isEmpty()) {
        painter.setFont(WindowFont());
        DrawFittedText(painter, tip, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                       QString::fromStdString(Text("tc_debounce_tips")));
    }
    for (int i = 0; i < keyCount_; ++i) {
        const QImage& number = numbers_[static_cast<std::size_t>(i)];
        if (number.isNull()) continue;
        const Rect button = KeyButtonRect(Options().ptKey, CurrentDevice().KEYH, i, fourK_);
        painter.drawImage(ToQRect(KeyNumberRect(button, fourK_)), number);
    }
}

}  // namespace vantor
