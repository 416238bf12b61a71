#include "ui/widgets/control_accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <cmath>
#include <limits>

#include "ui/widgets/skinned_button.h"
#include "ui/widgets/skinned_combo_box.h"
#include "ui/widgets/skinned_slider.h"
#include "ui/widgets/skinned_tree.h"

namespace vantor {
namespace {

// The name of a control without a caption: its accessible name, else its tooltip.
QString GivenName(const QWidget* widget) {
    return !widget->accessibleName().isEmpty() ? widget->accessibleName() : widget->toolTip();
}

class AccessibleButton : public QAccessibleWidget {
  public:
    explicit AccessibleButton(SkinnedButton* button) : QAccessibleWidget(button) {}

    SkinnedButton* Button() const { return static_cast<SkinnedButton*>(widget()); }

    QAccessible::Role role() const override {
        if (Button()->IsRadio()) return QAccessible::RadioButton;
        return Button()->IsCheckMode() ? QAccessible::CheckBox : QAccessible::Button;
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) {
            if (!Button()->accessibleName().isEmpty()) return Button()->accessibleName();
            if (!Button()->Text().isEmpty()) return Button()->Text();
            return Button()->toolTip();
        }
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        if (Button()->IsLocked()) state.disabled = true;
        if (Button()->IsCheckMode()) {
            state.checkable = true;
            state.checked = Button()->GetCheck();
        }
        return state;
    }

    QStringList actionNames() const override {
        if (Button()->IsCheckMode() && !Button()->IsRadio()) return {toggleAction()};
        return {pressAction()};
    }

    void doAction(const QString& action) override {
        if (action == pressAction() || action == toggleAction()) Button()->Click();
    }
};

class AccessibleCombo : public AccessibleButton {
  public:
    explicit AccessibleCombo(SkinnedComboBox* combo) : AccessibleButton(combo) {}

    QAccessible::Role role() const override { return QAccessible::ComboBox; }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) return GivenName(Button());
        if (kind == QAccessible::Value) return Button()->Text();
        return QAccessibleWidget::text(kind);
    }

    QStringList actionNames() const override { return {pressAction()}; }
};

class AccessibleSlider : public QAccessibleWidget, public QAccessibleValueInterface {
  public:
    explicit AccessibleSlider(SkinnedSlider* bar) : QAccessibleWidget(bar, QAccessible::Slider) {}

    SkinnedSlider* Bar() const { return static_cast<SkinnedSlider*>(widget()); }
    int Thumb() const { return std::max(Bar()->KeyboardThumb(), 0); }
    const SliderState& State() const { return Bar()->State(Thumb()); }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The thumbs are parts of the slider, not objects of their own.
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface* /*child*/) const override { return -1; }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) return GivenName(Bar());
        if (kind == QAccessible::Value) return QString::number(State().Value());
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        if (Bar()->IsLocked() || Bar()->KeyboardThumb() < 0) state.disabled = true;
        return state;
    }

    QVariant currentValue() const override { return State().Value(); }
    QVariant minimumValue() const override { return State().ValueAt(State().Minimum()); }
    QVariant maximumValue() const override { return State().ValueAt(State().Maximum()); }
    QVariant minimumStepSize() const override {
        const SliderState& state = State();
        if (state.Maximum() <= state.Minimum()) return 0;
        return std::abs(state.ValueAt(state.Minimum() + 1) - state.ValueAt(state.Minimum()));
    }

    // The position whose value lies nearest to the asked one.
    void setCurrentValue(const QVariant& value) override {
        bool ok = false;
        const double wanted = value.toDouble(&ok);
        if (!ok) return;
        const SliderState& state = State();
        int best = state.Pos();
        double bestDistance = std::numeric_limits<double>::max();
        for (int position = state.Minimum(); position <= state.Maximum(); ++position) {
            const double distance = std::abs(state.ValueAt(position) - wanted);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = position;
            }
        }
        if (best != state.Pos()) Bar()->UserMoveTo(best, Thumb());
    }
};

class AccessibleTree : public QAccessibleWidget {
  public:
    explicit AccessibleTree(SkinnedTree* tree) : QAccessibleWidget(tree, QAccessible::Tree) {}

    SkinnedTree* Tree() const { return static_cast<SkinnedTree*>(widget()); }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) return GivenName(Tree());
        if (kind == QAccessible::Value) {
            const TreeItemId selected = Tree()->SelectedItem();
            return selected == kNoTreeItem ? QString()
                                           : QString::fromStdString(Tree()->ItemText(selected));
        }
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* ControlInterface(const QString& /*className*/, QObject* object) {
    if (auto* combo = qobject_cast<SkinnedComboBox*>(object)) return new AccessibleCombo(combo);
    if (auto* button = qobject_cast<SkinnedButton*>(object)) {
        if (button->property(kDecorationProperty).toBool()) {
            return new QAccessibleWidget(button, QAccessible::Graphic);
        }
        return new AccessibleButton(button);
    }
    if (auto* bar = qobject_cast<SkinnedSlider*>(object)) return new AccessibleSlider(bar);
    if (auto* tree = qobject_cast<SkinnedTree*>(object)) return new AccessibleTree(tree);
    return nullptr;
}

}  // namespace

void EnsureControlAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(ControlInterface);
        return true;
    }();
    (void)installed;
}

}  // namespace vantor
