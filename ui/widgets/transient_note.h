// TransientNote: a short confirmation ("Profile exported.") shown over the bottom of its
// window for a few seconds, without a window of its own and without taking the focus or a
// click. A newer note replaces the one shown. Assistive tools read it as a static text and
// hear of it when it appears.
#pragma once

#include <QLabel>
#include <QTimer>

namespace vantor {

class TransientNote : public QLabel {
    Q_OBJECT
  public:
    static constexpr int kShownMs = 3000;

    explicit TransientNote(QWidget* window);

    void ShowNote(const QString& text);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QTimer hide_;
};

}  // namespace vantor
