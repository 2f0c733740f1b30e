// The station core on in-memory ports, a scripted event loop and real files:
// routing, pending answers, re-entry, framing and bounded waits; Start's ports
// and failure rules; capture files, monitor, manual commands, port news.
#include "station/station.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cat/ft950_emulation.h"
#include "fake_loop.h"
#include "fake_ports.h"
#include "recording_events.h"
#include "temp_folder.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using station::Options;
using station::PortChange;

// The station as the programs wire it, on in-memory ports that share one write
// log, a scripted event loop and recorded events. Start has opened App 1's
// port "/dev/app1" and the radio's "/dev/radio"; App 2 is out of use.
class StationTest : public ::testing::Test {
 protected:
  StationTest() {
    station.InitPorts(setup);
    factory.ForgetWrites();
    events.states.clear();
  }

  // Changes the options as a click in the window would.
  template <class Change>
  void Set(Change change) {
    station::Options options = station.options();
    change(options);
    station.SetOptions(options);
  }
  void Sharing() {
    Set([](station::Options& o) { o.app2Unused = Check::Clear; });
    station.InitPorts(setup);
    factory.ForgetWrites();
  }

  FakeDevice& Device(const std::string& name) { return factory.Device(name); }
  FakeSerialPort& App1() { return *Device(setup.app1).port; }
  FakeSerialPort& App2() { return *Device(setup.app2).port; }
  FakeSerialPort& Radio() { return *Device(setup.radio).port; }
  // The writes so far, as "device:text" joined by blanks.
  [[nodiscard]] std::string Log() const {
    std::string joined;
    for (const std::string& write : *log) {
      joined += (joined.empty() ? "" : " ") + write;
    }
    return joined;
  }
  station::StationState& State() { return station.state(); }

  TempFolder folder;
  station::PortSetup setup{"/dev/app1", "/dev/app2", "/dev/radio", "4800,E,8,1"};
  std::shared_ptr<WriteLog> log = std::make_shared<WriteLog>();
  FakePortFactory factory{log};
  FakeEventLoop loop;
  RecordingEvents events;
  station::Station station{factory, loop, events, folder.Path()};
};

// The station, as letters: S App 2 in use (sharing, nothing translated),
// N No Translation, 2 to App 2 (not ignored), X not to App 1, I not from
// App 1, U unframed, P Power On/Off clear, C the radio's port closed, W App 2's
// text waiting. The answers pending before and after as "1" (Soft1Waiting),
// "2" (Soft2Waiting) or both. A "|" in the text parts the blocks as they come.
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
    {"",     "",   '1', "AB;Z|Z;",     "radio:VV; app1:AB; radio:Z; app1:Z;", "1"},  // two pieces
    // Of a block of eleven characters or more, the rest after ten is dropped.
    {"",     "",   '1', "AB;ZZ;ZZ;ZZ;Y", "radio:VV; app1:AB; radio:ZZ; app1:ZZ; radio:ZZ; app1:ZZ; radio:ZZ; app1:ZZ;", "1"},
    {"",     "",   '1', "AB;ZZ;ZZ;ZZ;YY", "radio:VV; app1:AB;", "1"},
    // Every "TX" form is kept from the radio, also behind blanks or cut by a read.
    {"",     "",   '1', " TX0;",       "radio:RX; app1: TX0;", "1"},
    {"",     "",   '1', "T|X;",        "app1:T radio:X; app1:X;", "1"},
    // An unkey after half a command goes ahead, as a command of its own.
    {"",     "",   '1', "ZZ|MX0;",     "radio:ZZ app1:ZZ radio:;RX; app1:TX0; radio:MX0; app1:MX0;", "1"},
    {"",     "",   '1', "PS1;",        "", "1"},  // power-on kept from the radio, no echo
    {"P",    "",   '1', "PS1;",        "radio:PS1; app1:PS1;", "1"},  // Power On/Off clear: both
    {"S",    "",   '1', "FA14251300;", "radio:FA14251300;", "1"},
    {"N",    "2",  '1', "FA14251300;", "radio:FA14251300;", "2"},  // no drop test, no flag
    {"C",    "",   '1', "AB;",         "", "1"},  // set even so: App 2 then waits for the radio
    {"S",    "2",  '1', "AB;",         "", "2"},  // dropped while App 2 talks to the radio
    {"SW",   "",   '1', "AB;",         "", ""},   // or has text waiting; not queued either
    {"I",    "",   '1', "AB;",         "", ""},   // ignored
    {"S",    "",   '2', "FA00014251300;", "radio:FA00014251300;", "2"},
    {"SC",   "",   '2', "FA;",         "", ""},  // kept for later, no answer awaited
    {"",     "12", 'R', "FA00014251300;", "app1:FA14251300;", ""},
    // A burst routes one answer and leaves the next waiting for its end, also
    // when that comes after the gap (over a slow network link).
    {"",     "",   'R', "FA00014251300;FA0001|4251400;", "app1:FA14251300; app1:FA14251400;", ""},
    {"",     "1",  'R', "FA00014251300|;", "app1:FA14251300;", ""},
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
    o.ignoreFromApp1 = CheckOf(has(r.station, 'I'));
    o.frameRadioText = CheckOf(!has(r.station, 'U'));
  });
  if (has(r.station, 'P')) {
    Set([](Options& o) { o.powerControl = Check::Clear; });
  }
  if (has(r.station, 'C')) {
    Radio().Close();
  }
  if (has(r.station, 'W')) {
    App2().Arrive("IF;");
  }
  State().Soft1Waiting = has(r.before, '1');
  State().Soft2Waiting = has(r.before, '2');

  FakeSerialPort& port = r.from == '1' ? App1() : r.from == '2' ? App2() : Radio();
  const std::string text = r.text;
  for (std::size_t at = 0, bar = 0; at <= text.size(); at = bar + 1) {
    bar = std::min(text.find('|', at), text.size());
    port.Receive(text.substr(at, bar - at));
  }

  EXPECT_EQ(Log(), r.writes);
  EXPECT_EQ(State().Soft1Waiting, has(r.after, '1'));
  EXPECT_EQ(State().Soft2Waiting, has(r.after, '2'));
  EXPECT_EQ(port.Pending(), "");
  EXPECT_FALSE(State().InGetData1 || State().InGetData2 || State().InGetData3);
  EXPECT_TRUE(events.messages.empty());
  if (r.from == 'R' && !has(r.text, '|')) {
    EXPECT_EQ(events.latest[2], r.text);
  }
}

INSTANTIATE_TEST_SUITE_P(Routing, RoutingTable, ::testing::ValuesIn(kRoutes));

TEST_F(StationTest, App1sLatestTextIsShownWithTheMonitorOnAndItsTranslations) {
  App1().Receive("FA14251300;");
  EXPECT_EQ(events.latest[0], "");
  EXPECT_EQ(loop.waits, std::vector<std::chrono::milliseconds>{10ms})
      << "the pause before the radio write";
  Set([](Options& o) { o.monitor = true; });
  App1().Receive("AB;");
  EXPECT_EQ(events.latest[0], "AB;VV;");
}

TEST_F(StationTest, App2ComingIntoUseDuringTranslationEndsTheLoopWithoutEcho) {
  loop.When([this] { return Device(setup.radio).written == "VV;"; },
            [this] { Set([](Options& o) { o.app2Unused = Check::Clear; }); });
  App1().Receive("AB;ZZ;");
  EXPECT_EQ(Log(), "radio:VV;");
}

// The last keying command App 1 sent wins, also when a read cut it ("|"
// parts the reads): every transmit form keys a Kenwood, only a whole RX;
// unkeys it.
TEST_F(StationTest, NoTranslationKeyingFollowsTheLastKeyingCommand) {
  const std::pair<std::string, bool> blocks[] = {
      {"TX;", true},     {"RX;", false},    {"MX1;", true},   {"MX0;", false},
      {"TX;RX;", false}, {"RX;MX1;", true}, {"MX0;TX;", true}, {"RX;TX;", true},
      {"TX1;", true},    {"RX;TX0;", true}, {"T|X2;", true},  {"TX;\r\nR|X;", false},
      {"TX;ARX;", true}, {"TX;MX0;", true}};
  // Supervision off: not consulted on this path.
  Set([](Options& o) {
    o.noTranslation = Check::Ticked;
    o.superviseTransmit = Check::Clear;
  });
  for (const auto& [block, keyed] : blocks) {
    State().keying = {!keyed, 7};
    log->clear();
    std::string writes;
    for (std::size_t start = 0; start <= block.size();) {
      const std::size_t cut = std::min(block.find('|', start), block.size());
      App1().Receive(block.substr(start, cut - start));
      writes += (writes.empty() ? "radio:" : " radio:") + block.substr(start, cut - start);
      start = cut + 1;
    }
    EXPECT_EQ(Log(), writes);
    EXPECT_EQ(State().keying.TXOn, keyed) << block;
    EXPECT_EQ(State().keying.TXTime, 7) << block;
  }
  EXPECT_TRUE(loop.waits.empty()) << "no pause on this path";
  // An unkey that never reached the radio (its port lost) does not count.
  App1().Receive("TX1;");
  Radio().Tell({PortChange::Lost, "gone", true});
  App1().Receive("RX;");
  EXPECT_TRUE(station.RadioMayBeKeyed());
}

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

  // Held while the radio stays silent, only the newest whole messages stay.
  Radio().Receive("FA00014251300;");  // App 2's answer
  App1().Arrive("IF;");
  App1().RaiseReceive();
  std::string flood;
  for (int i = 0; flood.size() <= station::kHeldApp2Limit; ++i) {
    flood += "FA" + std::to_string(i) + ";";
  }
  App2().Receive(flood);  // held: App 1 awaits its answer
  Radio().Receive("IF00014251300;");
  log->clear();
  App2().Receive("FD;");
  const std::string sent = Log();
  EXPECT_LE(sent.size(), std::string("radio:").size() + station::kHeldApp2Limit + 3);
  EXPECT_TRUE(sent.starts_with("radio:FA")) << "a whole message first";
  EXPECT_TRUE(sent.ends_with(flood.substr(flood.rfind("FA")) + "FD;"));
}

TEST_F(StationTest, HalfAnAnswerKeptTooLongIsNoiseAndGoes) {
  // A trickle keeps the age of its first character.
  Radio().Receive("x9");
  loop.Wait(station::kPartialAnswerLimit / 2);
  Radio().Receive("x9");
  loop.Wait(station::kPartialAnswerLimit / 2);
  Radio().Receive("FA00014251300;");
  EXPECT_EQ(Log(), "app1:FA14251300;");
  Radio().Receive(std::string(station::kLongestRadioAnswer + 1, 'x'));
  Radio().Receive("FA00014251400;");
  EXPECT_EQ(Log(), "app1:FA14251300; app1:FA14251400;");
}

TEST(PartialAnswerGap, AllowsForTheLineSpeedAndAUsbAdapter) {
  // At 1200 baud three characters take 27.5 ms; an adapter may add 16 ms.
  EXPECT_GE(station::PartialAnswerGap({.baud = 1200}), 27500us + 16ms);
  EXPECT_LT(station::PartialAnswerGap({.baud = 38400}), 30ms);
}

// During the pause before the radio write: more from App 1 stays waiting (its
// nested receive event returns at once), a radio answer is routed in the
// pass's middle, and a Start pressed leaves nothing behind.
TEST_F(StationTest, WhatComesDuringThePauseBeforeTheRadioWriteIsHandledInTurn) {
  loop.When([this] { return loop.waits.size() == 1; },
            [this] {
              App1().Receive("ZZ;");
              Radio().Receive("FA00014251300;");
            });
  App1().Receive("AB;");
  EXPECT_EQ(Log(), "app1:FA14251300; radio:VV; app1:AB;");
  EXPECT_EQ(App1().Pending(), "ZZ;");
  EXPECT_TRUE(State().Soft1Waiting) << "set at the end of App 1's pass";
  EXPECT_FALSE(State().InGetData1);
  loop.When([this] { return loop.waits.size() == 2; }, [this] { station.InitPorts(setup); });
  factory.ForgetWrites();
  App1().RaiseReceive();
  EXPECT_EQ(Log(), "radio:AI1; radio:ZZ; app1:ZZ;") << "the new ports take the writes";
  EXPECT_FALSE(State().InGetData1);
}

// A stuck radio queue delays the write only until it stops emptying; once it
// is seen empty again, a slowly emptying one (a character a millisecond) is
// waited for up to the drain limit.
TEST_F(StationTest, AFullRadioQueueIsWaitedForOnlyWithinItsBounds) {
  Device(setup.radio).unsent = 100;  // nobody reads the radio's end
  auto start = loop.Now();
  App1().Receive("AB;");
  EXPECT_EQ(Log(), "radio:VV; app1:AB;");
  EXPECT_GE(loop.Now() - start, station::kPassDrainStall);
  EXPECT_LT(loop.Now() - start, station::kPassDrainStall + 100ms);

  Device(setup.radio).unsent = 0;
  App1().Receive("ZZ;");
  Device(setup.radio).unsent = 100'000;
  for (int i = 0; i < 10'000; ++i) {
    loop.Schedule([this] { --Device(setup.radio).unsent; });
  }
  start = loop.Now();
  App1().Receive("AB;");
  EXPECT_EQ(Device(setup.radio).written, "VV;ZZ;VV;");
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

// App 1 as a standard FT-950 client: chosen while running, the emulation first
// learns the radio and App 1's commands wait for its answers; then no echo,
// its read goes to the radio as a Kenwood read and is answered once, in FT-950
// form; a command cut by the block's end is completed by the next block. (Its
// keying: tests/app/keying_test.cpp.)
TEST_F(StationTest, TheFt950EmulationLearnsTheRadioAndAnswersReadsOnce) {
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

TEST_F(StationTest, AnAnswerOverflowIsReportedAndTheNextAnswerGoesThrough) {
  State().Soft1Waiting = true;
  Radio().Receive("ML1E9;");
  EXPECT_EQ(events.messages, std::vector<std::string>{"error Overflow"});
  EXPECT_FALSE(State().InGetData3);
  EXPECT_TRUE(State().Soft1Waiting);
  Radio().Receive("FA00014251300;");
  EXPECT_EQ(Device(setup.app1).written, "FA14251300;");
}

class PortSetup : public StationTest {
 protected:
  PortSetup() { setup.app2 = "COM6"; }
};

TEST_F(PortSetup, OpensTheApplicationsAndTheRadioThenSwitchesOnAutoInformation) {
  EXPECT_EQ(Device("COM6").opens, 0) << "App 2 out of use: its port is not even made";
  EXPECT_TRUE(App1().IsOpen() && Radio().IsOpen());

  // Start again with App 2 in use and another radio port: every port reopens.
  Set([](Options& o) { o.app2Unused = Check::Clear; });
  setup.radio = "COM9";
  station.InitPorts(setup);
  EXPECT_TRUE(events.messages.empty());
  for (const char* name : {"/dev/app1", "COM6", "COM9"}) {
    const FakeDevice& device = Device(name);
    EXPECT_TRUE(device.port->IsOpen() && device.rts && device.dtr) << name;
  }
  EXPECT_EQ(Device("COM6").settings, (station::LineSettings{19200, station::Parity::None, 8, 1}));
  EXPECT_TRUE(Device("COM6").nullDiscard);
  EXPECT_EQ(Device("COM9").settings, (station::LineSettings{4800, station::Parity::Even, 8, 1}));
  EXPECT_FALSE(Device("COM9").nullDiscard) << "the radio's NULs are delivered";
  EXPECT_EQ(Device("/dev/app1").opens, 2);
  EXPECT_EQ(Device("/dev/radio").closes, 1);
  EXPECT_EQ(Log(), "COM9:AI1;");
  EXPECT_EQ(events.states, (std::vector<std::string>{"app2 open", "app1 closed", "app1 open",
                                                     "radio closed", "radio open"}));
}

TEST_F(PortSetup, OnlyAClearSwitchLetsItsStepRun) {
  // A greyed switch (value 2) is not clear: App 2 stays out, no "AI1;".
  Set([](Options& o) {
    o.app2Unused = Check::Greyed;
    o.ignoreFromApp1 = Check::Greyed;
  });
  station.InitPorts(setup);
  EXPECT_EQ(Device("COM6").opens, 0);
  EXPECT_EQ(Log(), "");
}

TEST(RadioSettingsText, IsTheFourBoxesAsTheyStandAndIsJudgedAtStart) {
  EXPECT_EQ(station::RadioSettingsText("38400", "None", "8", "2"), "38400,N,8,2");
  for (const char* refused : {" 4800,,4,1.5", "38400,N,9,1", "96OO,N,8,1", "9600,N,8"}) {
    EXPECT_THROW(station::ParseLineSettings(refused), station::SerialError) << refused;
  }
}

// The failure table. Every case starts from a previous run that left all
// three ports open; the new run names new devices for them.
enum class After { Untouched, Reopened, ReopenedNotLocked, Closed };
using Refusal = std::optional<std::string> FakeDevice::*;
constexpr Refusal kName = &FakeDevice::failMake;
constexpr Refusal kSettings = &FakeDevice::failSettings;
constexpr Refusal kOpen = &FakeDevice::failOpen;
constexpr Refusal kRts = &FakeDevice::failRts;
constexpr Refusal kDtr = &FakeDevice::failDtr;

struct FailureCase {
  const char* name;
  Check app2Unused;
  int failingPort;  // 0 App 2, 1 App 1, 2 the radio
  Refusal step;
  const char* message;  // nullptr: none
  After app2, app1, radio;
  bool autoInformation;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

constexpr const char* kSoft2 = "Unable to open App 2's port: refused";
constexpr const char* kSoft1 = "Unable to open App 1's port: refused";
constexpr const char* kRadio = "Unable to open the radio's port: refused";

using enum After;
constexpr Check Clr = Check::Clear;
constexpr Check Tck = Check::Ticked;
// A refusal is told once and closes again what this Start had opened; a
// refused DTR is only noted and goes straight on to "AI1;" - which reaches
// the radio port still open from the previous run.
// clang-format off
const FailureCase kFailures[] = {
    {"App2OpenFails",                  Clr, 0, kOpen,     kSoft2,  Closed, Untouched, Untouched, false},
    {"App2RtsFails",                   Clr, 0, kRts,      kSoft2,  Closed, Untouched, Untouched, false},
    {"App2NameRefusedBeforeAnyOpen",   Clr, 0, kName,     kSoft2,  Closed, Untouched, Untouched, false},
    {"App2SettingsRefused",            Clr, 0, kSettings, kSoft2,  Closed, Untouched, Untouched, false},
    {"App2DtrFails",                   Clr, 0, kDtr,      nullptr, ReopenedNotLocked, Untouched, Untouched, true},
    {"App1NameRefusedBeforeAnyOpen",   Tck, 1, kName,     kSoft1,  Untouched, Closed, Untouched, false},
    {"App1SettingsRefusedAfterApp2",   Clr, 1, kSettings, kSoft1,  Closed, Closed, Untouched, false},
    {"App1OpenFails",                  Tck, 1, kOpen,     kSoft1,  Untouched, Closed, Untouched, false},
    {"App1RtsFails",                   Clr, 1, kRts,      kSoft1,  Closed, Closed, Untouched, false},
    {"App1DtrFails",                   Tck, 1, kDtr,      nullptr, Untouched, ReopenedNotLocked, Untouched, true},
    {"RadioNameRefused",               Tck, 2, kName,     kRadio,  Untouched, Closed, Closed, false},
    {"RadioSettingsRefused",           Clr, 2, kSettings, kRadio,  Closed, Closed, Closed, false},
    {"RadioOpenFails",                 Tck, 2, kOpen,     kRadio,  Untouched, Closed, Closed, false},
    {"RadioRtsFails",                  Tck, 2, kRts,      kRadio,  Untouched, Closed, Closed, false},
    {"RadioDtrFails",                  Tck, 2, kDtr,      nullptr, Untouched, Reopened, ReopenedNotLocked, true},
};
// clang-format on

class PortSetupFailure : public PortSetup, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PortSetupFailure, FollowsTheFailureRules) {
  const FailureCase& c = GetParam();
  Set([](Options& o) { o.app2Unused = Check::Clear; });
  station.InitPorts(setup);  // the previous run
  const std::string oldNames[] = {setup.app2, setup.app1, setup.radio};
  const std::string newNames[] = {"COM16", "COM15", "COM17"};
  log->clear();
  events.states.clear();

  Set([&](Options& o) { o.app2Unused = c.app2Unused; });
  setup = {newNames[1], newNames[0], newNames[2], "4800,E,8,1"};
  Device(newNames[c.failingPort]).*c.step = "refused";
  const bool returned = station.InitPorts(setup);

  EXPECT_EQ(events.messages,
            c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
  const After after[] = {c.app2, c.app1, c.radio};
  const char* roles[] = {"app2", "app1", "radio"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(roles[i]);
    const FakeDevice& oldDevice = Device(oldNames[i]);
    const FakeDevice& newDevice = Device(newNames[i]);
    EXPECT_EQ(oldDevice.port->IsOpen(), after[i] == Untouched);
    EXPECT_EQ(newDevice.port && newDevice.port->IsOpen(),
              after[i] == Reopened || after[i] == ReopenedNotLocked);
    // The port box is locked only after DTR was raised; the refused port's
    // lamp says so.
    std::string last;
    for (const std::string& state : events.states) {
      if (state.starts_with(std::string(roles[i]) + " ")) {
        last = state.substr(state.find(' ') + 1);
      }
    }
    EXPECT_EQ(last == "open", after[i] == Reopened);
    EXPECT_EQ(last == "refused", c.message != nullptr && i == c.failingPort);
  }
  EXPECT_EQ(returned, c.message == nullptr);
  const std::string radio = c.radio == Untouched ? "radio" : "COM17";
  EXPECT_EQ(Log(), c.autoInformation ? radio + ":AI1;" : "");
}

INSTANTIATE_TEST_SUITE_P(Table, PortSetupFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

// The sign of a standard FT-950 program on App 1 is told once while
// translating for the remote-control program, and never while emulating.
TEST_F(StationTest, AStandardProgramOnApp1IsToldOnceWhileTranslatingOnly) {
  struct Case {
    station::Profile profile;
    std::vector<const char*> blocks;
    long told;
  };
  const Case cases[] = {
      {station::Profile::Contract, {"FA;IF;", "ID;", "FA14250000;", "EX0301;"}, 0},
      {station::Profile::Contract, {"PS;", "AI;", "ID;", "EX0271;EX027;", "AI;"}, 1},
      {station::Profile::Contract, {"ID;", "EX0271;EX027;", "ID;", "EX027;"}, 1},
      {station::Profile::Emulation, {"AI;", "ID;", "EX0271;EX027;"}, 0},
  };
  for (const Case& c : cases) {
    Set([&](Options& o) { o.profile = c.profile; });
    station.InitPorts(setup);  // App 1's port made anew: it starts over
    events.notes.clear();
    for (const char* block : c.blocks) {
      App1().Receive(block);
    }
    EXPECT_EQ(std::count(events.notes.begin(), events.notes.end(),
                         "App 1 looks like a standard FT-950 program: choose \"Translating, "
                         "FT-950 emulation\""),
              c.told)
        << c.blocks[1];
  }
}

// One line per block from each side, captured before any routing test;
// stopping closes the files and starting again begins them anew.
TEST_F(StationTest, CaptureWritesOneLinePerBlockFromEachSide) {
  const fs::path in = folder.Path() / "TESTIN.TXT";
  const fs::path out = folder.Path() / "TESTOUT.TXT";
  station.SwitchCapture(true);
  EXPECT_EQ(events.messages.back(), "TESTIN.TXT and TESTOUT.TXT have been opened");
  App1().Receive("FA14251300;");
  State().Soft2Waiting = true;
  App1().Receive("AB;");  // dropped
  Set([](Options& o) { o.noTranslation = Check::Ticked; });
  App1().Receive("TX;");  // passed untranslated
  Set([](Options& o) { o.noTranslation = Check::Clear; });
  Radio().Receive("FA00014251300;IF");  // "IF" waits for its end: not captured yet
  Radio().Receive(";");
  EXPECT_EQ(ReadFile(in), "FA14251300;\r\nAB;\r\nTX;\r\n");
  EXPECT_EQ(ReadFile(out), "FA00014251300;\r\nIF;\r\n");

  station.SwitchCapture(false);
  EXPECT_EQ(events.messages.back(), "Files Closed");
  App1().Receive("ZZ;");
  EXPECT_EQ(ReadFile(in), "FA14251300;\r\nAB;\r\nTX;\r\n");
  station.SwitchCapture(true);
  EXPECT_EQ(ReadFile(in), "");
}

// TEST.TXT is made anew, empty, and gets nothing while the capture is off; a
// file that cannot be made is told, and a capture file that cannot be made or
// written stops the capture only.
TEST_F(StationTest, AFileThatCannotBeMadeOrWrittenIsToldAndStopsTheCaptureOnly) {
  WriteFile(folder.Path() / "TEST.TXT", "earlier");
  ASSERT_TRUE(station.CreateTestFile());
  App1().Receive("AB;");
  EXPECT_EQ(ReadFile(folder.Path() / "TEST.TXT"), "");
  EXPECT_FALSE(fs::exists(folder.Path() / "TESTIN.TXT"));
  fs::remove(folder.Path() / "TEST.TXT");
  fs::create_directory(folder.Path() / "TEST.TXT");
  EXPECT_FALSE(station.CreateTestFile()) << "told to the caller";

  fs::create_directory(folder.Path() / "TESTOUT.TXT");
  station.SwitchCapture(true);
  EXPECT_EQ(events.messages.back().rfind("Unable to create TESTOUT.TXT: ", 0), 0U);
  EXPECT_TRUE(events.captureStopped);
  fs::remove(folder.Path() / "TESTOUT.TXT");
  fs::remove(folder.Path() / "TESTIN.TXT");

  fs::create_symlink("/dev/full", folder.Path() / "TESTIN.TXT");
  events.messages.clear();
  station.SwitchCapture(true);
  App1().Receive("AB;");
  App1().Receive("ZZ;");
  EXPECT_EQ(events.messages, (std::vector<std::string>{
                                 "TESTIN.TXT and TESTOUT.TXT have been opened",
                                 "error Unable to write TESTIN.TXT: No space left on device"}));
  EXPECT_EQ(Device(setup.radio).written, "VV;VV;ZZ;") << "the traffic still flows";
}

// App 1's blocks on both paths (translating, then No Translation), as text or
// hex: two upper-case digits a byte, a new line after a line feed.
TEST_F(StationTest, TheMonitorShowsApp1sBlocksOnBothPathsWhileOn) {
  for (const auto& [on, hex, shown] :
       {std::tuple{true, false, "AB;TX;"}, std::tuple{true, true, "41423BFF0A\r\n"},
        std::tuple{false, true, ""}}) {
    events.monitor.clear();
    Set([&](Options& o) {
      o.noTranslation = Check::Clear;
      o.monitor = on;
      o.monitorHex = hex;
    });
    App1().Receive("AB;");
    Set([](Options& o) { o.noTranslation = Check::Ticked; });
    App1().Receive(hex ? "\xff\n" : "TX;");
    Radio().Receive("FA00014251300;");
    EXPECT_EQ(events.monitor, shown) << on << hex;
  }
}

// By hand: no pending flags, no pause; a closed port gets nothing.
TEST_F(StationTest, ManualCommandsWriteTheirTextsAtOnce) {
  station.SendTest();
  station.SendReset();
  station.SendToRadio("FA;IF;");
  station.SendToApp1("FA14251300;");
  station.SendToRadio("");
  EXPECT_EQ(Log(), "radio:FA00014251300;IF; radio:RX;AI1; radio:FA;IF; app1:FA14251300;");
  EXPECT_FALSE(State().Soft1Waiting || State().Soft2Waiting);
  EXPECT_TRUE(loop.waits.empty());
  Radio().Close();
  station.SendTest();
  EXPECT_TRUE(events.messages.empty());
}

TEST_F(StationTest, ALostPortIsToldOnceAndGivesItsBoxBackUnlessItIsComingBack) {
  Radio().Tell({PortChange::Lost, "/dev/radio: Input/output error", false});
  App1().Tell({PortChange::Lost, "/dev/app1: gone", true});
  EXPECT_EQ(events.messages, (std::vector<std::string>{"error /dev/radio: Input/output error",
                                                       "error /dev/app1: gone"}));
  EXPECT_EQ(events.states, (std::vector<std::string>{"radio failed", "app1 reconnecting"}));
  // Stop ends a port's coming back, and gives its box back. (Back by itself:
  // tests/app/window_status_test.cpp.)
  station.ClosePorts();
  EXPECT_EQ(events.states.back(), "app1 closed");
}

TEST_F(StationTest, AVfoBChoiceIsToldToTheWindow) {
  App1().Receive("VS1;");
  EXPECT_TRUE(events.vfoB);
  App1().Receive("FA14251300;");
  EXPECT_EQ(Device(setup.app1).written, "VS1;VS1;FB14251300;FA14251300;");
  App1().Receive("VS0;");
  EXPECT_FALSE(events.vfoB);
}

// However the radio was keyed, it is unkeyed when App 1's link goes away or the
// station lets go of it, and the time-out is disarmed with it.
TEST_F(StationTest, AKeyedRadioIsUnkeyedBeforeItsControlGoes) {
  App1().Receive("MX1;");
  ASSERT_TRUE(State().keying.TXOn && State().keying.radioKeyed);
  factory.ForgetWrites();
  App1().Tell({PortChange::PeerGone, {}, false});
  EXPECT_EQ(Log(), "radio:RX;");
  EXPECT_FALSE(State().keying.TXOn || State().keying.radioKeyed);
  station.UnkeyIfKeyed("at Stop");
  EXPECT_EQ(Log(), "radio:RX;") << "an unkeyed radio hears nothing more";

  Set([](Options& o) { o.superviseTransmit = Check::Clear; });
  App1().Receive("TX1;");
  EXPECT_TRUE(State().keying.radioKeyed);
  EXPECT_FALSE(State().keying.TXOn) << "the time-out switch is off";
  factory.ForgetWrites();
  App1().Tell({PortChange::Lost, "/dev/app1: gone", true});
  EXPECT_EQ(Log(), "radio:RX;");

  // Untranslated too: the station saw App 1 key the radio in its own commands.
  App1().Open();
  Set([](Options& o) { o.noTranslation = Check::Ticked; });
  App1().Receive("TX;");
  factory.ForgetWrites();
  App1().Tell({PortChange::PeerGone, {}, false});
  EXPECT_EQ(Log(), "radio:RX;");

  Set([](Options& o) { o.noTranslation = Check::Clear; });
  App1().Receive("KY7;");
  Radio().Close();
  station.UnkeyIfKeyed("at Stop");
  EXPECT_TRUE(station.RadioMayBeKeyed()) << "a closed radio port cannot unkey it";
  factory.ForgetWrites();
  station.InitPorts(setup);
  EXPECT_EQ(Log(), "radio:RX; radio:AI1;") << "the unkey it missed comes first";
  EXPECT_FALSE(station.RadioMayBeKeyed());

  // Start again while keyed: the old radio port takes the unkey before it goes.
  App1().Receive("MX1;");
  factory.ForgetWrites();
  station.InitPorts(setup);
  EXPECT_EQ(Log().substr(0, 9), "radio:RX;");
  EXPECT_FALSE(station.RadioMayBeKeyed());
}

// The time-out's shutdown goes ahead of what a stalled radio line holds and is
// in flight until it has left: at the end the user is told the radio may be
// keyed. One the radio missed goes first when its port is open again, and
// again after each loss until it has left; then never again.
TEST_F(StationTest, AShutdownIsNeverTakenForDoneBeforeItHasLeftForTheRadio) {
  Set([](Options& o) {
    o.noTranslation = Check::Ticked;
    o.transmitLimit = "1";
  });
  App1().Receive("TX;");
  Device(setup.radio).holdOutput = true;
  station.Timer2_Timer();
  EXPECT_FALSE(State().keying.radioKeyed) << "the time-out sent its shutdown";
  EXPECT_NE(events.notes.back().find("time limit of 1 s was reached"), std::string::npos);
  EXPECT_TRUE(station.RadioMayBeKeyed()) << "but it has not left";
  station.End("at the end of the program", true);
  EXPECT_NE(events.messages.back().find("may still be keyed"), std::string::npos);
  Device(setup.radio).holdOutput = false;
  Device(setup.radio).unsentFirst = 0;
  factory.ForgetWrites();
  station.InitPorts(setup);
  EXPECT_EQ(Log(), "radio:RX; radio:MX0; radio:PS0; radio:AI1;") << "still due when it is back";

  Set([](Options& o) { o.noTranslation = Check::Clear; });
  App1().Receive("MX1;");
  Radio().Close();
  factory.ForgetWrites();
  events.messages.clear();
  station.Timer2_Timer();
  EXPECT_EQ(Log(), "app1:TX0; app1:MX0; app1:PS0;");
  EXPECT_EQ(events.messages.size(), 1U) << "the user hears the radio may still be keyed";
  Device(setup.radio).holdOutput = true;
  station.InitPorts(setup);
  Radio().Tell({PortChange::Lost, "/dev/radio: gone", true});
  Device(setup.radio).holdOutput = false;
  Device(setup.radio).unsentFirst = 0;
  factory.ForgetWrites();
  station.InitPorts(setup);
  EXPECT_EQ(Log(), "radio:RX; radio:MX0; radio:PS0; radio:AI1;");
  station.Timer2_Timer();
  EXPECT_FALSE(station.RadioMayBeKeyed());
  factory.ForgetWrites();
  station.InitPorts(setup);
  EXPECT_EQ(Log(), "radio:AI1;") << "sent once";

  // Lost and back on its own: the same, before anything else.
  State().keying.TXOn = true;
  Radio().Tell({PortChange::Lost, "/dev/radio: gone", true});
  station.Timer2_Timer();
  factory.ForgetWrites();
  Radio().Open();
  Radio().Tell({PortChange::Restored, {}, false});
  EXPECT_EQ(Log(), "radio:RX; radio:MX0; radio:PS0; radio:AI1;");
}

}  // namespace
}  // namespace vantorel::testing
