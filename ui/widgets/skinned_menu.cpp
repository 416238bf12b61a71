#include "ui/widgets/skinned_menu.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "base/message_sink.h"
#include "base/skin_style.h"
#include "ui/widgets/fitted_text.h"
#include "ui/widgets/layout_4k.h"
#include "ui/widgets/skin.h"
#include "ui/widgets/skin_images.h"
#include "ui/widgets/window_message.h"

namespace vantor {
namespace {

constexpr int kMargin = 2;
constexpr int kTextIndent = 10;
constexpr int kShadowOffset = 4;
const QColor kFrameFill(24, 26, 30);
// A frame clearly lighter than the page panels and their borders, and a shadow darker than
// any page, so an open drop-down stands out from what lies under it.
const QColor kFrameColour(0x5C, 0x62, 0x72);
const QColor kShadowColour(0x08, 0x09, 0x0B);
const QColor kCurrentMark(0x00, 0xAA, 0xFF);

// The row pictures, loaded once per skin folder.
struct MenuImages {
    QString folder;
    QImage row, rowHover, subRow, subRowHover;
};

const MenuImages& Images() {
    static MenuImages images;
    const QString folder = SkinPath(QString());
    if (images.folder != folder || images.row.isNull()) {
        images.folder = folder;
        images.row = LoadSkinImage(QStringLiteral("menu_nr.png"));
        images.rowHover = LoadSkinImage(QStringLiteral("menu_ov.png"));
        images.subRow = LoadSkinImage(QStringLiteral("menusub_nr.png"));
        images.subRowHover = LoadSkinImage(QStringLiteral("menusub_ov.png"));
    }
    return images;
}

const QImage& RowImage(bool hasChildren, bool hover) {
    const MenuImages& images = Images();
    const QImage& sub = hover ? images.subRowHover : images.subRow;
    const QImage& plain = hover ? images.rowHover : images.row;
    if (hasChildren && !sub.isNull()) return sub;
    return plain.isNull() ? images.row : plain;
}

int Scaled(int value) {
    return Is4KLayout() ? 2 * value : value;
}

// A tick at the right end of the row of the current choice.
void DrawCurrentMark(QPainter& painter, const QRect& row) {
    const qreal unit = row.height() / 20.0;
    const QPointF right(row.right() - Scaled(kTextIndent), row.center().y());
    QPainterPath tick;
    tick.moveTo(right + QPointF(-9 * unit, 0));
    tick.lineTo(right + QPointF(-6 * unit, 3 * unit));
    tick.lineTo(right + QPointF(0, -4 * unit));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kCurrentMark, 1.8 * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
    painter.restore();
}

// The window of a menu's drop shadow: one dark colour, never taking input or focus.
class MenuShadow : public QWidget {
  public:
    explicit MenuShadow(QWidget* parent)
        : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                              Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus) {
        setAttribute(Qt::WA_ShowWithoutActivating);
    }

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), kShadowColour);
    }
};

QPointer<SkinnedMenu> g_openMenu;
bool g_creatingMenu = false;

}  // namespace

MenuTextColors ConfiguredMenuColors() {
    const SkinStyle& style = CurrentSkinStyle();
    return {style.menuTextNormal, style.menuTextHover, style.menuTextPressed};
}

SkinnedMenu::SkinnedMenu(QWidget* parent, QObject* owner, MenuLayout layout, MenuTextColors colors,
                         std::intptr_t userValue)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      owner_(owner),
      layout_(std::move(layout)),
      colors_(colors),
      userValue_(userValue) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    setFont(WindowFont());
    const Rect window = layout_.WindowRect();
    setGeometry(window.left, window.top, window.right - window.left, window.bottom - window.top);
    shadow_ = new MenuShadow(parent);
    PlaceShadow();
    // The top menu watches the whole program for what closes it.
    if (!layout_.IsSubMenu()) qApp->installEventFilter(this);
}

SkinnedMenu::~SkinnedMenu() {
    qApp->removeEventFilter(this);
    delete shadow_.data();
}

void SkinnedMenu::PlaceShadow() {
    if (shadow_ == nullptr) return;
    const int offset = Scaled(kShadowOffset);
    shadow_->setGeometry(geometry().translated(offset, offset));
    // Only the part beside and below the menu, so that the shadow never covers a row.
    shadow_->setMask(QRegion(shadow_->rect()) - QRegion(QRect(QPoint(-offset, -offset), size())));
}

void SkinnedMenu::setVisible(bool visible) {
    // The shadow goes up first so that the menu lies above it.
    if (visible && shadow_ != nullptr) shadow_->show();
    QWidget::setVisible(visible);
    if (!visible && shadow_ != nullptr) shadow_->hide();
}

void SkinnedMenu::moveEvent(QMoveEvent* event) {
    PlaceShadow();
    QWidget::moveEvent(event);
}

void SkinnedMenu::SetCurrentValue(std::optional<std::uint32_t> value) {
    current_ = value;
    update();
}

int SkinnedMenu::CurrentRow() const {
    if (!current_) return -1;
    for (int row = 0; row < layout_.RowCount(); ++row) {
        if (layout_.RowItem(row).dwValue == *current_) return row;
    }
    return -1;
}

QPoint SkinnedMenu::RowCentre(int row) const {
    const Rect rect = layout_.RowRect(row);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

QRect SkinnedMenu::RowTextRect(int row) const {
    const Rect r = layout_.RowRect(row);
    const bool hasArrow =
        (!layout_.IsSubMenu() && layout_.RowHasChildren(row)) || row == CurrentRow();
    const int rightIndent = Scaled(hasArrow ? 2 * kTextIndent : kTextIndent);
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top)
        .adjusted(Scaled(kTextIndent), 0, -rightIndent, 0);
}

void SkinnedMenu::OpenSubMenu(std::uint32_t parentValue, QPoint topLeft) {
    MenuLayout sub(layout_.Items(), true, parentValue, width(), layout_.RowHeight(),
                   Scaled(kMargin), {topLeft.x(), topLeft.y()});
    subMenu_ = new SkinnedMenu(this, this, std::move(sub), colors_, 0);
    subMenu_->SetCurrentValue(current_);
    subMenu_->show();
}

void SkinnedMenu::CloseSubMenu() {
    if (subMenu_ == nullptr) return;
    subMenu_->hide();
    subMenu_->deleteLater();
    subMenu_ = nullptr;
}

void SkinnedMenu::CloseSelf() {
    if (g_openMenu == this) {
        CloseMenu();
        return;
    }
    CloseSubMenu();
    hide();
    deleteLater();
}

void SkinnedMenu::Choose(std::uint32_t value) {
    PostWindowMessage(owner_, kMenuChosenMessage, value, userValue_);
    CloseSelf();
}

bool SkinnedMenu::event(QEvent* event) {
    if (event->type() == WindowMessageEvent::EventType()) {
        // A sub-menu's choice: pass it on to the owner with this menu's user value.
        auto* message = static_cast<WindowMessageEvent*>(event);
        if (message->message == kMenuChosenMessage) {
            Choose(static_cast<std::uint32_t>(message->wParam));
            return true;
        }
    }
    return QWidget::event(event);
}

bool SkinnedMenu::PressDismisses(const QWidget* widget) const {
    if (widget == nullptr) return false;
    const QWidget* window = widget->window();
    if (window == this || window == subMenu_.data() || window == shadow_.data()) return false;
    const QWidget* anchor = anchor_.data();
    return anchor == nullptr || (widget != anchor && !anchor->isAncestorOf(widget));
}

bool SkinnedMenu::OwnerLeft(const QObject* watched, const QEvent* event) const {
    const auto* owner = qobject_cast<const QWidget*>(owner_);
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (owner == nullptr || widget == nullptr) return false;
    switch (event->type()) {
        case QEvent::Hide:
            return widget == owner || widget->isAncestorOf(owner);
        case QEvent::Move:
        case QEvent::WindowStateChange:
            return widget == owner->window();
        default:
            return false;
    }
}

bool SkinnedMenu::eventFilter(QObject* watched, QEvent* event) {
    if (g_openMenu != this) return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
            // The press goes on to what was clicked.
            if (PressDismisses(qobject_cast<QWidget*>(watched))) CloseMenu();
            return false;
        case QEvent::KeyPress:
            return HandleKey(static_cast<QKeyEvent*>(event)->key());
        case QEvent::ApplicationStateChange:
            if (QGuiApplication::applicationState() != Qt::ApplicationActive) CloseMenu();
            return false;
        default:
            if (OwnerLeft(watched, event)) CloseMenu();
            return false;
    }
}

bool SkinnedMenu::HandleKey(int key) {
    if (keysInSubMenu_ && subMenu_ != nullptr) {
        if (key != Qt::Key_Left) return subMenu_->HandleKey(key);
        keysInSubMenu_ = false;
        return true;
    }
    const int hovered = layout_.Hovered();
    const bool onParentRow =
        hovered >= 0 && !layout_.IsSubMenu() && layout_.RowHasChildren(hovered);
    switch (key) {
        case Qt::Key_Escape:
            CloseMenu();
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            CloseMenu();
            return false;  // the focus moves on as usual
        case Qt::Key_Up:
            MoveHighlight(-1);
            return true;
        case Qt::Key_Down:
            MoveHighlight(1);
            return true;
        case Qt::Key_Right:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            if (onParentRow && subMenu_ != nullptr) {
                keysInSubMenu_ = true;
                if (subMenu_->layout_.Hovered() < 0) subMenu_->MoveHighlight(1);
                return true;
            }
            if (key == Qt::Key_Right) return true;
            if (const MenuLayout::Click click = layout_.OnButtonUp(); click.choose) {
                Choose(click.value);
            }
            return true;
        case Qt::Key_Left:
            return true;
        default:
            return false;
    }
}

void SkinnedMenu::MoveHighlight(int step) {
    const int count = layout_.RowCount();
    if (count == 0) return;
    int row = layout_.Hovered();
    if (row < 0) {
        // The first step lands on the current choice, or on the first or last row.
        row = CurrentRow() >= 0 ? CurrentRow() : (step > 0 ? 0 : count - 1);
    } else {
        row = ((row + step) % count + count) % count;
    }
    const QPoint centre = RowCentre(row);
    ApplyHover(layout_.OnMouseMove({centre.x(), centre.y()}));
}

void SkinnedMenu::ApplyHover(const MenuLayout::HoverChange& change) {
    if (!change.changed) return;
    update();
    CloseSubMenu();
    keysInSubMenu_ = false;
    if (change.openSubMenu) {
        OpenSubMenu(change.subMenuParent, {change.subMenuTopLeft.x, change.subMenuTopLeft.y});
    }
}

void SkinnedMenu::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    ApplyHover(layout_.OnMouseMove({pos.x(), pos.y()}));
}

void SkinnedMenu::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    update();
}

void SkinnedMenu::mouseReleaseEvent(QMouseEvent* /*event*/) {
    pressed_ = false;
    const MenuLayout::Click click = layout_.OnButtonUp();
    if (click.choose) {
        Choose(click.value);
    } else {
        update();
    }
}

void SkinnedMenu::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    // The frame takes the colour of the row picture's middle, with a one-pixel edge.
    const QImage& rowPicture = Images().row;
    const QColor fill = rowPicture.isNull() ? kFrameFill
                                            : rowPicture.pixelColor(rowPicture.width() / 2,
                                                                    rowPicture.height() / 2);
    painter.fillRect(rect(), fill);
    painter.setFont(font());
    const int currentRow = CurrentRow();
    for (int row = 0; row < layout_.RowCount(); ++row) {
        const Rect r = layout_.RowRect(row);
        const QRect target(r.left, r.top, r.right - r.left, r.bottom - r.top);
        const bool hover = row == layout_.Hovered();
        const bool hasChildren = !layout_.IsSubMenu() && layout_.RowHasChildren(row);
        const QImage& image = RowImage(hasChildren, hover);
        if (!image.isNull()) painter.drawImage(target, image);
        std::uint32_t color = row == currentRow ? colors_.pressed : colors_.normal;
        if (hover) color = pressed_ ? colors_.pressed : colors_.hover;
        painter.setPen(ColorFromColorRef(color));
        if (row == currentRow) DrawCurrentMark(painter, target);
        const QRect textBox = RowTextRect(row);
        DrawFittedText(painter, textBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                       QString::fromStdString(layout_.RowItem(row).szText));
    }
    painter.setPen(kFrameColour);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

SkinnedMenu* ShowMenu(QObject* owner, int width, QPoint topLeft, const MenuTextColors& colors,
                      std::intptr_t userValue, std::span<const MenuItem> items) {
    CloseMenu();
    g_creatingMenu = true;
    int rowHeight = Images().row.height();
    if (rowHeight == 0) ShowSystemMessage("Menu item height is 0", "Warring");
    rowHeight = Scaled(rowHeight);
    MenuLayout layout(std::vector<MenuItem>(items.begin(), items.end()), false, kMenuTopLevel,
                      width, rowHeight, Scaled(kMargin), {topLeft.x(), topLeft.y()});
    auto* window = qobject_cast<QWidget*>(owner);
    auto* menu = new SkinnedMenu(window, owner, std::move(layout), colors, userValue);
    g_openMenu = menu;
    menu->show();
    g_creatingMenu = false;
    return menu;
}

void CloseMenu() {
    if (g_creatingMenu || g_openMenu == nullptr) return;
    SkinnedMenu* menu = g_openMenu.data();
    g_openMenu = nullptr;
    menu->hide();
    menu->deleteLater();
}

bool IsMenuOpen() {
    return g_openMenu != nullptr;
}

SkinnedMenu* OpenMenu() {
    return g_openMenu.data();
}

}  // namespace vantor
