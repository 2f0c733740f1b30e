// Receive framing and routing on in-memory ports: the routing table row by
// row, the pending-answer flags, the re-entry guards, the framing of the
// radio's text and the bounded waits.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "bridge/receive.h"
#include "bridge_fixture.h"

namespace vantorel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace std::chrono_literals;

class Routing : public BridgeFixture {
 protected:
  void Sharing() {
    model.Ignore2.SetValue(0);
    Open(app2);
  }
};

// --- the routing table ----------------------------------------------------------

// The station, as letters: S App 2 in use (sharing, nothing translated),
// N No Translation, 2 to App 2 (Ignore2Out clear), X not to App 1 (Ignore1Out
// ticked), U unframed (KenwoodCB clear), C the radio's port closed. The answers pending before and
// after as "1" (Soft1Waiting), "2" (Soft2Waiting) or both.
struct Route {
  const char* station;
  const char* before;
  char from;  // '1' App 1, '2' App 2, 'R' the radio
  const char* text;
  const char* writes;  // "port:text" each, in order, joined by blanks
  const char* after;
};

void PrintTo(const Route& r, std::ostream* os) {
  *os << "[" << r.station << "] " << r.from << " " << r.text;
}

// clang-format off
const Route kRoutes[] = {
    // Translated: App 1 gets the translation's answer, the radio the Kenwood
    // form, then App 1 its command back once more.
    {"",     "",   '1', "FA14251300;", "app1:FA14251300; radio:FA00014251300; app1:FA14251300;", "1"},
    {"",     "",   '1', "AB;ZZ;",      "radio:VV; app1:AB; radio:ZZ; app1:ZZ;", "1"},
    {"",     "",   '1', "ZZ",          "radio:ZZ app1:ZZ", "1"},  // no ";": one command
    {"",     "",   '1', "PS1;",        "", "1"},  // power-on kept from the radio, no echo
    {"S",    "",   '1', "FA14251300;", "radio:FA14251300;", "1"},
    {"N",    "2",  '1', "FA14251300;", "radio:FA14251300;", "2"},  // no drop test, no flag
    {"C",    "",   '1', "AB;",         "", "1"},  // set even so: App 2 then waits for the radio
    {"S",    "",   '2', "FA00014251300;", "radio:FA00014251300;", "2"},
    {"SC",   "",   '2', "FA;",         "", ""},  // kept for later, no answer awaited
    {"",     "12", 'R', "FA00014251300;", "app1:FA14251300;", ""},
    {"X",    "12", 'R', "FA00014251300;", "", ""},
    {"S2",   "",   'R', "FA00014251300;", "app2:FA00014251300; app1:FA00014251300;", ""},
    {"S",    "",   'R', "FA00014251300;", "app1:FA00014251300;", ""},
    {"SN2X", "1",  'R', "FA00014251300;", "app1:FA00014251300;", "1"},
    {"S2U",  "",   'R', "FA00014251300;FB000", "app2:FA00014251300;FB000 app1:FA00014251300;FB000", ""},
    {"",     "12", 'R', "", "", ""},  // the answer translation of nothing is nothing
};
// clang-format on

class RoutingTable : public Routing, public ::testing::WithParamInterface<Route> {};

TEST_P(RoutingTable, WritesAndPendingFlags) {
  const Route& r = GetParam();
  const auto has = [](const std::string& letters, char c) {
    return letters.find(c) != std::string::npos;
  };
  if (has(r.station, 'S')) {
    Sharing();
  }
  model.Check2.SetValue(has(r.station, 'N') ? 1 : 0);
  model.Ignore2Out.SetValue(has(r.station, '2') ? 0 : 1);
  model.Ignore1Out.SetValue(has(r.station, 'X') ? 1 : 0);
  model.KenwoodCB.SetValue(has(r.station, 'U') ? 0 : 1);
  radio.PortOpen(!has(r.station, 'C'));
  model.vars.Soft1Waiting = has(r.before, '1');
  model.vars.Soft2Waiting = has(r.before, '2');

  FakeSerialPort& port = r.from == '1' ? app1 : r.from == '2' ? app2 : radio;
  port.Receive(r.text);

  std::string writes;
  for (const std::string& line : Log()) {
    writes += (writes.empty() ? "" : " ") + line;
  }
  EXPECT_EQ(writes, r.writes);
  EXPECT_EQ(model.vars.Soft1Waiting, has(r.after, '1'));
  EXPECT_EQ(model.vars.Soft2Waiting, has(r.after, '2'));
  EXPECT_EQ(port.Pending(), "");
  EXPECT_FALSE(model.vars.InGetData1 || model.vars.InGetData2 || model.vars.InGetData3);
  EXPECT_THAT(boxes.shown, IsEmpty());
  if (r.from == 'R') {
    EXPECT_EQ(model.Text3.Text(), r.text);
  }
}

INSTANTIATE_TEST_SUITE_P(Routing, RoutingTable, ::testing::ValuesIn(kRoutes));

// --- App 1 ------------------------------------------------------------------------

TEST_F(Routing, TextOneShowsABlockOfTenAtMostAndWithMonitorTheTranslations) {
  app1.Receive("FA14251300;");
  EXPECT_EQ(model.Text1.Text(), "");
  EXPECT_THAT(loop.waits, ElementsAre(10ms)) << "the pause before the radio write";
  model.Check1.SetValue(1);
  app1.Receive("AB;");
  EXPECT_EQ(model.Text1.Text(), "AB;VV;");
}

TEST_F(Routing, ARestOfTenCharactersIsTranslatedAndOfElevenDropped) {
  app1.Receive("AB;ZZ;ZZ;ZZ;Y");
  EXPECT_THAT(radio.Written(), "VV;ZZ;ZZ;ZZ;");
  EXPECT_EQ(model.vars.Soft1Buf, "Y");

  log->clear();
  app1.Receive("AB;ZZ;ZZ;ZZ;YY");
  EXPECT_THAT(Log(), ElementsAre("radio:VV;", "app1:AB;"));
  EXPECT_EQ(model.vars.Soft1Buf, "");
}

TEST_F(Routing, ACommandSplitAcrossBlocksIsHandledAsTwoPieces) {
  app1.Receive("AB;Z");
  app1.Receive("Z;");
  EXPECT_THAT(Log(), ElementsAre("radio:VV;", "app1:AB;", "radio:Z;", "app1:Z;"));
}

TEST_F(Routing, App1TextIsDroppedWhileApp2IsTalkingToTheRadio) {
  model.Text1.SetText("old");
  model.vars.Soft2Waiting = true;
  app1.Receive("AB;");
  Open(app2);
  model.vars.Soft2Waiting = false;
  app2.Arrive("IF;");
  app1.Receive("AB;");
  model.vars.Soft2Waiting = false;
  app2.Receive("");  // read App 2's text away
  model.Ignore1.SetValue(1);
  app1.Receive("AB;");

  EXPECT_THAT(Log(), IsEmpty());
  EXPECT_EQ(model.Text1.Text(), "old");
  EXPECT_EQ(app1.Pending(), "") << "dropped, not queued";
  EXPECT_FALSE(model.vars.Soft1Waiting);
}

TEST_F(Routing, App2ComingIntoUseDuringTranslationEndsTheLoopWithoutEcho) {
  When([this] { return radio.Written() == "VV;"; }, [this] { model.Ignore2.SetValue(0); });
  app1.Receive("AB;ZZ;");
  EXPECT_THAT(Log(), ElementsAre("radio:VV;"));
}

struct KeyingCase {
  const char* block;
  bool txOn;
};

class NoTranslationKeying : public Routing, public ::testing::WithParamInterface<KeyingCase> {};

// The tests run on the whole block in a fixed order: the last matching one wins.
TEST_P(NoTranslationKeying, FollowsTheLastMatchingTest) {
  model.Check2.SetValue(1);
  model.MonitorTX.SetValue(0);  // not consulted on this path
  model.vars.TXOn = !GetParam().txOn;
  model.vars.TXTime = 7;
  app1.Receive(GetParam().block);
  EXPECT_EQ(radio.Written(), GetParam().block);
  EXPECT_EQ(model.vars.TXOn, GetParam().txOn);
  EXPECT_EQ(model.vars.TXTime, 7);
  EXPECT_EQ(model.Text1.Text(), GetParam().block);
  EXPECT_THAT(loop.waits, IsEmpty()) << "no pause on this path";
}

INSTANTIATE_TEST_SUITE_P(Routing, NoTranslationKeying,
                         ::testing::Values(KeyingCase{"TX;", true}, KeyingCase{"RX;", false},
                                           KeyingCase{"MX1;", true}, KeyingCase{"MX0;", false},
                                           KeyingCase{"TX;RX;", false},
                                           KeyingCase{"RX;MX1;", false},
                                           KeyingCase{"MX0;TX;", true}));

// --- App 2 ------------------------------------------------------------------------

// Held while App 2 is not in use, while App 1 has text waiting and while
// App 1 awaits its answer; it goes on with App 2's later text.
TEST_F(Routing, App2TextIsHeldAndGoesOnWithLaterText) {
  Open(app2);  // open from an earlier run, while Ignore2 is ticked
  app2.Receive("FA;");
  model.Ignore2.SetValue(0);
  app1.Arrive("IF;");
  app2.Receive("FB;");
  app1.RaiseOnComm();  // App 1's text goes to the radio; its answer is awaited
  app2.Receive("FC;");
  EXPECT_THAT(Log(), ElementsAre("radio:IF;"));
  EXPECT_EQ(model.Text2.Text(), "") << "held text is not shown";

  radio.Receive("IF00014251300;");  // the answer clears both flags
  log->clear();
  app2.Receive("FD;");
  EXPECT_THAT(Log(), ElementsAre("radio:FA;FB;FC;FD;"));
  EXPECT_EQ(model.Text2.Text(), "FA;FB;FC;FD;");
  EXPECT_EQ(model.vars.Soft2Data, "");
}

// --- the radio's framing ------------------------------------------------------------

TEST_F(Routing, ABurstRoutesOneAnswerAndLeavesTheNextQueued) {
  radio.Receive("FA00014251300;FA0001");
  EXPECT_THAT(Log(), ElementsAre("app1:FA14251300;"));
  EXPECT_EQ(radio.Pending(), "FA0001");
  radio.Receive("4251400;");
  EXPECT_THAT(Log(), ElementsAre("app1:FA14251300;", "app1:FA14251400;"));
}

TEST_F(Routing, CharactersArrivingWhileTheAnswerIsReadJoinIt) {
  When([] { return true; }, [this] { radio.Arrive("14251300;"); });
  radio.Receive("FA000");
  EXPECT_THAT(Log(), ElementsAre("app1:FA14251300;"));
}

TEST_F(Routing, AnAnswerThatNeverCompletesIsGivenUp) {
  model.vars.Soft1Waiting = true;
  model.Text3.SetText("old");
  radio.Receive("FA000142");
  EXPECT_THAT(Log(), IsEmpty());
  EXPECT_EQ(model.Text3.Text(), "old");
  EXPECT_TRUE(model.vars.Soft1Waiting) << "a dropped partial answer routes nothing";
  EXPECT_FALSE(model.vars.InGetData3);
  EXPECT_EQ(loop.doEventsCalls, 1)
      << "events are processed before the waiting characters, not during the wait for the rest";
}

TEST_F(Routing, RadioNoiseWithoutAnyAnswerEndIsGivenUpWithinThePassLimit) {
  // A wrong line speed: characters keep coming, never a ";".
  std::function<void()> noise = [&] {
    radio.Arrive("x");
    loop.Schedule(noise);
  };
  loop.Schedule(noise);
  model.vars.Soft1Waiting = true;
  const auto start = loop.Now();
  radio.Receive("x");
  EXPECT_THAT(Log(), IsEmpty());
  EXPECT_FALSE(model.vars.InGetData3);
  EXPECT_TRUE(model.vars.Soft1Waiting) << "nothing was routed";
  EXPECT_LT(loop.Now() - start, bridge::kPartialAnswerPassLimit + 100ms);
}

TEST(PartialAnswerGap, AllowsForTheLineSpeedAndAUsbAdapter) {
  using bridge::PartialAnswerGap;
  // At 1200 baud three characters take 27.5 ms; an adapter may add 16 ms.
  EXPECT_GE(PartialAnswerGap("1200"), 27500us + bridge::kUsbHoldBack);
  EXPECT_GE(PartialAnswerGap("38400"), bridge::kUsbHoldBack);
  EXPECT_LT(PartialAnswerGap("38400"), 30ms);
  EXPECT_EQ(PartialAnswerGap(""), PartialAnswerGap("9600"));
  EXPECT_EQ(PartialAnswerGap("fast"), PartialAnswerGap("9600"));
}

TEST_F(Routing, APortWhoseDeviceWentAwayGivesItsBoxBackAndSaysWhy) {
  model.RadioCom.SetEnabled(false);
  radio.Lose("/dev/ttyUSB0: Input/output error");
  EXPECT_FALSE(radio.PortOpen());
  EXPECT_TRUE(model.RadioCom.Enabled());
  EXPECT_THAT(boxes.shown, ElementsAre("error /dev/ttyUSB0: Input/output error"));
}

TEST_F(Routing, OnlyReceiveEventsRunTheReceiveProcedures) {
  app1.Arrive("AB;");
  radio.Arrive("FA00014251300;");
  for (int code : {1, 3, 7, 1001, 1010}) {
    app1.RaiseOnComm(code);
    radio.RaiseOnComm(code);
  }
  EXPECT_THAT(Log(), IsEmpty());
  EXPECT_EQ(app1.Pending(), "AB;");
}

// --- interleaving -----------------------------------------------------------------

TEST_F(Routing, ANestedReceiveEventReturnsAtOnceAndItsCharactersStayQueued) {
  // During the pause before the radio write, App 1 sends more.
  When([this] { return !loop.waits.empty(); }, [this] { app1.Receive("ZZ;"); });
  app1.Receive("AB;");
  EXPECT_THAT(Log(), ElementsAre("radio:VV;", "app1:AB;"));
  EXPECT_EQ(app1.Pending(), "ZZ;");
  EXPECT_FALSE(model.vars.InGetData1);
  app1.RaiseOnComm();
  EXPECT_THAT(Log(), ElementsAre("radio:VV;", "app1:AB;", "radio:ZZ;", "app1:ZZ;"));
}

TEST_F(Routing, ARadioAnswerDuringApp1sPassIsRoutedInItsMiddle) {
  When([this] { return !loop.waits.empty(); }, [this] { radio.Receive("FA00014251300;"); });
  app1.Receive("AB;");
  EXPECT_THAT(Log(), ElementsAre("app1:FA14251300;", "radio:VV;", "app1:AB;"));
  EXPECT_TRUE(model.vars.Soft1Waiting) << "set at the end of App 1's pass";
}

// --- bounded waits ----------------------------------------------------------------

TEST_F(Routing, AStuckRadioQueueDelaysTheWriteOnlyUntilItStopsEmptying) {
  radio.outPending = 100;  // nobody reads the radio's end
  const auto start = loop.Now();
  app1.Receive("AB;");
  EXPECT_THAT(Log(), ElementsAre("radio:VV;", "app1:AB;"));
  const auto waited = loop.Now() - start;
  EXPECT_GE(waited, bridge::kDrainStall);
  EXPECT_LT(waited, bridge::kDrainStall + 100ms);
}

TEST_F(Routing, ASlowlyEmptyingRadioQueueIsWaitedForUpToTheDrainLimit) {
  radio.outPending = 100'000;  // a slow line: one character a millisecond
  for (int i = 0; i < 10'000; ++i) {
    loop.Schedule([this] { --radio.outPending; });
  }
  const auto start = loop.Now();
  app1.Receive("AB;");
  EXPECT_EQ(radio.Written(), "VV;");
  const auto waited = loop.Now() - start;
  EXPECT_GE(waited, bridge::kDrainLimit);
  EXPECT_LT(waited, bridge::kDrainLimit + 100ms);
}

TEST_F(Routing, TheRadioWriteFollowsAsSoonAsTheQueueEmpties) {
  radio.outPending = 100;
  When([this] { return loop.doEventsCalls > 20; }, [this] { radio.outPending = 0; });
  const auto start = loop.Now();
  app1.Receive("AB;");
  EXPECT_THAT(radio.Written(), "VV;");
  EXPECT_LT(loop.Now() - start, 100ms);
}

TEST_F(Routing, AStuckApplicationQueueDoesNotHangTheRadioPath) {
  Sharing();
  model.Ignore2Out.SetValue(0);
  app1.holdOutput = true;
  app2.holdOutput = true;
  for (int i = 0; i < 3; ++i) {
    radio.Receive("FA00014251300;");
  }
  EXPECT_EQ(app1.Written(), "FA00014251300;FA00014251300;FA00014251300;");
  EXPECT_EQ(app2.Written(), app1.Written());
  EXPECT_LT(loop.Now() - model::Clock::time_point{}, 5 * 2 * bridge::kDrainLimit);
}

// --- failures ---------------------------------------------------------------------

TEST_F(Routing, ARefusedWriteEndsThePassWithItsDescription) {
  radio.failOutput = "Device I/O error";
  app1.Receive("AB;");
  EXPECT_THAT(boxes.shown, ElementsAre("error Device I/O error"));
  EXPECT_FALSE(model.vars.InGetData1);
  EXPECT_FALSE(model.vars.Soft1Waiting) << "the pass ended before the flag";

  radio.failOutput.reset();
  app1.Receive("AB;");
  EXPECT_EQ(radio.Written(), "VV;");
}

TEST_F(Routing, AnAnswerOverflowIsReportedAndTheNextAnswerGoesThrough) {
  model.vars.Soft1Waiting = true;
  radio.Receive("ML1E9;");
  EXPECT_THAT(boxes.shown, ElementsAre("error Overflow"));
  EXPECT_FALSE(model.vars.InGetData3);
  EXPECT_TRUE(model.vars.Soft1Waiting);
  radio.Receive("FA00014251300;");
  EXPECT_EQ(app1.Written(), "FA14251300;");
}

TEST_F(Routing, AFailingEventCodeIsReportedNotThrown) {
  struct ThrowingPort : FakeSerialPort {
    using FakeSerialPort::FakeSerialPort;
    [[nodiscard]] int CommEvent() const override { throw bridge::SerialError("Port gone"); }
  };
  ThrowingPort broken{"radio", log};
  model::CatmuxModel otherModel;
  bridge::Bridge other{otherModel, {app1, app2, broken}, loop, boxes};
  EXPECT_NO_THROW(broken.RaiseOnComm());
  EXPECT_THAT(boxes.shown, ElementsAre("error Port gone"));
}

}  // namespace
}  // namespace vantorel::testing
