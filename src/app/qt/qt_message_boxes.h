// Message boxes with one OK button and the program's title that never stop the
// station: the box is shown without blocking and the call returns at once, so
// the ports keep routing while the user reads it. Every text also goes to the
// log as one line; the same text again within ten seconds opens no second box
// (the log counts it).
//
// Without a widget application (QCoreApplication only) the text goes to the
// log alone.
//
// Threading: the program's one thread.
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <string>
#include <vector>

#include "app/message_boxes.h"
#include "station/station_events.h"

namespace vantorel::app {

class QtMessageBoxes : public MessageBoxes {
 public:
  explicit QtMessageBoxes(std::string title);
  ~QtMessageBoxes() override;
  QtMessageBoxes(const QtMessageBoxes&) = delete;
  QtMessageBoxes& operator=(const QtMessageBoxes&) = delete;

  using MessageBoxes::MsgBox;
  void MsgBox(const std::string& text, station::Topic topic) override;

  // The program is ending: a box raised from now on (the settings could not
  // be saved) keeps the program until it is read.
  void ProgramEnding() override { ending_ = true; }
  // Closes every other box, then handles events until the user has closed the
  // ones raised while ending. Returns at once when the platform cannot show a
  // window to a user (offscreen, minimal).
  void CloseAtEnd();
  // Boxes the user has not closed yet.
  [[nodiscard]] int OpenBoxes() const;

 private:
  struct Box {
    QPointer<QMessageBox> box;  // each deletes itself on close
    bool keepsProgram;
  };
  std::string title_;
  RepeatFilter repeats_;
  std::vector<Box> boxes_;
  bool ending_ = false;
};

}  // namespace vantorel::app
