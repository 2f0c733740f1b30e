// The three ports the bridge owns.
#pragma once

#include "bridge/serial_port.h"

namespace vantorel::bridge {

struct Ports {
  SerialPort& MSComm1;  // App 1 (Yaesu dialect)
  SerialPort& MSComm2;  // App 2 (Kenwood dialect, passed through)
  SerialPort& MSComm3;  // the radio (Kenwood dialect)
};

}  // namespace vantorel::bridge
