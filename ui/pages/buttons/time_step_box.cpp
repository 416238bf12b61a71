#include "ui/pages/buttons/time_step_box.h"

#include <QPainter>
#include <QPointer>

#include "app/config/config.h"
#include "base/texts.h"
#include "ui/widgets/fitted_text.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {
namespace {

const QRect kMinusRect(QPoint(79, 5), QPoint(95, 24));
const QRect kValueRect(QPoint(97, 7), QPoint(140, 23));
const QRect kPlusRect(QPoint(142, 5), QPoint(161, 24));

SkinnedButton* MakeButton(QWidget* parent, const QImage& face, const QRect& rect,
                          const QString& text) {
    auto* button = new SkinnedButton(parent);
    button->setGeometry(rect);
    const QImage cut = face.isNull() ? QImage() : face.copy(rect);
    button->SetImages(cut, cut, cut);
    button->SetText(text, 0, Qt::AlignCenter);
    button->SetTextColors(ColorFromColorRef(Options().Btn_txt_clr_ov),
                          ColorFromColorRef(Options().Btn_txt_clr_nr),
                          ColorFromColorRef(Options().Btn_txt_clr_dn));
    return button;
}

}  // namespace

TimeStepBox::TimeStepBox(QWidget* page, PageHost& host, const QImage& pageBackground,
                         const QRect& rect, std::string captionKey, std::uint32_t applyFlag)
    : QWidget(page),
      host_(host),
      face_(LoadSkinImage(QStringLiteral("key_time.png"))),
      background_(BackgroundCrop(pageBackground, rect)),
      captionKey_(std::move(captionKey)),
      applyFlag_(applyFlag),
      valueRect_(kValueRect),
      captionRect_(QPoint(0, 0), QPoint(kMinusRect.left() - 2, kHeight - 1)) {
    setGeometry(rect);
    minus_ = MakeButton(this, face_, kMinusRect, QStringLiteral("-"));
    plus_ = MakeButton(this, face_, kPlusRect, QStringLiteral("+"));
    connect(minus_, &SkinnedButton::clicked, this, [this] { OnStep(false); });
    connect(plus_, &SkinnedButton::clicked, this, [this] { OnStep(true); });
    RefreshTexts();
}

void TimeStepBox::RefreshTexts() {
    caption_ = QString::fromStdString(Text(captionKey_));
    update();
}

void TimeStepBox::Layout4K() {
    minus_->setGeometry(Doubled(minus_->geometry()));
    plus_->setGeometry(Doubled(plus_->geometry()));
    valueRect_ = Doubled(valueRect_);
    captionRect_ = Doubled(captionRect_);
    update();
}

void TimeStepBox::OnStep(bool up) {
    QPointer<TimeStepBox> self(this);
    host_.CheckDeviceReady([self, up] {
        if (!self) return;
        if (!(up ? self->StepUp() : self->StepDown())) return;
        self->update();
        if (self->onChanged_) self->onChanged_();
        self->host_.ApplyChange(self->applyFlag_, 0);
    });
}

void TimeStepBox::paintEvent(QPaintEvent* event) {
    (void)event;
    QPainter painter(this);
    if (!background_.isNull()) painter.drawImage(rect(), background_);
    if (!face_.isNull()) painter.drawImage(rect(), face_);
    painter.setFont(FallbackFont());
    painter.setPen(ColorFromColorRef(Options().Txt_clr));
    DrawFittedText(painter, captionRect_, Qt::AlignCenter, caption_);
    DrawFittedText(painter, valueRect_, Qt::AlignCenter, ValueText());
}

}  // namespace vantor
