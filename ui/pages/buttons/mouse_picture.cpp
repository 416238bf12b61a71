#include "ui/pages/buttons/mouse_picture.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/widgets/control_accessibility.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/skinned_button.h"

namespace vantor {
namespace {

// `picture` drawn over the part of `background` it covers at `position`.
QImage Compose(const QImage& background, QPoint position, const QImage& picture) {
    QImage composed = BackgroundCrop(background, QRect(position, picture.size()));
    if (composed.isNull()) {
        composed = QImage(picture.size(), QImage::Format_ARGB32_Premultiplied);
        composed.fill(Qt::transparent);
    }
    QPainter painter(&composed);
    painter.drawImage(0, 0, picture);
    return composed;
}

QImage ForLayout(const QImage& picture) {
    return Is4KLayout() ? ScaledCopy(picture, 2) : picture;
}

}  // namespace

MousePicture::MousePicture(QWidget* page) : QWidget(page) {}

QString MousePicture::MouseFolder(int cid, int mid) {
    return QStringLiteral("%1%2/")
        .arg(cid & 0xFF, 2, 16, QChar('0'))
        .arg(mid & 0xFF, 2, 16, QChar('0'));
}

bool MousePicture::Create(const QImage& pageBackground, QPoint position, int cid, int mid,
                          const std::array<Rect, kKeysPerSet>& marks, int keyCount) {
    const QString folder = MouseFolder(cid, mid);
    const QImage mouse = LoadSkinImage(folder + QStringLiteral("mouse_nr.png"));
    if (mouse.isNull()) return false;
    QImage mouseDown = LoadSkinImage(folder + QStringLiteral("mouse_dn.png"));
    if (mouseDown.isNull()) mouseDown = mouse;

    picture_ = ForLayout(Compose(pageBackground, position, mouse));
    // Only the areas keep pieces of the highlighted look.
    const QImage highlighted = ForLayout(Compose(pageBackground, position, mouseDown));
    setGeometry(LayoutRect(QRect(position, mouse.size())));

    for (int i = 0; i < kKeysPerSet; ++i) {
        const Rect& mark = marks[static_cast<std::size_t>(i)];
        if (mark.IsEmpty() || i >= keyCount) continue;
        // Marks come from the configuration: an area keeps to the mouse picture.
        const QRect area =
            LayoutRect(QRect(QPoint(mark.left, mark.top), QPoint(mark.right - 1, mark.bottom - 1)))
                .intersected(picture_.rect());
        if (area.isEmpty()) continue;
        auto* button = new SkinnedButton(this);
        button->setGeometry(area);
        button->SetImages(picture_.copy(area), picture_.copy(area), highlighted.copy(area));
        button->SetCheckMode(true, false);
        // Presses go to this window, which drags the main window.
        button->setAttribute(Qt::WA_TransparentForMouseEvents);
        button->setFocusPolicy(Qt::NoFocus);  // a highlight, not a control
        button->setProperty(kDecorationProperty, true);
        areas_[static_cast<std::size_t>(i)] = button;
    }
    show();
    return true;
}

void MousePicture::MarkKey(unsigned index) {
    for (std::size_t i = 0; i < areas_.size(); ++i) {
        if (areas_[i] != nullptr) areas_[i]->SetCheck(i == index);
    }
}

SkinnedButton* MousePicture::Area(int index) const {
    if (index < 0 || index >= kKeysPerSet) return nullptr;
    return areas_[static_cast<std::size_t>(index)];
}

void MousePicture::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawImage(rect(), picture_);
}

void MousePicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        dragOffset_ = event->globalPosition().toPoint() - window()->frameGeometry().topLeft();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void MousePicture::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        window()->move(event->globalPosition().toPoint() - dragOffset_);
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void MousePicture::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}

}  // namespace vantor
