// The About box, opened modally by the main window's help button: a skinned pop-up on
// "msg_nr.png" with the program texts, the firmware version of the found mouse, a web link,
// a close button and (with ShowFWUpdate) a firmware button.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "ui/widgets/skinned_popup.h"

namespace vantor {

class SkinnedButton;

class AboutWindow : public SkinnedPopup {
    Q_OBJECT

  public:
    // `firmwareVersion` is the version of the mouse known to discovery, if any.
    explicit AboutWindow(QWidget* parent = nullptr,
                         std::optional<std::uint16_t> firmwareVersion = std::nullopt);

    // Closes at once (rejected) when the background picture could not be decoded.
    int exec() override;

    // What a click on the link does with the tc_web address; by default the desktop opens it.
    void SetLinkOpener(std::function<void(const QString&)> opener) {
        openLink_ = std::move(opener);
    }

    SkinnedButton* CloseButton() const { return closeButton_; }
    SkinnedButton* LinkButton() const { return linkButton_; }
    SkinnedButton* FirmwareButton() const { return firmwareButton_; }

    // The text lines with their rectangles, in window coordinates, as painted.
    struct TextLine {
        QRect rect;
        QString text;
    };
    std::vector<TextLine> TextLines() const;

  protected:
    void PaintContent(QPainter& painter) override;

  private:
    static QString VersionText();
    void CreateButtons();
    void OpenWebLink();

    std::optional<std::uint16_t> firmwareVersion_;
    std::function<void(const QString&)> openLink_;
    SkinnedButton* closeButton_ = nullptr;
    SkinnedButton* linkButton_ = nullptr;
    SkinnedButton* firmwareButton_ = nullptr;
};

}  // namespace vantor
