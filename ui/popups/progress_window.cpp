#include "ui/popups/progress_window.h"

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <mutex>

#include "ui/widgets/layout_4k.h"
#include "ui/widgets/popup_parts.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {

ProgressWindow::ProgressWindow(QWidget* parent) : SkinnedPopup(parent) {
    font_ = QFont(QStringLiteral("MS Shell Dlg"));
    font_.setWeight(QFont::Light);  // 300
    font_ = FontForCellHeight(font_, Is4KLayout() ? 28 : 14);
    SetDragMoves(false);
}

ProgressWindow::~ProgressWindow() {
    if (sink_) sink_->Detach();
    if (debugOutput_) std::fputs("CProgressDlg::DestroyWindow\n", stderr);
}

void ProgressWindow::SetRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
}

bool ProgressWindow::Prepare() {
    if (prepared_) return HasSkin();
    prepared_ = true;
    if (!InitSkin(QStringLiteral("progress_nr.png"))) return false;
    bar_ = LoadSkinImage(QStringLiteral("progress_ov.png"));
    const int width = Background().width();
    const QString exitPicture = QStringLiteral("exit_nr.png");
    exit_ = NewPopupButton(this, exitPicture, Span(width - 45, 10, width - 25, 35), {});
    if (exit_ != nullptr) connect(exit_, &SkinnedButton::clicked, this, &QDialog::reject);
    setWindowTitle(QString::fromLatin1(kProgressWindowTitle));
    return true;
}

std::shared_ptr<ProgressSink> ProgressWindow::Sink() {
    if (!sink_) sink_ = std::make_shared<ProgressWindowSink>(this);
    return sink_;
}

void ProgressWindow::showEvent(QShowEvent* event) {
    Prepare();
    SkinnedPopup::showEvent(event);
}

void ProgressWindow::hideEvent(QHideEvent* event) {
    // A closed window takes no more progress, even when it is shown again later.
    if (sink_) sink_->Detach();
    SkinnedPopup::hideEvent(event);
}

void ProgressWindow::SetPosition(int position) {
    if (debugOutput_) std::fprintf(stderr, "CProgressDlg::OnSetPos = %d\n", position);
    position_ = position >= minimum_ && position <= maximum_ ? position : minimum_;
    repaint();
}

int ProgressWindow::FillRight() const {
    const QRect bar = LayoutRect(barRect_);
    if (maximum_ <= minimum_) return bar.left();
    const long long span = static_cast<long long>(bar.width());
    const long long done = static_cast<long long>(position_ - minimum_) * span /
                           (static_cast<long long>(maximum_) - minimum_);
    return bar.left() + static_cast<int>(std::clamp<long long>(done, 0, span));
}

void ProgressWindow::PaintContent(QPainter& painter) {
    if (!bar_.isNull()) {
        const int fillRight = FillRight();
        if (bar_.size() == Background().size()) {
            // A bar picture of the window's size: its left part up to the fill edge.
            const double scale = static_cast<double>(bar_.width()) / width();
            painter.drawImage(QRectF(0, 0, fillRight, height()), bar_,
                              QRectF(0, 0, fillRight * scale, bar_.height()));
        } else {
            // A bar picture of the bar's size: drawn into the bar, cut at the fill edge.
            const QRect bar = LayoutRect(barRect_);
            const int filled = fillRight - bar.left();
            if (filled > 0 && bar.width() > 0) {
                const double scale = static_cast<double>(bar_.width()) / bar.width();
                painter.drawImage(QRectF(bar.left(), bar.top(), filled, bar.height()), bar_,
                                  QRectF(0, 0, filled * scale, bar_.height()));
            }
        }
    }
    if (!text_.isEmpty()) {
        painter.setFont(font_);
        const QRect rect = LayoutRect(textRect_);
        DrawText(painter, rect, text_, Qt::white,
                 Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine);
    }
}

bool ProgressWindow::PreTranslateKey(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Space:
            return true;
        default:
            return SkinnedPopup::PreTranslateKey(event);
    }
}

void ProgressWindowSink::Detach() {
    std::lock_guard lock(mutex_);
    window_ = nullptr;
}

bool ProgressWindowSink::IsOpen() const {
    std::lock_guard lock(mutex_);
    return window_ != nullptr;
}

// The window cannot go while the lock is held (it detaches first), and a queued call whose
// window has gone before it ran is dropped with the window.
void ProgressWindowSink::SetPosition(int position) {
    std::lock_guard lock(mutex_);
    if (window_ == nullptr) return;
    QMetaObject::invokeMethod(
        window_, [window = window_, position] { window->SetPosition(position); },
        Qt::QueuedConnection);
}

void ProgressWindowSink::Close() {
    std::lock_guard lock(mutex_);
    if (window_ == nullptr) return;
    QMetaObject::invokeMethod(
        window_, [window = window_] { window->done(QDialog::Accepted); }, Qt::QueuedConnection);
}

}  // namespace vantor
