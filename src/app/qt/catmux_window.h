// The main window Catmux as the user sees it: a view of the model. Every
// control of the model has a widget here, named after it and placed where the
// layout puts it; hidden controls have hidden widgets. Edits and clicks go to
// the model, the model's changes come back to the widgets, and the window's
// outer size follows the model's Width and Height (the Expand/Collapse menu).
//
// The window owns the help window, which follows the model's HlpForm.
// Threading: the GUI thread only.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "model/catmux_model.h"

namespace vantorel::app {

class HelpWindow;
class TrafficWindow;

class CatmuxWindow : public QMainWindow {
 public:
  explicit CatmuxWindow(model::CatmuxModel& model, QWidget* parent = nullptr);
  ~CatmuxWindow() override;
  CatmuxWindow(const CatmuxWindow&) = delete;
  CatmuxWindow& operator=(const CatmuxWindow&) = delete;

  // Runs when the window is closed from outside the program: the title-bar
  // close box, the window manager's close command, or a call to close(). The
  // window closes afterwards whatever it does.
  std::function<void()> onCloseBox;

  [[nodiscard]] HelpWindow& Help() const { return *help_; }
  [[nodiscard]] TrafficWindow& Traffic() const { return *traffic_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls(QWidget* canvas);
  void BuildMenus();
  void ApplyModelSize();
  [[nodiscard]] QSize FrameAllowance() const;

  model::CatmuxModel& model_;
  std::unique_ptr<HelpWindow> help_;
  std::unique_ptr<TrafficWindow> traffic_;
};

}  // namespace vantorel::app
