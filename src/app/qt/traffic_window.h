// The Traffic window: every port's messages, one a line, with the time to the
// millisecond, the direction ("App 1 to Vantorel", "Vantorel to the radio",
// "Logger to Vantorel", ...) and the message as text or spaced hexadecimal, in
// a colour for App 1, App 2, the extra programs and the radio. Pause, a filter
// for each of them, Hex, Copy, Save and Clear act on the model
// (model::TrafficModel); the window only shows it, and is shown while the
// model says it is open. It never blocks the main window.
//
// Threading: the GUI thread only.
#pragma once

#include <QWidget>

#include "model/traffic_model.h"

class QPlainTextEdit;

namespace vantorel::app {

class TrafficWindow : public QWidget {
 public:
  explicit TrafficWindow(model::TrafficModel& traffic, QWidget* parent = nullptr);

 protected:
  // The close box closes it in the model.
  void closeEvent(QCloseEvent* event) override;

 private:
  // One line at the end of the list, in its port's colour.
  void Write(const station::TrafficLine& line);
  // A line that came while the window is open.
  void Append(const station::TrafficLine& line);
  // The list anew (a filter or the form changed), and shown or hidden.
  void Refresh();
  void SaveAs();

  model::TrafficModel& traffic_;
  QPlainTextEdit* list_;
};

}  // namespace vantorel::app
