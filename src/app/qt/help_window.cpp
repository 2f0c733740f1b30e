#include "app/qt/help_window.h"

#include <QCloseEvent>
#include <QPointer>

#include "app/qt/artwork.h"
#include "app/qt/control_views.h"

namespace vantorel::app {

HelpWindow::HelpWindow(model::HelpFormModel& form, QWidget* parent)
    : QWidget(parent, Qt::Window), form_(form) {
  setObjectName(QStringLiteral("HlpForm"));
  setWindowTitle(ToQString(form_.title));
  setWindowIcon(ApplicationIcon());
  setFont(ControlFont());
  // An open help window must not keep the program alive once the main window
  // has gone.
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(TwipsToPixels(form_.clientArea.width), TwipsToPixels(form_.clientArea.height));

  constexpr bool kReadOnly = true;
  MakeTextBox(form_.Text1, this, kReadOnly);
  MakeButton(form_.Command1, this);

  form_.changed.Connect([self = QPointer<HelpWindow>(this)] {
    if (self) {
      self->FollowLoaded();
    }
  });
  FollowLoaded();
}

void HelpWindow::BringToFront() {
  if (isVisible()) {
    raise();
    activateWindow();
  }
}

void HelpWindow::closeEvent(QCloseEvent* event) {
  ForwardToModel(objectName().toStdString(), [this] { form_.Unload(); });
  event->accept();
}

void HelpWindow::FollowLoaded() {
  if (form_.Loaded()) {
    show();
    BringToFront();
  } else {
    hide();
  }
}

}  // namespace vantorel::app
