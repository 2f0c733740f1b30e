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

const std::vector<PortWrite> kShutdownWrites{
    {CatPort::Radio, "RX;"}, {CatPort::App1, "TX0;"}, {CatPort::Radio, "MX0;"},
    {CatPort::App1, "MX0;"}, {CatPort::App1, "PS0;"}, {CatPort::Radio, "PS0;"},
};

// The window-level state the timer works on, with the limit text as typed.
struct Station {
  bool txOn = false;
  std::int16_t txTime = 0;
  std::string shutDwn = "180";
  RecordingPorts ports;

  TickResult Tick() {
    SupervisionContext ctx{txOn, txTime, shutDwn, ports};
    return Timer2_Timer(ctx);
  }
  // Ticks until a shutdown; the number of the tick that shut down, or 0 when
  // none came within `most` ticks.
  int TicksToShutdown(int most) {
    for (int tick = 1; tick <= most; ++tick) {
      if (Tick().shutDown) {
        return tick;
      }
    }
    return 0;
  }
};

TEST(TransmitSupervision, DisarmedTicksDoNothing) {
  Station s;
  s.txTime = 5;
  for (int i = 0; i < 300; ++i) {
    EXPECT_FALSE(s.Tick().shutDown);
  }
  EXPECT_EQ(s.txTime, 5);
  EXPECT_TRUE(s.ports.writes.empty());
}

TEST(TransmitSupervision, ShutsDownOnTheLimitTickWithTheSixWritesInOrder) {
  Station s;
  s.txOn = true;
  for (int tick = 1; tick < 180; ++tick) {
    ASSERT_FALSE(s.Tick().shutDown) << "tick " << tick;
  }
  EXPECT_EQ(s.txTime, 179);
  EXPECT_TRUE(s.ports.writes.empty());

  const TickResult result = s.Tick();
  EXPECT_TRUE(result.shutDown);
  EXPECT_TRUE(result.failures.empty());
  EXPECT_EQ(s.ports.writes, kShutdownWrites);
  EXPECT_FALSE(s.txOn);
  EXPECT_EQ(s.txTime, 0);

  // Disarmed afterwards: no second shutdown.
  s.ports.writes.clear();
  EXPECT_EQ(s.TicksToShutdown(400), 0);
  EXPECT_TRUE(s.ports.writes.empty());
}

TEST(TransmitSupervision, ArmingAgainAfterAShutdownCountsFromZero) {
  Station s;
  s.shutDwn = "3";
  s.txOn = true;
  EXPECT_EQ(s.TicksToShutdown(10), 3);
  s.txOn = true;
  EXPECT_EQ(s.TicksToShutdown(10), 3);
  EXPECT_EQ(s.ports.writes.size(), 2 * kShutdownWrites.size());
}

TEST(TransmitSupervision, ACountLeftFromAnEarlierTransmissionGoesOn) {
  Station s;
  s.shutDwn = "10";
  s.txTime = 7;  // disarmed with the count kept
  s.txOn = true;
  EXPECT_EQ(s.TicksToShutdown(10), 3);
}

TEST(TransmitSupervision, LoweringTheLimitBelowTheCountShutsDownAtTheNextTick) {
  Station s;
  s.txOn = true;
  for (int i = 0; i < 50; ++i) {
    ASSERT_FALSE(s.Tick().shutDown);
  }
  s.shutDwn = "20";
  EXPECT_TRUE(s.Tick().shutDown);
  EXPECT_EQ(s.ports.writes, kShutdownWrites);
}

TEST(TransmitSupervision, RaisingTheLimitWhileArmedTakesEffectAtTheNextTick) {
  Station s;
  s.shutDwn = "5";
  s.txOn = true;
  for (int i = 0; i < 4; ++i) {
    ASSERT_FALSE(s.Tick().shutDown);
  }
  s.shutDwn = "8";
  EXPECT_EQ(s.TicksToShutdown(10), 4);
}

struct LimitCase {
  const char* name;
  const char* shutDwn;
  int shutdownTick;
};

class LimitText : public ::testing::TestWithParam<LimitCase> {};

TEST_P(LimitText, ShutsDownOnTheExpectedTick) {
  Station s;
  s.shutDwn = GetParam().shutDwn;
  s.txOn = true;
  EXPECT_EQ(s.TicksToShutdown(40000), GetParam().shutdownTick);
  EXPECT_EQ(s.txTime, 0);
  EXPECT_FALSE(s.txOn);
}

INSTANTIATE_TEST_SUITE_P(
    TransmitSupervision, LimitText,
    ::testing::Values(LimitCase{"Empty", "", 1}, LimitCase{"Letters", "abc", 1},
                      LimitCase{"Blanks", "  ", 1}, LimitCase{"Zero", "0", 1},
                      LimitCase{"Negative", "-5", 1}, LimitCase{"One", "1", 1},
                      LimitCase{"Two", "2", 2}, LimitCase{"LeadingZero", "015;", 15},
                      LimitCase{"TrailingText", " 30 s", 30}, LimitCase{"Fraction", "90.5", 91},
                      LimitCase{"ZeroFraction", "90.0", 90}, LimitCase{"Exponent", "1E2", 100},
                      LimitCase{"JustBelowTop", "32766.5", 32767}, LimitCase{"Top", "32767", 32767},
                      // Beyond what the count can hold: the shutdown still comes.
                      LimitCase{"PastTop", "32768", 32767}, LimitCase{"FarPastTop", "40000", 32767},
                      LimitCase{"Infinite", "1E400", 32767}),
    [](const ::testing::TestParamInfo<LimitCase>& info) { return std::string(info.param.name); });

TEST(TransmitSupervision, AHugeLimitNeverLetsTheCountOverflow) {
  Station s;
  s.shutDwn = "99999";
  s.txOn = true;
  for (int tick = 1; tick < 32767; ++tick) {
    ASSERT_FALSE(s.Tick().shutDown);
    ASSERT_EQ(s.txTime, tick);
  }
  EXPECT_TRUE(s.Tick().shutDown);
  EXPECT_EQ(s.ports.writes, kShutdownWrites);
}

TEST(TransmitSupervision, ACountAlreadyAtTheTopShutsDownWithoutOverflow) {
  Station s;
  s.shutDwn = "99999";
  s.txTime = 32767;
  s.txOn = true;
  EXPECT_TRUE(s.Tick().shutDown);
  EXPECT_EQ(s.txTime, 0);
}

TEST(TransmitSupervision, ClosedPortsAreSkippedButTheStateIsStillReset) {
  Station s;
  s.shutDwn = "1";
  s.ports.app1Open = false;
  s.ports.radioOpen = false;
  s.txOn = true;
  s.txTime = 0;
  const TickResult result = s.Tick();
  EXPECT_TRUE(result.shutDown);
  EXPECT_TRUE(result.failures.empty());
  EXPECT_TRUE(s.ports.writes.empty());
  EXPECT_FALSE(s.txOn);
  EXPECT_EQ(s.txTime, 0);
}

TEST(TransmitSupervision, OnlyTheOpenPortIsWritten) {
  Station s;
  s.shutDwn = "1";
  s.ports.app1Open = false;
  s.txOn = true;
  s.Tick();
  EXPECT_EQ(s.ports.To(CatPort::Radio), (std::vector<std::string>{"RX;", "MX0;", "PS0;"}));
  EXPECT_TRUE(s.ports.To(CatPort::App1).empty());
}

// The radio must be unkeyed and powered off even when App 1's port refuses
// every write.
TEST(TransmitSupervision, ARefusedWriteDoesNotStopTheOtherShutdownWrites) {
  Station s;
  s.shutDwn = "1";
  s.ports.app1Refuses = true;
  s.txOn = true;
  const TickResult result = s.Tick();
  EXPECT_TRUE(result.shutDown);
  EXPECT_EQ(result.failures, (std::vector<std::string>(3, "Device I/O error")));
  EXPECT_EQ(s.ports.To(CatPort::Radio), (std::vector<std::string>{"RX;", "MX0;", "PS0;"}));
  EXPECT_FALSE(s.txOn);
  EXPECT_EQ(s.txTime, 0);
}

}  // namespace
}  // namespace vantorel::supervision
