// Keying at the radio's end of real pseudo-terminals, in both profiles: what
// the radio hears for each of App 1's transmit commands, whether the transmit
// time-out is armed, and the unkey when App 1's link goes away.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "pty_station.h"

namespace vantorel::testing {
namespace {

using namespace std::chrono_literals;

struct KeyingRow {
  const char* command;
  const char* radioHears;  // "" : nothing may reach the radio
  bool keyed;              // the radio keyed, and the time-out armed, afterwards
};

class PtyKeying : public PtyStation, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    model.Ft950Emulation.SetValue(CheckOf(GetParam()));
    if (!GetParam()) {
      Start();
      return;
    }
    // The emulation first learns the radio, which answers as a TS-590S.
    catmux.Command1_Click();
    ASSERT_EQ(radioEnd.Read(18, pump), "ID;OM0;DA;SM1;AI1;");
    radioEnd.Write("ID021;?;DA0;?;");
  }
  void Expect(const KeyingRow& row) {
    app1End.Write(row.command);
    if (*row.radioHears == '\0') {
      EXPECT_EQ(radioEnd.Read(1, pump, 100ms), "") << row.command;
    } else {
      EXPECT_EQ(radioEnd.Read(std::string(row.radioHears).size(), pump), row.radioHears)
          << row.command;
    }
    PumpUntil([&] { return !station.state().InGetData1; }, pump);
    EXPECT_EQ(station.state().keying.radioKeyed, row.keyed) << row.command;
    EXPECT_EQ(station.state().keying.TXOn, row.keyed) << row.command;
    app1End.Read(64, pump, 30ms);  // what App 1 heard back
  }
};

TEST_P(PtyKeying, OnlyApp1sTransmitCommandsKeyTheRadioAndEachArmsTheTimeOut) {
  const bool emulating = GetParam();
  const KeyingRow rows[] = {
      {"TX;", "", false},  // a read, never "transmit"
      {"TX1;", "TX1;", true},
      {"TX;", "", true},
      {"TX0;", "RX;", false},  // a Kenwood takes TX0; as "transmit"
      {"MX1;", emulating ? "TX1;" : "TX1;TX;RM;MX1;", true},
      {"MX0;", emulating ? "RX;" : "RX;MX0;", false},
      {"TX2;", "", false},
  };
  for (const KeyingRow& row : rows) {
    Expect(row);
  }
}

TEST_P(PtyKeying, TheRadioIsUnkeyedWhenApp1sLinkGoesAway) {
  Expect({"TX1;", "TX1;", true});
  app1End.Close();
  EXPECT_EQ(radioEnd.Read(3, pump), "RX;");
  EXPECT_FALSE(station.state().keying.radioKeyed || station.state().keying.TXOn);
}

INSTANTIATE_TEST_SUITE_P(Pty, PtyKeying, ::testing::Bool(), [](const auto& info) {
  return info.param ? "Ft950Emulation" : "Contract";
});

}  // namespace
}  // namespace vantorel::testing
