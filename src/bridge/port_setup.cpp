#include "bridge/port_setup.h"

#include <iostream>
#include <string>

#include "bridge/port_names.h"

namespace vantorel::bridge {
namespace {

// Receive event as soon as one character waits; read one character at a time.
constexpr int kReceiveThreshold = 1;
constexpr int kReadLength = 1;
constexpr int kTransmitQueue = 2400;

struct PortPlan {
  SerialPort& port;
  model::ComboBox& combo;
  std::string settings;
  // The applications' ports drop NULs; the radio's port passes them on.
  bool discardNulls;
  const char* failMessage;
};

enum class Next { NextPort, AutoInformation, End };

void Configure(const PortPlan& plan) {
  if (plan.port.PortOpen()) {
    plan.port.PortOpen(false);
  }
  plan.port.RThreshold(kReceiveThreshold);
  plan.port.OutBufferSize(kTransmitQueue);
  SelectPort(plan.port, plan.combo.Text());
  plan.port.Settings(plan.settings);
  plan.port.InputLen(kReadLength);
  if (plan.discardNulls) {
    plan.port.NullDiscard(true);
  }
}

// A port reported as not opened must not be left open behind the message.
void CloseQuietly(SerialPort& port) {
  try {
    port.PortOpen(false);
  } catch (const SerialError&) {
    // Already reported as not opened; nothing more to do with it.
  }
}

// openedThisRun: whether an earlier port of this run was opened; set once this
// port is open.
Next SetUpPort(const PortPlan& plan, bool& openedThisRun, model::MessageBoxes& boxes) {
  try {
    Configure(plan);
  } catch (const SerialError& e) {
    // Once a port is open the setup only stops quietly. Before that, a port that
    // cannot even be named or configured is as good as one that cannot be
    // opened, and the user is told so.
    if (openedThisRun) {
      // No message box then, but a station run without a screen can still be
      // diagnosed from the log.
      std::cerr << "Vantorel: " << plan.combo.Name() << " " << plan.combo.Text()
                << " not set up: " << e.what() << '\n';
      return Next::AutoInformation;
    }
    boxes.MsgBox(plan.failMessage);
    return Next::End;
  }

  // A refused RTS counts as a failed open. Devices without modem lines (a
  // pseudo-terminal) are not refused by the port: it does not report that case.
  try {
    plan.port.PortOpen(true);
    if (plan.port.PortOpen()) {
      plan.port.RTSEnable(true);
    }
  } catch (const SerialError&) {
    CloseQuietly(plan.port);
    boxes.MsgBox(plan.failMessage);
    return Next::End;
  }
  if (!plan.port.PortOpen()) {
    return Next::NextPort;
  }
  openedThisRun = true;

  try {
    plan.port.DTREnable(true);
    plan.combo.SetEnabled(false);
  } catch (const SerialError&) {
    return Next::AutoInformation;
  }
  return Next::NextPort;
}

void SendAutoInformation(model::CatmuxModel& model, SerialPort& radio, model::MessageBoxes& boxes) {
  // With AI1 the Kenwood radio reports changes made at its front panel by
  // itself, so App 1 follows the knob without polling.
  if (model.Ignore1.Value() != 0 || !radio.PortOpen()) {
    return;
  }
  try {
    radio.Output("AI1;");
  } catch (const SerialError& e) {
    boxes.MsgBox(std::string("error ") + e.what());
  }
}

}  // namespace

std::string RadioSettingsText(const model::CatmuxModel& model) {
  return model.Baud.Text() + "," + model.Parity.Text().substr(0, 1) + "," + model.DataBits.Text() +
         "," + model.StopBits.Text();
}

void InitPorts(model::CatmuxModel& model, const Ports& ports, model::MessageBoxes& boxes) {
  bool openedThisRun = false;
  const auto setUp = [&](const PortPlan& plan) { return SetUpPort(plan, openedThisRun, boxes); };

  Next next = Next::NextPort;
  // App 2's port is left exactly as it is while App 2 is not in use.
  if (model.Ignore2.Value() == 0) {
    next = setUp({ports.MSComm2, model.Soft2Com, kAppPortSettings, true,
                  "Unable to open Soft2 port . Possible Conflict."});
  }
  if (next == Next::NextPort) {
    next = setUp({ports.MSComm1, model.Soft1Com, kAppPortSettings, true,
                  "Unable to open Soft1 port . Possible Conflict."});
  }
  if (next == Next::NextPort) {
    next = setUp({ports.MSComm3, model.RadioCom, RadioSettingsText(model), false,
                  "Unable to open Radio port . Possible Conflict."});
  }
  if (next != Next::End) {
    SendAutoInformation(model, ports.MSComm3, boxes);
  }
}

}  // namespace vantorel::bridge
