#include "device/windows/progress_dlg.h"

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <mutex>

#include "controls/layout_4k.h"
#include "controls/png_btn.h"
#include "controls/popup_parts.h"
#include "controls/skin.h"
#include "controls/window_message.h"

namespace vantor {
namespace {

// The one progress window the worker may post to, guarded so that it is never posted to
// while it is being destroyed.
class OpenProgressWindow : public MessagePoster {
  public:
    void Register(CProgressDlg* window) {
        std::lock_guard lock(mutex_);
        window_ = window;
    }
    void Unregister(CProgressDlg* window) {
        std::lock_guard lock(mutex_);
        if (window_ == window) window_ = nullptr;
    }
    void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override {
        std::lock_guard lock(mutex_);
        if (window_ != nullptr) PostWindowMessage(window_, message, wParam, lParam);
    }
    bool IsValid() const override {
        std::lock_guard lock(mutex_);
        return window_ != nullptr;
    }

  private:
    mutable std::mutex mutex_;
    CProgressDlg* window_ = nullptr;
};

OpenProgressWindow& OpenWindow() {
    static OpenProgressWindow open;
    return open;
}

}  // namespace

CProgressDlg::CProgressDlg(QWidget* parent) : CSkinnedDialog(parent) {
    font_ = QFont(QStringLiteral("MS Shell Dlg"));
    font_.setWeight(QFont::Light);  // 300
    font_ = FontForCellHeight(font_, Is4KLayout() ? 28 : 14);
    SetDragMoves(false);
}

CProgressDlg::~CProgressDlg() {
    OpenWindow().Unregister(this);
    if (debugOutput_) std::fputs("CProgressDlg::DestroyWindow\n", stderr);
}

void CProgressDlg::SetRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
}

bool CProgressDlg::Prepare() {
    if (prepared_) return HasSkin();
    prepared_ = true;
    if (!InitSkin(QStringLiteral("progress_nr.png"))) return false;
    bar_ = LoadSkinImage(QStringLiteral("progress_ov.png"));
    const int width = Background().width();
    const QString exitPicture = QStringLiteral("exit_nr.png");
    exit_ = NewPopupButton(this, exitPicture, Span(width - 45, 10, width - 25, 35), {});
    if (exit_ != nullptr) connect(exit_, &CPngBtn::clicked, this, &QDialog::reject);
    setWindowTitle(QString::fromLatin1(kProgressWindowTitle));
    return true;
}

void CProgressDlg::showEvent(QShowEvent* event) {
    Prepare();
    OpenWindow().Register(this);
    CSkinnedDialog::showEvent(event);
}

bool CProgressDlg::event(QEvent* event) {
    if (event->type() == WindowMessageEvent::EventType()) {
        const auto* message = static_cast<WindowMessageEvent*>(event);
        if (message->message == kApplyProgressMessage) {
            SetPos(message->wParam);
        } else if (message->message == WM_CLOSE) {
            OpenWindow().Unregister(this);
            done(Accepted);
        }
        return true;
    }
    if (event->type() == QEvent::Hide) OpenWindow().Unregister(this);
    return CSkinnedDialog::event(event);
}

void CProgressDlg::SetPos(std::uintptr_t position) {
    if (debugOutput_)
        std::fprintf(stderr, "CProgressDlg::OnSetPos = %d\n", static_cast<int>(position));
    const bool inRange = position <= static_cast<std::uintptr_t>(INT_MAX) &&
                         static_cast<int>(position) >= minimum_ &&
                         static_cast<int>(position) <= maximum_;
    position_ = inRange ? static_cast<int>(position) : minimum_;
    repaint();
}

int CProgressDlg::FillRight() const {
    const QRect bar = LayoutRect(barRect_);
    if (maximum_ <= minimum_) return bar.left();
    const long long span = static_cast<long long>(bar.width());
    const long long done = static_cast<long long>(position_ - minimum_) * span /
                           (static_cast<long long>(maximum_) - minimum_);
    return bar.left() + static_cast<int>(std::clamp<long long>(done, 0, span));
}

void CProgressDlg::PaintContent(QPainter& painter) {
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

bool CProgressDlg::PreTranslateKey(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Space:
            return true;
        default:
            return CSkinnedDialog::PreTranslateKey(event);
    }
}

MessagePoster* ProgressWindowSearch::FindProgressWindow() {
    OpenProgressWindow& open = OpenWindow();
    return open.IsValid() ? &open : nullptr;
}

}  // namespace vantor
