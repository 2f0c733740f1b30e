// How the port boxes' texts become a serial device and its line settings.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "bridge/line_settings.h"
#include "bridge/port_names.h"
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

struct Accepted {
  std::string text;
  LineSettings expected;
};

TEST(ParseLineSettings, ReadsEveryFieldOfTheRadioCombos) {
  const Accepted cases[] = {
      {"19200,N,8,1", {19200, Parity::None, 8, 1}},
      {"4800,E,8,1", {4800, Parity::Even, 8, 1}},
      {"38400,N,8,2", {38400, Parity::None, 8, 2}},
      {"110,O,7,2", {110, Parity::Odd, 7, 2}},
      {"256000,M,5,1", {256000, Parity::Mark, 5, 1}},
      {"57600,S,6,1", {57600, Parity::Space, 6, 1}},
      // A parity typed in small letters into the combo box.
      {"9600,e,8,1", {9600, Parity::Even, 8, 1}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseLineSettings(c.text), c.expected) << c.text;
  }
}

struct Refused {
  std::string text;
  std::string namedField;  // the description must point the user at it
};

TEST(ParseLineSettings, RefusesWhatTheDeviceCannotDoNamingTheField) {
  const Refused cases[] = {
      {"fast,N,8,1", "speed"},
      {",N,8,1", "speed"},
      {"0,N,8,1", "speed"},
      {"-9600,N,8,1", "speed"},
      {"96OO,N,8,1", "speed"},
      {"99999999999,N,8,1", "speed"},
      {" 9600,N,8,1", "speed"},
      {"9600,X,8,1", "parity"},
      {"9600,,8,1", "parity"},
      {"9600,No,8,1", "parity"},
      // The DataBits list offers 4, which no serial port here can do.
      {"9600,N,4,1", "data bits"},
      {"9600,N,9,1", "data bits"},
      {"9600,N,,1", "data bits"},
      {"9600,N,8,1.5", "stop bits"},
      {"9600,N,8,0", "stop bits"},
      {"9600,N,8,", "stop bits"},
  };
  for (const auto& c : cases) {
    try {
      ParseLineSettings(c.text);
      ADD_FAILURE() << "accepted " << c.text;
    } catch (const SerialError& e) {
      EXPECT_THAT(e.what(), ::testing::HasSubstr(c.namedField)) << c.text;
      EXPECT_THAT(e.what(), ::testing::HasSubstr(c.text)) << c.text;
    }
  }
}

TEST(ParseLineSettings, RefusesAWrongNumberOfFields) {
  for (const std::string text : {"", "9600", "9600,N,8", "9600,N,8,1,1", "9600;N;8;1"}) {
    EXPECT_THROW(ParseLineSettings(text), SerialError) << text;
  }
}

}  // namespace
}  // namespace vantorel::bridge
