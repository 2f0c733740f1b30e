// The bridge on in-memory ports with App 1 and the radio open: the tests
// script what arrives when, and what runs in the middle of a pass.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "fake_station.h"

namespace vantorel::testing {

class BridgeFixture : public ::testing::Test, public FakeStation {
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
};

}  // namespace vantorel::testing
