// The bridge wired as the program wires it, on three in-memory ports that
// share one write log, with the window model, a scripted event loop and
// recorded message boxes. The routing, port setup and window handler tests
// build on it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "bridge/bridge.h"
#include "fake_platform.h"
#include "fake_serial_port.h"
#include "model/catmux_model.h"

namespace vantorel::testing {

struct FakeStation {
  // Port and line settings every fake port accepts: Start opens App 1 and
  // the radio.
  FakeStation() {
    model.Soft1Com.SetText("COM5");
    model.RadioCom.SetText("COM7");
    model.Baud.SetText("4800");
    model.Parity.SetText("Even");
    model.DataBits.SetText("8");
    model.StopBits.SetText("1");
  }

  // The texts written, in order, as "port:text".
  [[nodiscard]] std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    for (const Write& write : *log) {
      lines.push_back(write.port + ":" + write.text);
    }
    return lines;
  }

  std::shared_ptr<WriteLog> log = std::make_shared<WriteLog>();
  FakeSerialPort app1{"app1", log};
  FakeSerialPort app2{"app2", log};
  FakeSerialPort radio{"radio", log};
  model::CatmuxModel model;
  FakeEventLoop loop;
  FakeMessageBoxes boxes;
  bridge::Bridge bridge{model, {app1, app2, radio}, loop, boxes};
};

}  // namespace vantorel::testing
