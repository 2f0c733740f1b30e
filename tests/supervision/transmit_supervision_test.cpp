#include "supervision/transmit_supervision.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recording_ports.h"

namespace vantorel::supervision {
namespace {

using cat::CatPort;
using cat::testing::PortWrite;
using cat::testing::RecordingPorts;

// Out of transmit before power-off, App 1 told between the radio's writes.
const std::vector<PortWrite> kShutdownWrites{
    {CatPort::Radio, "RX;"}, {CatPort::App1, "TX0;"}, {CatPort::Radio, "MX0;"},
    {CatPort::App1, "MX0;"}, {CatPort::App1, "PS0;"}, {CatPort::Radio, "PS0;"},
};
const std::vector<std::string> kRadioShutdown{"RX;", "MX0;", "PS0;"};

// The window-level state the timer works on, with the limit text as typed.
struct Station {
  cat::KeyingState keying;
  bool& txOn = keying.TXOn;
  std::int16_t& txTime = keying.TXTime;
  std::string shutDwn = "180";
  RecordingPorts ports;

  TickResult Tick() {
    SupervisionContext ctx{keying, shutDwn, ports};
    return Timer2_Timer(ctx);
  }
  // The tick (from 1) that shut down, or 0 when none came within `most`.
  int TicksToShutdown(int most) {
    for (int tick = 1; tick <= most; ++tick) {
      if (Tick().shutDown) {
        return tick;
      }
    }
    return 0;
  }
};

// The limit as typed is read at every tick, and the count goes on from where
// it stands; whatever the text, a shutdown comes before the count overflows.
// It makes the six writes in order, and the timer rests disarmed after it.
TEST(TransmitSupervision, ShutsDownWhenTheCountReachesTheLimitAsItStandsAtThatTick) {
  Station disarmed;
  disarmed.txTime = 5;
  EXPECT_EQ(disarmed.TicksToShutdown(300), 0) << "disarmed ticks do nothing";
  EXPECT_EQ(disarmed.txTime, 5);

  struct Case {
    const char* what;
    std::int16_t countBefore;
    const char* firstLimit;
    int firstTicks;  // under the first limit
    const char* laterLimit;
    int shutdownTick;  // counted from the change of limit
  };
  // clang-format off
  const Case cases[] = {
      {"as a new installation has it", 0, "180", 0, "180", 180},
      {"empty", 0, "", 0, "", 1},                {"letters", 0, "abc", 0, "abc", 1},
      {"zero", 0, "0", 0, "0", 1},               {"negative", 0, "-5", 0, "-5", 1},
      {"two", 0, "2", 0, "2", 2},                {"leading zero", 0, "015;", 0, "015;", 15},
      {"text after", 0, " 30 s", 0, " 30 s", 30}, {"fraction", 0, "90.5", 0, "90.5", 91},
      {"exponent", 0, "1E2", 0, "1E2", 100},     {"top", 0, "32767", 0, "32767", 32767},
      {"past the top", 0, "32768", 0, "32768", 32767},
      {"far past the top", 0, "99999", 0, "99999", 32767},
      {"infinite", 0, "1E400", 0, "1E400", 32767},
      {"a count already at the top", 32767, "99999", 0, "99999", 1},
      {"armed again after a shutdown counts from zero", 0, "3", 3, "3", 3},
      {"a count left from an earlier transmission goes on", 7, "10", 0, "10", 3},
      {"a limit lowered below the count ends it at the next tick", 0, "180", 50, "20", 1},
      {"a limit raised while armed counts to the new one", 0, "5", 4, "8", 4},
  };
  // clang-format on
  for (const Case& c : cases) {
    Station s;
    s.txTime = c.countBefore;
    s.shutDwn = c.firstLimit;
    s.txOn = true;
    for (int tick = 0; tick < c.firstTicks; ++tick) {
      s.Tick();
    }
    s.txOn = true;
    s.shutDwn = c.laterLimit;
    s.ports.writes.clear();
    EXPECT_EQ(s.TicksToShutdown(40000), c.shutdownTick) << c.what;
    EXPECT_EQ(s.ports.writes, kShutdownWrites) << c.what;
    EXPECT_EQ(s.txTime, 0) << c.what;
    EXPECT_EQ(s.TicksToShutdown(400), 0) << c.what;
  }
}

// Closed ports are skipped and a refused write does not stop the others: the
// radio must be unkeyed and powered off whatever App 1's port does.
TEST(TransmitSupervision, EveryWriteThatCanGoThroughDoesAndTheStateIsReset) {
  struct Case {
    bool app1Open, radioOpen, app1Refuses;
    std::vector<std::string> toRadio;
    std::size_t failures;
    bool radioMissed;
  };
  const Case cases[] = {
      {false, false, false, {}, 0, true},
      {false, true, false, kRadioShutdown, 0, false},
      {true, true, true, kRadioShutdown, 3, false},
  };
  for (const Case& c : cases) {
    Station s;
    s.shutDwn = "1";
    s.ports.app1Open = c.app1Open;
    s.ports.radioOpen = c.radioOpen;
    s.ports.app1Refuses = c.app1Refuses;
    s.txOn = true;
    s.keying.radioKeyed = true;
    const TickResult result = s.Tick();
    EXPECT_TRUE(result.shutDown);
    EXPECT_EQ(result.failures, std::vector<std::string>(c.failures, "Device I/O error"));
    EXPECT_EQ(s.ports.To(CatPort::Radio), c.toRadio);
    EXPECT_TRUE(s.ports.To(CatPort::App1).empty());
    EXPECT_EQ(result.radioMissed, c.radioMissed);
    EXPECT_EQ(s.keying.radioKeyed, c.radioMissed) << "a radio that missed it may still be keyed";
    EXPECT_FALSE(s.txOn);
    EXPECT_EQ(s.txTime, 0);
  }
}

}  // namespace
}  // namespace vantorel::supervision
