#include "bridge/port_names.h"

#include <gtest/gtest.h>

#include <string>

#include "fake_serial_port.h"

namespace vantorel::bridge {
namespace {

TEST(PortNumber, ReadsAtMostTwoCharactersAfterCom) {
  const std::pair<std::string, int> cases[] = {
      {"COM7", 7},   {"COM15", 15}, {"COM123", 12}, {"COM", 0},    {"", 0},
      {"COM0", 0},   {"COM 3", 3},  {"COM3;", 3},   {"COMx", 0},   {"com9", 9},
      {"COM-1", -1}, {"COM.5", 0},  {"COM1.5", 1},  {"XYZ20", 20},
  };
  for (const auto& [text, number] : cases) {
    EXPECT_EQ(PortNumber(text), number) << text;
  }
}

TEST(DevicePathForPort, CountsSerialDevicesFromZeroUpToTheLastNumber) {
  EXPECT_EQ(DevicePathForPort(1), "/dev/ttyS0");
  EXPECT_EQ(DevicePathForPort(20), "/dev/ttyS19");
  EXPECT_EQ(DevicePathForPort(kLastPortNumber), "/dev/ttyS255");
  for (const int number : {0, -1, kLastPortNumber + 1, 32767}) {
    EXPECT_THROW(DevicePathForPort(number), SerialError) << number;
  }
}

TEST(SelectPort, ComTextSelectsByNumberAnythingElseIsAPath) {
  testing::FakeSerialPort port{"radio", nullptr};
  SelectPort(port, "COM15");
  EXPECT_EQ(port.commPort, 15);
  EXPECT_EQ(port.device, "");
  SelectPort(port, "/dev/serial/by-id/usb-Kenwood COM 1");
  EXPECT_EQ(port.device, "/dev/serial/by-id/usb-Kenwood COM 1");
  EXPECT_EQ(port.commPort, -1);
  // Port 0 is left for the port to refuse.
  EXPECT_THROW(SelectPort(port, "COM"), SerialError);
}

}  // namespace
}  // namespace vantorel::bridge
