#include "bridge/line_settings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "bridge/serial_port.h"

namespace vantorel::bridge {
namespace {

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
