// MessageWindow: the one skinned window for messages, questions, text and number input, key
// capture and self-closing waits, on the "msg_nr.png" background.
//
// Modes: 1 message (OK), 5 question (OK and Cancel), 2 text input, 3 number input, 4 key
// capture. The caller gives the settings, runs the window and reads the result. A wait
// message (mode 1, closed by its owner) has no buttons: its owner closes it when what it
// waits for has happened.
//
// Enter acts as OK and Escape as Cancel (except in key capture, where every key is
// captured); the text box takes every character, Space included. A wait message ignores
// both: it closes when its wait ends.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ui/popups/logic/key_capture.h"
#include "ui/widgets/logic/number_input.h"
#include "ui/widgets/skinned_popup.h"

class QLineEdit;

namespace vantor {

class SkinnedButton;

enum MsgMode : int {
    kMsgMessage = 1,
    kMsgTextInput = 2,
    kMsgNumberInput = 3,
    kMsgKeyCapture = 4,
    kMsgQuestion = 5,
};

// Text limits the callers use: names and numbers.
constexpr int kNameInputChars = 15;
constexpr int kNumberInputChars = 6;

class MessageWindow : public SkinnedPopup {
    Q_OBJECT

  public:
    explicit MessageWindow(QWidget* parent = nullptr);
    ~MessageWindow() override;

    // Settings, given before the window runs.
    void SetMode(int mode) { mode_ = mode; }
    void SetPrompt(const QString& prompt) { prompt_ = prompt; }
    void SetSingleKey(bool on) { singleKey_ = on; }
    void SetModifierToggles(bool on) { modifierToggles_ = on; }
    void SetTextLimit(int chars) { textLimit_ = chars; }
    // Mode 3: accepted range; kNoBound (-1) leaves a side open.
    void SetRange(int minimum, int maximum) {
        minimum_ = minimum;
        maximum_ = maximum;
    }
    // Modes 2 and 3: the text the edit box opens with.
    void SetInitialText(const QString& text) { initialText_ = text; }
    // Mode 1: the window shows no buttons and ignores Enter and Escape; its owner closes it
    // (done) when the wait is over.
    void SetClosedByOwner(bool on) { closedByOwner_ = on; }
    // How the tc_msg29 text (too many keys) is shown; by default a message window.
    void SetMessageShower(std::function<void(const QString&)> shower) {
        showMessage_ = std::move(shower);
    }

    // Creates the controls for the settings; showing the window does it once by itself.
    // False when the background picture is missing.
    bool Prepare();
    // Rejected at once when the background picture is missing.
    int exec() override;

    // Results after OK.
    QString InputText() const { return text_; }
    int InputNumber() const { return number_; }
    const KeyCombination& Combination() const { return combination_; }

    // The parts as laid out, for tests and previews.
    int Mode() const { return mode_; }
    const QString& Prompt() const { return prompt_; }
    // A wait message: it closes when its wait ends, not by a button.
    bool ClosesByItself() const { return IsWaiting(); }
    SkinnedButton* OkButton() const { return ok_; }
    SkinnedButton* CancelButton() const { return cancel_; }
    SkinnedButton* CloseButton() const { return close_; }
    QLineEdit* Edit() const { return edit_; }
    const std::array<SkinnedButton*, 4>& Toggles() const { return toggles_; }
    QString HintText() const { return hint_; }
    // Message text area (modes 1 and 5), prompt and hint line (modes 2-4), window coordinates.
    QRect MessageRect() const;
    QRect PromptRect() const;
    QRect HintRect() const;

    // What OK does: checks the input and closes the window when it is acceptable.
    void OnOk();

  protected:
    void PaintContent(QPainter& painter) override;
    bool PreTranslateKey(QKeyEvent* event) override;
    void OnEnterKey() override;
    void OnEscapeKey() override;
    void showEvent(QShowEvent* event) override;

  private:
    void CreateInputControls();
    void CreateToggles();
    void OnNumberTyped();
    void SetHint(const QString& hint);
    bool IsWaiting() const { return mode_ == kMsgMessage && closedByOwner_; }

    int mode_ = kMsgMessage;
    QString prompt_;
    bool singleKey_ = false;
    bool modifierToggles_ = false;
    int textLimit_ = 0;
    int minimum_ = kNoBound;
    int maximum_ = kNoBound;
    QString initialText_;
    bool closedByOwner_ = false;
    std::function<void(const QString&)> showMessage_;

    bool prepared_ = false;
    SkinnedButton* ok_ = nullptr;
    SkinnedButton* cancel_ = nullptr;
    SkinnedButton* close_ = nullptr;
    QLineEdit* edit_ = nullptr;
    std::array<SkinnedButton*, 4> toggles_{};  // Ctrl, Shift, Alt, Win
    QString hint_;
    std::unique_ptr<KeyCapture> capture_;

    QString text_;
    int number_ = 0;
    KeyCombination combination_;
};

// Mode 1: OK. Returns QDialog::Accepted (or Rejected when the window cannot be shown).
int ShowMessage(const std::string& text, QWidget* parent = nullptr);
// Mode 5: true on OK.
bool AskQuestion(const std::string& text, QWidget* parent = nullptr);
// Mode 2: the text, or nothing on cancel or an empty text.
std::optional<std::string> InputText(const std::string& prompt, int limit,
                                     QWidget* parent = nullptr, const std::string& initial = {});
// Mode 3: the number, or nothing on cancel.
std::optional<int> InputNumber(const std::string& prompt, int minimum, int maximum, int limit,
                               QWidget* parent = nullptr, std::optional<int> preset = {});
// Mode 4: the combination, or nothing on cancel.
std::optional<KeyCombination> CaptureKeys(const std::string& prompt, bool singleKey,
                                          bool modifierToggles, QWidget* parent = nullptr);

}  // namespace vantor
