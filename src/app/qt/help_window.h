// The help window HlpForm: the set-up steps in a scrolling text and a Close
// button. It follows the model: shown while the form is loaded, hidden when it
// is unloaded. There is exactly one; it never blocks the main window.
// Threading: the GUI thread only.
#pragma once

#include <QWidget>

#include "model/catmux_model.h"

namespace vantorel::app {

class HelpWindow : public QWidget {
 public:
  explicit HelpWindow(model::HelpFormModel& form, QWidget* parent = nullptr);

  // Brings the window in front of the others (Help chosen while it is open).
  void BringToFront();

 protected:
  // The close box unloads the form, as the Close button does.
  void closeEvent(QCloseEvent* event) override;

 private:
  void FollowLoaded();

  model::HelpFormModel& form_;
};

}  // namespace vantorel::app
