#include "ui/widgets/combo_open_check.h"

#include <QEvent>
#include <QMouseEvent>
#include <QObject>
#include <utility>

#include "ui/widgets/skinned_combo_box.h"
#include "ui/widgets/skinned_menu.h"

namespace vantor {
namespace {

class OpenCheck : public QObject {
  public:
    OpenCheck(SkinnedComboBox* box, std::function<bool()> mayOpen)
        : QObject(box), box_(box), mayOpen_(std::move(mayOpen)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != box_ || event->type() != QEvent::MouseButtonRelease) return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || box_->IsLocked() || IsMenuOpen()) return false;
        return !mayOpen_();
    }

  private:
    SkinnedComboBox* box_;
    std::function<bool()> mayOpen_;
};

}  // namespace

void AskBeforeOpening(SkinnedComboBox* box, std::function<bool()> mayOpen) {
    if (box == nullptr || !mayOpen) return;
    box->installEventFilter(new OpenCheck(box, std::move(mayOpen)));
}

}  // namespace vantor
