// ConnectionBanner: the line in the main window's title area that says the mouse cannot be
// reached and what to do about it (plug in the receiver, switch the mouse on, give the user
// access to it). A state without the mouse is shown after a short grace time, so the moment
// between finding the receiver and the mouse's answer at every start shows nothing; the
// return of the mouse hides it at once. Assistive tools read it as a static text.
#pragma once

#include <QLabel>
#include <QTimer>

#include "app/session/mouse_connection.h"

namespace vantor {

class ConnectionBanner : public QLabel {
    Q_OBJECT
  public:
    static constexpr int kGraceMs = 1000;

    explicit ConnectionBanner(QWidget* parent);

    // The session's latest state.
    void SetConnection(MouseConnection connection);
    // The state the window shows (after the grace time).
    MouseConnection Shown() const { return shown_; }
    // Takes the text of the shown state in the current language.
    void RefreshTexts();

  signals:
    // The shown state changed; the window locks or unlocks the controls that need the mouse.
    void shownChanged(MouseConnection shown);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void ShowPending();

    QTimer grace_;
    MouseConnection pending_ = MouseConnection::kUnknown;
    MouseConnection shown_ = MouseConnection::kUnknown;
};

}  // namespace vantor
