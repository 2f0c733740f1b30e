// The main window's small extras: the Expand/Collapse menu, the About box, the
// help window with its set-up steps, the hints over four controls and the
// little click target that shows the current folder.
//
// None of them touches the ports or the window-level variables. The handlers
// hang on the model's hooks for as long as this object lives.
// Threading: the program's one thread only.
#pragma once

#include "app/desktop.h"
#include "app/message_boxes.h"
#include "model/attachments.h"
#include "model/catmux_model.h"

namespace vantorel::app {

class WindowExtras {
 public:
  WindowExtras(model::CatmuxModel& model, MessageBoxes& messages, Desktop& desktop);
  WindowExtras(const WindowExtras&) = delete;
  WindowExtras& operator=(const WindowExtras&) = delete;

 private:
  void EXP_Click();
  void Abt_Click();
  void Hlp_Click();
  void HlpForm_Command1_Click();
  void Picture1_Click();
  void Check2_MouseMove();
  void Label11_MouseMove();
  void MonitorTX_MouseMove();
  void PWROn_MouseMove();

  model::CatmuxModel& model_;
  MessageBoxes& messages_;
  Desktop& desktop_;
  model::Attachments attached_;
};

}  // namespace vantorel::app
