// The serial bridge: port setup, the receive procedures of the three ports,
// the manual commands, the monitor and capture, and the transmit supervision's
// tick, wired to the window model's controls.
//
// Threading: the program's one thread. The receive procedures yield to the
// event loop while they wait, so other handlers may run in their middle.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "bridge/ports.h"
#include "model/attachments.h"
#include "model/catmux_model.h"
#include "model/platform.h"

namespace vantorel::bridge {

class Bridge {
 public:
  // Attaches the handlers of the manual-command buttons, Ignore2, Check3, the
  // ports' receive events and Timer2 to the model.
  Bridge(model::CatmuxModel& model, Ports ports, model::EventLoop& loop,
         model::MessageBoxes& boxes);
  ~Bridge();
  Bridge(const Bridge&) = delete;
  Bridge& operator=(const Bridge&) = delete;

  // Configures and opens the three ports from the controls, then "AI1;".
  void InitPorts();

  // Empties "TEST.TXT" and keeps it open as App 1's capture file until the
  // capture is first started. False when it cannot be created.
  bool CreateTestFile();

  [[nodiscard]] Ports& ports() { return ports_; }

  // Receive events and procedures.
  void MSComm1_OnComm();
  void MSComm2_OnComm();
  void MSComm3_OnComm();
  void GetData1();
  void GetData2();
  void GetData3();

  // Manual commands.
  void Command3_Click();
  void Command5_Click();
  void Command6_Click();
  void Command7_Click();
  void Command9_Click();
  void Ignore2_Click();

  // Capture on or off.
  void Check3_Click();

  // Transmit supervision, once a second while Timer2 runs.
  void Timer2_Timer();

 private:
  void AttachReceiveEvent(SerialPort& port, std::function<void()> handler);

  struct Impl;
  model::CatmuxModel& model_;
  Ports ports_;
  model::EventLoop& loop_;
  model::MessageBoxes& boxes_;
  std::unique_ptr<Impl> impl_;
  model::Attachments attached_;
};

}  // namespace vantorel::bridge
