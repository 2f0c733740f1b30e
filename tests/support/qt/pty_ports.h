// The three serial lines over real pseudo-terminals: the test plays App 1,
// App 2 and the radio on the controlling sides; the program's own ports
// (the real QSerialPort layer) open the terminal sides by path.
#pragma once

#include <chrono>
#include <functional>

#include "bridge/ports.h"
#include "bridge/qt/qt_event_loop.h"
#include "bridge/qt/qt_serial_port.h"
#include "model/catmux_model.h"
#include "pty_pair.h"

namespace vantorel::testing {

struct PtyPorts {
  // Names the terminal sides in the port boxes, with line settings that
  // every pseudo-terminal takes.
  void NameIn(model::CatmuxModel& model) const {
    model.Soft1Com.SetText(app1End.Path());
    model.Soft2Com.SetText(app2End.Path());
    model.RadioCom.SetText(radioEnd.Path());
    model.Baud.SetText("38400");
    model.Parity.SetText("None");
    model.DataBits.SetText("8");
    model.StopBits.SetText("1");
  }
  bridge::Ports Ports() { return {app1, app2, radio}; }

  bridge::QtEventLoop loop;
  // Lets the real event loop run a moment, between looks at a device.
  std::function<void()> pump = [this] { loop.Wait(std::chrono::milliseconds(1)); };
  PtyPair app1End;
  PtyPair app2End;
  PtyPair radioEnd;
  bridge::QtSerialPort app1;
  bridge::QtSerialPort app2;
  bridge::QtSerialPort radio;
};

}  // namespace vantorel::testing
