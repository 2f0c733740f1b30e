// The main window's small extras: the Expand/Collapse menu, the About box, the
// help window with its set-up steps, the hints over four controls, the
// little click target that shows the current folder, and Make Certificate.
//
// None of them touches the ports or the window-level variables. The handlers
// hang on the model's hooks for as long as this object lives.
// Threading: the program's one thread only.
#pragma once

#include <functional>
#include <string>

#include "app/desktop.h"
#include "app/message_boxes.h"
#include "model/attachments.h"
#include "model/catmux_model.h"

namespace vantorel::app {

class WindowExtras {
 public:
  // `makeCertificate` makes the station's key pair for the encrypted network
  // ports in its folder and says what came of it; without one the button
  // does nothing.
  WindowExtras(model::CatmuxModel& model, MessageBoxes& messages, Desktop& desktop,
               std::function<std::string()> makeCertificate = {});
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
  void MakeCertificate_Click();

  model::CatmuxModel& model_;
  MessageBoxes& messages_;
  Desktop& desktop_;
  std::function<std::string()> makeCertificate_;
  model::Attachments attached_;
};

}  // namespace vantorel::app
