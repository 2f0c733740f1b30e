// Receive framing and routing on in-memory ports: the routing table row by
// row, the pending-answer flags, the re-entry guards, the framing of the
// radio's text and the bounded waits.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "cat/ft950_emulation.h"
#include "station_fixture.h"

namespace vantorel::testing {
namespace {

using namespace std::chrono_literals;
using station::Options;

// --- the routing table ----------------------------------------------------------

// The station, as letters: S App 2 in use (sharing, nothing translated),
// N No Translation, 2 to App 2 (not ignored), X not to App 1, U unframed,
// C the radio's port closed. The answers pending before and after as "1"
// (Soft1Waiting), "2" (Soft2Waiting) or both.
struct Route {
  const char* station;
  const char* before;
  char from;  // '1' App 1, '2' App 2, 'R' the radio
  const char* text;
  const char* writes;
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
};
// clang-format on

class RoutingTable : public StationTest, public ::testing::WithParamInterface<Route> {};

TEST_P(RoutingTable, WritesAndPendingFlags) {
  const Route& r = GetParam();
  const auto has = [](const char* letters, char c) {
    return std::string(letters).find(c) != std::string::npos;
  };
  if (has(r.station, 'S')) {
    Sharing();
  }
  Set([&](Options& o) {
    o.noTranslation = CheckOf(has(r.station, 'N'));
    o.ignoreToApp2 = CheckOf(!has(r.station, '2'));
    o.ignoreToApp1 = CheckOf(has(r.station, 'X'));
    o.frameRadioText = CheckOf(!has(r.station, 'U'));
  });
  if (has(r.station, 'C')) {
    Radio().Close();
  }
  State().Soft1Waiting = has(r.before, '1');
  State().Soft2Waiting = has(r.before, '2');

  FakeSerialPort& port = r.from == '1' ? App1() : r.from == '2' ? App2() : Radio();
  port.Receive(r.text);

  EXPECT_EQ(Log(), r.writes);
  EXPECT_EQ(State().Soft1Waiting, has(r.after, '1'));
  EXPECT_EQ(State().Soft2Waiting, has(r.after, '2'));
  EXPECT_EQ(port.Pending(), "");
  EXPECT_FALSE(State().InGetData1 || State().InGetData2 || State().InGetData3);
  EXPECT_TRUE(events.messages.empty());
  if (r.from == 'R') {
    EXPECT_EQ(events.latest[2], r.text);
  }
}

INSTANTIATE_TEST_SUITE_P(Routing, RoutingTable, ::testing::ValuesIn(kRoutes));

// --- App 1 ------------------------------------------------------------------------

TEST_F(StationTest, App1sLatestTextIsShownUpToTenCharactersAndWithMonitorItsTranslations) {
  App1().Receive("FA14251300;");
  EXPECT_EQ(events.latest[0], "");
  EXPECT_EQ(loop.waits, std::vector<std::chrono::milliseconds>{10ms})
      << "the pause before the radio write";
  Set([](Options& o) { o.monitor = true; });
  App1().Receive("AB;");
  EXPECT_EQ(events.latest[0], "AB;VV;");
  EXPECT_EQ(events.monitor, "AB;");
}

TEST_F(StationTest, ARestOfTenCharactersIsTranslatedAndOfElevenDropped) {
  App1().Receive("AB;ZZ;ZZ;ZZ;Y");
  EXPECT_EQ(Device(setup.radio).written, "VV;ZZ;ZZ;ZZ;");
  log->clear();
  App1().Receive("AB;ZZ;ZZ;ZZ;YY");
  EXPECT_EQ(Log(), "radio:VV; app1:AB;");
}

TEST_F(StationTest, ACommandSplitAcrossBlocksIsHandledAsTwoPieces) {
  App1().Receive("AB;Z");
  App1().Receive("Z;");
  EXPECT_EQ(Log(), "radio:VV; app1:AB; radio:Z; app1:Z;");
}

TEST_F(StationTest, App1sTextIsDroppedWhileApp2IsTalkingToTheRadio) {
  Sharing();
  State().Soft2Waiting = true;
  App1().Receive("AB;");
  State().Soft2Waiting = false;
  App2().Arrive("IF;");
  App1().Receive("AB;");
  App2().ReadWaiting();
  Set([](Options& o) { o.ignoreFromApp1 = Check::Ticked; });
  App1().Receive("AB;");
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(App1().Pending(), "") << "dropped, not queued";
  EXPECT_FALSE(State().Soft1Waiting);
}

TEST_F(StationTest, App2ComingIntoUseDuringTranslationEndsTheLoopWithoutEcho) {
  loop.When([this] { return Device(setup.radio).written == "VV;"; },
            [this] { Set([](Options& o) { o.app2Unused = Check::Clear; }); });
  App1().Receive("AB;ZZ;");
  EXPECT_EQ(Log(), "radio:VV;");
}

// The tests run on the whole block in a fixed order: the last matching one wins.
TEST_F(StationTest, NoTranslationKeyingFollowsTheLastMatchingTest) {
  const std::pair<const char*, bool> blocks[] = {
      {"TX;", true},     {"RX;", false},     {"MX1;", true},   {"MX0;", false},
      {"TX;RX;", false}, {"RX;MX1;", false}, {"MX0;TX;", true}};
  // Supervision off: not consulted on this path.
  Set([](Options& o) {
    o.noTranslation = Check::Ticked;
    o.superviseTransmit = Check::Clear;
  });
  for (const auto& [block, keyed] : blocks) {
    State().keying = {!keyed, 7};
    log->clear();
    App1().Receive(block);
    EXPECT_EQ(Log(), std::string("radio:") + block);
    EXPECT_EQ(State().keying.TXOn, keyed) << block;
    EXPECT_EQ(State().keying.TXTime, 7) << block;
  }
  EXPECT_TRUE(loop.waits.empty()) << "no pause on this path";
}

// --- App 2 ------------------------------------------------------------------------

// Held while App 1 has text waiting and while App 1 awaits its answer; it goes
// on with App 2's later text.
TEST_F(StationTest, App2sTextIsHeldAndGoesOnWithLaterText) {
  Sharing();
  App1().Arrive("IF;");
  App2().Receive("FA;FB;");
  App1().RaiseReceive();  // App 1's text goes to the radio; its answer is awaited
  App2().Receive("FC;");
  EXPECT_EQ(Log(), "radio:IF;");
  EXPECT_EQ(events.latest[1], "") << "held text is not shown";
  Radio().Receive("IF00014251300;");  // the answer clears both flags
  log->clear();
  App2().Receive("FD;");
  EXPECT_EQ(Log(), "radio:FA;FB;FC;FD;");
  EXPECT_EQ(events.latest[1], "FA;FB;FC;FD;");
}

// --- the radio's framing ------------------------------------------------------------

TEST_F(StationTest, ABurstRoutesOneAnswerAndLeavesTheNextWaiting) {
  Radio().Receive("FA00014251300;FA0001");
  EXPECT_EQ(Log(), "app1:FA14251300;");
  EXPECT_EQ(Radio().Pending(), "FA0001");
  Radio().Receive("4251400;");
  EXPECT_EQ(Log(), "app1:FA14251300; app1:FA14251400;");
}

TEST_F(StationTest, CharactersArrivingWhileTheAnswerIsReadJoinIt) {
  Device(setup.radio).lateArrivals = {"1425", "1300;"};
  Radio().Receive("FA000");
  EXPECT_EQ(Log(), "app1:FA14251300;");
}

// Over a slow network link the ";" may come after the gap: the answer is kept,
// not given up, and is routed whole when its end arrives.
TEST_F(StationTest, AnAnswerWhoseEndComesAfterTheGapIsRoutedWhole) {
  State().Soft1Waiting = true;
  Radio().Receive("FA00014251300");
  EXPECT_EQ(Log(), "");
  EXPECT_TRUE(State().Soft1Waiting) << "half an answer routes nothing";
  EXPECT_FALSE(State().InGetData3);
  Radio().Receive(";");
  EXPECT_EQ(Log(), "app1:FA14251300;");
  EXPECT_FALSE(State().Soft1Waiting);
}

TEST_F(StationTest, HalfAnAnswerKeptTooLongIsNoiseAndGoes) {
  Radio().Receive("x9x9");
  loop.Wait(station::kPartialAnswerLimit);
  Radio().Receive("FA00014251300;");
  EXPECT_EQ(Log(), "app1:FA14251300;");
  Radio().Receive(std::string(station::kLongestRadioAnswer + 1, 'x'));
  Radio().Receive("FA00014251400;");
  EXPECT_EQ(Log(), "app1:FA14251300; app1:FA14251400;");
}

TEST(PartialAnswerGap, AllowsForTheLineSpeedAndAUsbAdapter) {
  using station::PartialAnswerGap;
  // At 1200 baud three characters take 27.5 ms; an adapter may add 16 ms.
  EXPECT_GE(PartialAnswerGap({.baud = 1200}), 27500us + 16ms);
  EXPECT_LT(PartialAnswerGap({.baud = 38400}), 30ms);
}

// --- interleaving -----------------------------------------------------------------

TEST_F(StationTest, ANestedReceiveEventReturnsAtOnceAndItsCharactersStayWaiting) {
  // During the pause before the radio write, App 1 sends more.
  loop.When([this] { return !loop.waits.empty(); }, [this] { App1().Receive("ZZ;"); });
  App1().Receive("AB;");
  EXPECT_EQ(Log(), "radio:VV; app1:AB;");
  EXPECT_EQ(App1().Pending(), "ZZ;");
  EXPECT_FALSE(State().InGetData1);
  App1().RaiseReceive();
  EXPECT_EQ(Log(), "radio:VV; app1:AB; radio:ZZ; app1:ZZ;");
}

TEST_F(StationTest, ARadioAnswerDuringApp1sPassIsRoutedInItsMiddle) {
  loop.When([this] { return !loop.waits.empty(); }, [this] { Radio().Receive("FA00014251300;"); });
  App1().Receive("AB;");
  EXPECT_EQ(Log(), "app1:FA14251300; radio:VV; app1:AB;");
  EXPECT_TRUE(State().Soft1Waiting) << "set at the end of App 1's pass";
}

TEST_F(StationTest, AStartPressedInThePassesMiddleLeavesNothingBehind) {
  loop.When([this] { return !loop.waits.empty(); }, [this] { station.InitPorts(setup); });
  App1().Receive("AB;");
  EXPECT_EQ(Log(), "radio:AI1; radio:VV; app1:AB;") << "the new ports take the writes";
  EXPECT_FALSE(State().InGetData1);
}

// --- bounded waits ----------------------------------------------------------------

TEST_F(StationTest, AStuckRadioQueueDelaysTheWriteOnlyUntilItStopsEmptying) {
  Device(setup.radio).unsent = 100;  // nobody reads the radio's end
  const auto start = loop.Now();
  App1().Receive("AB;");
  EXPECT_EQ(Log(), "radio:VV; app1:AB;");
  EXPECT_GE(loop.Now() - start, station::kPassDrainStall);
  EXPECT_LT(loop.Now() - start, station::kPassDrainStall + 100ms);
}

TEST_F(StationTest, ASlowlyEmptyingRadioQueueIsWaitedForUpToTheDrainLimit) {
  Device(setup.radio).unsent = 100'000;  // a slow line: one character a millisecond
  for (int i = 0; i < 10'000; ++i) {
    loop.Schedule([this] { --Device(setup.radio).unsent; });
  }
  const auto start = loop.Now();
  App1().Receive("AB;");
  EXPECT_EQ(Device(setup.radio).written, "VV;");
  EXPECT_GE(loop.Now() - start, station::kPassDrainLimit);
  EXPECT_LT(loop.Now() - start, station::kPassDrainLimit + 100ms);
}

// App 1 stops reading while the radio keeps answering: after one bounded
// wait the radio's answers go on without waiting for App 1 again, so App 1's
// next command (its unkey) is not stuck behind a wait per answer.
TEST_F(StationTest, AnApplicationThatStopsReadingCostsOneWaitNotOnePerAnswer) {
  Sharing();
  Set([](Options& o) { o.ignoreToApp2 = Check::Clear; });
  Device(setup.app1).holdOutput = true;
  Device(setup.app2).holdOutput = true;
  const auto start = loop.Now();
  for (int i = 0; i < 20; ++i) {
    Radio().Receive("RM10005;");
  }
  EXPECT_EQ(Device(setup.app1).written.size(), 20 * 8U);
  EXPECT_EQ(Device(setup.app2).written, Device(setup.app1).written);
  EXPECT_LT(loop.Now() - start, 3 * station::kPassDrainLimit);
  Device(setup.app1).unsent = 0;  // App 1 reads again: its queue is waited for again
  Radio().Receive("RM10005;");
  EXPECT_EQ(Device(setup.app1).written.size(), 21 * 8U);
}

// --- the FT-950 emulation ---------------------------------------------------------------

// App 1 as a standard FT-950 client: no echo; its read goes to the radio as a
// Kenwood read and is answered once, in FT-950 form; a command cut by the
// block's end is completed by the next block; keying arms the time-out.
TEST_F(StationTest, TheFt950EmulationAnswersReadsOnceAndKeysSafely) {
  // Chosen while running, the emulation first learns the radio; App 1's
  // commands wait for its answers.
  Set([](Options& o) { o.profile = station::Profile::Emulation; });
  App1().Receive("ID;F");
  App1().Receive("A;");
  EXPECT_EQ(Log(), "radio:ID;OM0;DA;SM1;");
  for (const char* answer : {"ID024;", "OM02;", "?;", "?;"}) {
    Radio().Receive(answer);
  }
  EXPECT_EQ(Log(), "radio:ID;OM0;DA;SM1; app1:ID0310; radio:FA;");
  EXPECT_EQ(station.Radio().name, "TS-890S");
  EXPECT_EQ(events.notes.back().rfind("The radio speaks as a Kenwood TS-890S", 0), 0U);
  Radio().Receive("FA00014074000;");

  factory.ForgetWrites();
  App1().Receive("TX1;");
  EXPECT_TRUE(State().keying.radioKeyed && State().keying.TXOn);
  App1().Receive("TX;");
  App1().Receive("TX0;");
  EXPECT_EQ(Log(), "radio:TX1; app1:TX3; radio:RX;");
  EXPECT_FALSE(State().keying.radioKeyed || State().keying.TXOn);

  // A read the radio never answers gets "?;" from the short timer.
  factory.ForgetWrites();
  App1().Receive("FB;");
  loop.Wait(cat::Ft950Emulation::kReadLimit);
  station.Timer1_Timer();
  EXPECT_EQ(Log(), "radio:FB; app1:?;");

  // Back after a loss, the radio is learned again; silent, it stays as it was.
  factory.ForgetWrites();
  Radio().Tell({station::PortChange::Restored, "", false});
  App1().Receive("FA;");
  loop.Wait(cat::RadioLearning::kAnswerLimit);
  station.Timer1_Timer();
  EXPECT_EQ(Log(), "radio:ID;OM0;DA;SM1; radio:AI1; radio:FA;");
  EXPECT_EQ(station.Radio().name, "TS-890S");
}

// --- failures ---------------------------------------------------------------------

TEST_F(StationTest, AnAnswerOverflowIsReportedAndTheNextAnswerGoesThrough) {
  State().Soft1Waiting = true;
  Radio().Receive("ML1E9;");
  EXPECT_EQ(events.messages, std::vector<std::string>{"error Overflow"});
  EXPECT_FALSE(State().InGetData3);
  EXPECT_TRUE(State().Soft1Waiting);
  Radio().Receive("FA00014251300;");
  EXPECT_EQ(Device(setup.app1).written, "FA14251300;");
}

}  // namespace
}  // namespace vantorel::testing
