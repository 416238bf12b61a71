#include "ui/shell/about_window.h"

#include <QDesktopServices>
#include <QFont>
#include <QPainter>
#include <QUrl>

#include "app/config/config.h"
#include "base/texts.h"
#include "base/version.h"
#include "platform/paths.h"
#include "ui/shell/documentation_link.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/popup_parts.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skin_loaders.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {
namespace {

constexpr QRect kLinkRect = Span(60, 105, 260, 125);
constexpr QRect kFirmwareRect = Span(280, 105, 391, 132);

QString TextOf(const char* key) {
    return QString::fromStdString(Text(key));
}

}  // namespace

AboutWindow::AboutWindow(QWidget* parent, std::optional<std::uint16_t> firmwareVersion)
    : SkinnedPopup(parent), firmwareVersion_(firmwareVersion) {
    openLink_ = [](const QString& address) {
        QDesktopServices::openUrl(QUrl::fromUserInput(address));
    };
    if (!InitSkin(QStringLiteral("msg_nr.png"))) return;
    CreateButtons();
}

int AboutWindow::exec() {
    if (!HasSkin()) return QDialog::Rejected;
    return SkinnedPopup::exec();
}

void AboutWindow::CreateButtons() {
    const QString exitPicture = QStringLiteral("exit_nr.png");
    closeButton_ = NewSmallPngButton(
        this, Background(), {exitPicture, exitPicture, exitPicture, kPopupCloseRect, {}, 0});
    if (closeButton_ != nullptr) {
        connect(closeButton_, &SkinnedButton::clicked, this, &QDialog::reject);
    }

    const AppOptions& options = Options();
    linkButton_ = new SkinnedButton(this);
    linkButton_->setGeometry(kLinkRect);
    linkButton_->SetBackgroundImage(BackgroundCrop(Background(), kLinkRect));
    // Left-aligned with the texts above it and underlined, so it reads as a link.
    linkButton_->SetText(TextOf("tc_msg24"), 0,
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine);
    QFont linkFont = linkButton_->font();
    linkFont.setUnderline(true);
    linkButton_->setFont(linkFont);
    linkButton_->SetTextColors(ColorFromColorRef(options.Btn_txt_clr_ov),
                               ColorFromColorRef(options.Btn_txt_clr_nr),
                               ColorFromColorRef(options.Btn_txt_clr_dn));
    linkButton_->setCursor(Qt::PointingHandCursor);
    connect(linkButton_, &SkinnedButton::clicked, this, &AboutWindow::OpenWebLink);
    // Without the documentation (a program run from its build folder) there is no link.
    linkButton_->setVisible(!DocumentationUrl(ProgramDir(), Text("tc_web")).isEmpty());

    const QString resetPicture = QStringLiteral("reset_nr.png");
    firmwareButton_ = NewSmallPngButton(
        this, Background(), {resetPicture, resetPicture, resetPicture, kFirmwareRect, {}, 0});
    if (firmwareButton_ != nullptr) {
        // The button caption colours of the other buttons: a fixed grey caption read as a
        // disabled button.
        firmwareButton_->SetText(TextOf("tc_msg8"));
        firmwareButton_->SetTextColors(ColorFromColorRef(options.Btn_txt_clr_ov),
                                       ColorFromColorRef(options.Btn_txt_clr_nr),
                                       ColorFromColorRef(options.Btn_txt_clr_dn));
        firmwareButton_->setVisible(options.ShowFWUpdate != 0);
    }

    if (Is4KLayout()) {
        for (QWidget* child :
             {static_cast<QWidget*>(closeButton_), static_cast<QWidget*>(linkButton_),
              static_cast<QWidget*>(firmwareButton_)}) {
            Move4K(child);
        }
    }
}

void AboutWindow::OpenWebLink() {
    const QUrl target = DocumentationUrl(ProgramDir(), Text("tc_web"));
    if (!target.isEmpty() && openLink_) openLink_(target.toString());
}

// The language text names the line ("Version"); the number is the program's own.
QString AboutWindow::VersionText() {
    const QString version = QString::fromLatin1(ProgramVersion());
    const QString text = TextOf("tc_version");
    return text.isEmpty() ? version : text + QLatin1Char(' ') + version;
}

std::vector<AboutWindow::TextLine> AboutWindow::TextLines() const {
    const QString firmwareLabel = TextOf("tc_fwver");
    const int y = firmwareLabel.isEmpty() ? 70 : 60;
    std::vector<TextLine> lines;
    lines.push_back({LayoutRect(Span(60, 30, 420, 50)), TextOf("tc_msg21")});
    lines.push_back({LayoutRect(Span(60, y, 420, y + 20)), VersionText()});
    if (firmwareVersion_.has_value() && !firmwareLabel.isEmpty()) {
        const QString version = QStringLiteral("%1").arg(*firmwareVersion_, 4, 16, QChar('0'));
        lines.push_back({LayoutRect(Span(60, y + 20, 420, y + 40)),
                         firmwareLabel + QLatin1Char(' ') + version});
    }
    return lines;
}

void AboutWindow::PaintContent(QPainter& painter) {
    const QColor colour = ColorFromColorRef(Options().Txt_clr);
    for (const TextLine& line : TextLines()) DrawText(painter, line.rect, line.text, colour);
}

}  // namespace vantor
