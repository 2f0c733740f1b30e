// The QSerialPort layer over real pseudo-terminals: the test plays the device
// on the controlling side of each pair.
#include "bridge/qt/qt_serial_port.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "pty_ports.h"

namespace vantorel::bridge {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using testing::PumpUntil;

// One port on one device; the other ports of the set stand by.
class QtSerialPortTest : public ::testing::Test, public testing::PtyPorts {
 protected:
  void OpenOnDevice(const std::string& settings = "19200,N,8,1") {
    port.CommDevice(device.Path());
    port.Settings(settings);
    port.RThreshold(1);
    port.InputLen(1);
    port.PortOpen(true);
  }

  testing::PtyPair& device = radioEnd;
  QtSerialPort& port = radio;
};

TEST_F(QtSerialPortTest, CarriesTextBothWaysOverADevicePath) {
  OpenOnDevice();
  ASSERT_TRUE(port.PortOpen());

  // Handed to the device at once as far as it takes it, the rest by the loop.
  const std::string text(300, 'x');
  port.Output(text);
  EXPECT_LE(port.OutBufferCount(), 300);
  EXPECT_EQ(device.Read(text.size(), pump), text);
  EXPECT_TRUE(PumpUntil([&] { return port.OutBufferCount() == 0; }, pump));
  port.Output("");
  EXPECT_EQ(port.OutBufferCount(), 0);

  device.Write("IF;ID;");
  ASSERT_TRUE(PumpUntil([&] { return port.InBufferCount() == 6; }, pump));
  EXPECT_EQ(port.Input(), "I");
  port.InputLen(0);  // everything waiting
  EXPECT_EQ(port.Input(), "F;ID;");
  EXPECT_EQ(port.Input(), "");
  EXPECT_EQ(port.InBufferCount(), 0);
}

TEST_F(QtSerialPortTest, ReceiveEventIsRaisedFromTheEventLoop) {
  std::vector<int> events;
  port.OnComm([&] { events.push_back(port.CommEvent()); });
  OpenOnDevice();

  device.Write("FA;");
  // Counting the waiting characters does not run the handler in the middle.
  ASSERT_TRUE(PumpUntil([&] { return port.InBufferCount() == 3; }, [] {}));
  EXPECT_TRUE(events.empty());

  EXPECT_TRUE(PumpUntil([&] { return !events.empty(); }, pump));
  EXPECT_EQ(events.front(), kCommEventReceive);
}

TEST_F(QtSerialPortTest, AHandlerThatTakesNothingIsNotCalledOverAndOver) {
  int calls = 0;
  port.OnComm([&] { ++calls; });
  OpenOnDevice();

  device.Write("abc");
  ASSERT_TRUE(PumpUntil([&] { return calls > 0; }, pump));
  loop.Wait(30ms);
  // One event per delivery of new characters, not a busy loop on old ones.
  EXPECT_LE(calls, 3);
  EXPECT_EQ(port.InBufferCount(), 3);

  const int before = calls;
  device.Write("d");
  EXPECT_TRUE(PumpUntil([&] { return calls > before; }, pump));
}

TEST_F(QtSerialPortTest, AHandlerThatLetsTheLoopRunIsCalledInsideItself) {
  int depth = 0;
  int deepest = 0;
  port.OnComm([&] {
    ++depth;
    deepest = std::max(deepest, depth);
    if (depth == 1) {
      // New characters arrive while the first pass waits in the event loop.
      device.Write("B");
      PumpUntil([&] { return deepest == 2; }, pump, 2s);
      port.InputLen(0);
      port.Input();
    }
    --depth;
  });
  OpenOnDevice();
  device.Write("A");
  EXPECT_TRUE(PumpUntil([&] { return deepest == 2 && depth == 0; }, pump));
}

TEST_F(QtSerialPortTest, NullDiscardDropsNulsAsTheyArrive) {
  OpenOnDevice();
  port.InputLen(0);
  port.NullDiscard(true);
  device.Write(std::string("F\0A;", 4));
  ASSERT_TRUE(PumpUntil([&] { return port.InBufferCount() == 3; }, pump));
  EXPECT_EQ(port.Input(), "FA;");

  port.NullDiscard(false);  // the radio's port: NULs are delivered
  device.Write(std::string("F\0A;", 4));
  ASSERT_TRUE(PumpUntil([&] { return port.InBufferCount() == 4; }, pump));
  EXPECT_EQ(port.Input(), std::string("F\0A;", 4));
}

TEST_F(QtSerialPortTest, ModemLinesAndBreakOnAPseudoTerminalAreNoFailure) {
  OpenOnDevice();
  // A pty has no RTS or DTR; the system says "Inappropriate ioctl for device".
  EXPECT_NO_THROW(port.RTSEnable(true));
  EXPECT_NO_THROW(port.DTREnable(true));
  EXPECT_NO_THROW(port.Break(false));
  EXPECT_TRUE(port.PortOpen());

  // Raised lines are raised again on the next open.
  port.PortOpen(false);
  EXPECT_NO_THROW(port.PortOpen(true));
  port.Output("AI1;");
  EXPECT_EQ(device.Read(4, pump), "AI1;");
}

TEST_F(QtSerialPortTest, AMissingDeviceOrOneInUseFailsToOpen) {
  port.CommDevice("/dev/vantorel-test-no-such-device");
  try {
    port.PortOpen(true);
    FAIL() << "opened a missing device";
  } catch (const SerialError& e) {
    EXPECT_THAT(e.what(), HasSubstr("/dev/vantorel-test-no-such-device"));
    EXPECT_THAT(e.what(), HasSubstr("No such file or directory"));
  }
  EXPECT_FALSE(port.PortOpen());

  OpenOnDevice();
  app1.CommDevice(device.Path());
  EXPECT_THROW(app1.PortOpen(true), SerialError);
  EXPECT_FALSE(app1.PortOpen());
  port.PortOpen(false);
  EXPECT_NO_THROW(app1.PortOpen(true));
}

TEST_F(QtSerialPortTest, SettingsTheDeviceCannotTakeAreRefusedAtOnce) {
  port.CommDevice(device.Path());
  port.Settings("4800,E,7,2");
  for (const char* text : {"9600,N,4,1", "9600,N,8,1.5", "fast,N,8,1", "9600,Q,8,1", "9600"}) {
    EXPECT_THROW(port.Settings(text), SerialError) << text;
  }
  // The last accepted settings stand; changing them on an open port works.
  port.PortOpen(true);
  EXPECT_NO_THROW(port.Settings("38400,N,8,1"));
  EXPECT_THROW(port.Settings("38400,N,9,1"), SerialError);
  EXPECT_TRUE(port.PortOpen());
}

TEST_F(QtSerialPortTest, AClosedPortHasNothingAndTakesNothing) {
  EXPECT_FALSE(port.PortOpen());
  EXPECT_EQ(port.InBufferCount(), 0);
  EXPECT_EQ(port.OutBufferCount(), 0);
  EXPECT_EQ(port.Input(), "");
  EXPECT_THROW(port.Output("FA;"), SerialError);
  EXPECT_NO_THROW(port.Break(false));
  EXPECT_THROW(port.PortOpen(true), SerialError);  // no device chosen yet

  OpenOnDevice();
  device.Write("FA;");
  ASSERT_TRUE(PumpUntil([&] { return port.InBufferCount() == 3; }, pump));
  port.PortOpen(false);
  EXPECT_EQ(port.InBufferCount(), 0);  // what was waiting went with the close
}

TEST_F(QtSerialPortTest, PortNumbersNameTheSystemsSerialDevices) {
  port.CommPort(1);
  EXPECT_EQ(port.Device(), "/dev/ttyS0");
  EXPECT_THROW(port.CommPort(0), SerialError);
  EXPECT_THROW(port.CommPort(-3), SerialError);
  EXPECT_EQ(port.Device(), "/dev/ttyS0");

  OpenOnDevice();
  // The device cannot change under an open port.
  EXPECT_THROW(port.CommPort(2), SerialError);
  EXPECT_THROW(port.CommDevice("/dev/ttyS1"), SerialError);
  EXPECT_EQ(port.Device(), device.Path());
}

TEST_F(QtSerialPortTest, ADeviceThatGoesAwayClosesThePort) {
  OpenOnDevice();
  device.Close();
  // Nothing waits forever on a device that is gone: the next write finds out.
  try {
    port.Output("FA;");
  } catch (const SerialError&) {
  }
  EXPECT_TRUE(PumpUntil([&] { return !port.PortOpen(); }, pump, 2s));
  EXPECT_EQ(port.OutBufferCount(), 0);
}

}  // namespace
}  // namespace vantorel::bridge
