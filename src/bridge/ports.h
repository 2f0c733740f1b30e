// The three ports the bridge owns.
#pragma once

#include <array>

#include "bridge/serial_port.h"
#include "model/catmux_model.h"

namespace vantorel::bridge {

struct Ports {
  SerialPort& MSComm1;  // App 1 (Yaesu dialect)
  SerialPort& MSComm2;  // App 2 (Kenwood dialect, passed through)
  SerialPort& MSComm3;  // the radio (Kenwood dialect)
};

// A port with the combo box that names it: the box is locked while the port is
// open and given back when it closes.
struct PortAndBox {
  SerialPort& port;
  model::ComboBox& box;
};

// App 2's, App 1's and the radio's port with their boxes, in the order Stop
// closes them.
inline std::array<PortAndBox, 3> PortsAndBoxes(const Ports& ports, model::CatmuxModel& model) {
  return {{{ports.MSComm2, model.Soft2Com},
           {ports.MSComm1, model.Soft1Com},
           {ports.MSComm3, model.RadioCom}}};
}

}  // namespace vantorel::bridge
