// Message boxes with one OK button and the program's title that never stop the
// bridge: the box is shown without blocking and the call returns at once, so
// the ports keep routing while the user reads it. Every text also goes to
// standard error as one line, for stations run without a screen.
//
// Without a widget application (QCoreApplication only) the text goes to
// standard error alone.
//
// Threading: the program's one thread.
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <string>
#include <vector>

#include "model/platform.h"

namespace vantorel::app {

class QtMessageBoxes : public model::MessageBoxes {
 public:
  explicit QtMessageBoxes(std::string title);
  ~QtMessageBoxes() override;
  QtMessageBoxes(const QtMessageBoxes&) = delete;
  QtMessageBoxes& operator=(const QtMessageBoxes&) = delete;

  void MsgBox(const std::string& text) override;

  // Boxes the user has not closed yet.
  [[nodiscard]] int OpenBoxes() const;
  // Handles events until the user has closed every open box. The program
  // calls it at its end, so a last message (the settings could not be saved)
  // does not vanish with the program unread. Returns at once when the
  // platform cannot show a window to a user (offscreen, minimal).
  void WaitUntilClosed();

 private:
  std::string title_;
  std::vector<QPointer<QMessageBox>> boxes_;  // each deletes itself on close
};

// The text as one line for a log: line breaks become blanks.
std::string OneLogLine(const std::string& text);

}  // namespace vantorel::app
