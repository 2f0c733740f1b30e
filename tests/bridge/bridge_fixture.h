// A bridge on three in-memory ports, a scripted event loop and recorded message
// boxes: the routing tests script what arrives when, and what runs in the
// middle of a pass.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "bridge/bridge.h"
#include "fake_platform.h"
#include "fake_serial_port.h"
#include "model/catmux_model.h"

namespace vantorel::testing {

class BridgeFixture : public ::testing::Test {
 protected:
  BridgeFixture() {
    Open(app1);
    Open(radio);
  }

  // Opened as port setup leaves it: one character per read.
  static void Open(FakeSerialPort& port) {
    port.InputLen(1);
    port.PortOpen(true);
  }

  // Runs `action` at the first event-processing step at which `ready()` holds:
  // another handler in the middle of a pass, at a chosen point.
  void When(std::function<bool()> ready, std::function<void()> action) {
    loop.Schedule([this, ready, action] {
      if (ready()) {
        action();
      } else {
        When(ready, action);
      }
    });
  }

  // The texts written, in order, as "port:text".
  [[nodiscard]] std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    for (const auto& write : *log) {
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
