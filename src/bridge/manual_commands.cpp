// The buttons that talk to the ports by hand, beside the automatic bridge.
// These writes bypass the pending-answer flags and the radio's queue wait: the
// user asked for them now.
#include <exception>
#include <string_view>

#include "bridge/bridge.h"

namespace vantorel::bridge {
namespace {

// Writes the texts in order to the port while it is open; a refused write is
// shown with its description alone and the rest is not attempted.
void SendByHand(SerialPort& port, std::initializer_list<std::string_view> texts,
                model::MessageBoxes& boxes) {
  try {
    for (const std::string_view text : texts) {
      if (port.PortOpen()) {
        port.Output(text);
      }
    }
  } catch (const std::exception& e) {
    boxes.MsgBox(e.what());
  }
}

}  // namespace

// Test: VFO A to 14.2513 MHz, then ask for the status answer.
void Bridge::Command3_Click() { SendByHand(ports_.MSComm3, {"FA00014251300;", "IF;"}, boxes_); }

// Reset: back to receive, auto-information on.
void Bridge::Command5_Click() { SendByHand(ports_.MSComm3, {"RX;AI1;"}, boxes_); }

// Send to Radio: Text4 as typed, ";" included.
void Bridge::Command6_Click() { SendByHand(ports_.MSComm3, {model_.Text4.Text()}, boxes_); }

// Send to Rigdesk: Text4 to App 1, untranslated.
void Bridge::Command9_Click() { SendByHand(ports_.MSComm1, {model_.Text4.Text()}, boxes_); }

// Clear: empties both monitor boxes.
void Bridge::Command7_Click() {
  model_.Text5.SetText("");
  model_.Text6.SetText("");
}

// Translating mode always starts framing the radio's text at ";"; the user may
// untick KenwoodCB afterwards.
void Bridge::Ignore2_Click() {
  if (model_.Ignore2.Value() == 1) {
    model_.KenwoodCB.SetValue(1);
  }
}

}  // namespace vantorel::bridge
