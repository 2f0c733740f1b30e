// The window's mode choice, its live status (a lamp per port, the transmitter,
// the traffic) and the monitor's bound, on the station's in-memory ports.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <regex>
#include <set>
#include <string>

#include "app/qt/catmux_window.h"
#include "app/qt/traffic_window.h"
#include "catmux_fixture.h"

namespace vantorel::testing {
namespace {

using model::Lamp;
using model::ModeChoiceItem;
using station::PortChange;

class WindowStatus : public CatmuxFixture {
 protected:
  void Choose(ModeChoiceItem item) { model.ModeChoice.SetIndex(static_cast<std::size_t>(item)); }
  [[nodiscard]] ModeChoiceItem Chosen() const {
    return static_cast<ModeChoiceItem>(model.ModeChoice.Index());
  }
};

// The one choice sets the same switches the settings file keeps, and follows
// them when they change otherwise.
TEST_F(WindowStatus, TheModeChoiceSetsTheSwitchesAndFollowsThem) {
  Choose(ModeChoiceItem::Sharing);
  EXPECT_EQ(station.mode(), station::Mode::Sharing);
  EXPECT_EQ(model.Ignore2Out.Value(), Check::Clear) << "App 2 hears the radio while it shares it";
  EXPECT_TRUE(model.Soft2Com.Visible() && model.Ignore2Out.Visible());
  Choose(ModeChoiceItem::Ft950Emulation);
  EXPECT_EQ(station.mode(), station::Mode::Emulating);
  EXPECT_EQ(model.KenwoodCB.Value(), Check::Ticked);
  EXPECT_FALSE(model.Soft2Com.Visible());
  Choose(ModeChoiceItem::NoTranslation);
  EXPECT_EQ(station.mode(), station::Mode::NoTranslation);
  EXPECT_EQ(model.KenwoodCB.Value(), Check::Clear);

  model.Check2.SetValue(Check::Clear);
  EXPECT_EQ(Chosen(), ModeChoiceItem::Ft950Emulation);
  model.Ft950Emulation.SetValue(Check::Clear);
  EXPECT_EQ(Chosen(), ModeChoiceItem::Translating);
}

TEST_F(WindowStatus, LampsFollowThePortsAndSayWhyOneFailed) {
  model.App1Name.SetText("");
  catmux->Command1_Click();
  EXPECT_EQ(model.App1Lamp.Value(), Lamp::State::On);
  EXPECT_EQ(model.RadioLamp.Value(), Lamp::State::On);
  EXPECT_EQ(model.App2Lamp.Value(), Lamp::State::Off);

  radio.port->Tell({PortChange::Lost, "COM7: Input/output error", true});
  EXPECT_EQ(model.RadioLamp.Value(), Lamp::State::Waiting);
  EXPECT_EQ(model.RadioLamp.ToolTipText(), "Coming back: COM7: Input/output error");
  EXPECT_FALSE(model.RadioCom.Enabled()) << "a port coming back is still in use";
  radio.port->Open();
  radio.port->Tell({PortChange::Restored, {}, false});
  EXPECT_EQ(model.RadioLamp.Value(), Lamp::State::On);
  app1.port->Tell({PortChange::Lost, "COM5: gone", false});
  EXPECT_EQ(model.App1Lamp.Value(), Lamp::State::Failed);
  EXPECT_TRUE(model.Soft1Com.Enabled());
  catmux->Command2_Click();
  EXPECT_EQ(model.RadioLamp.Value(), Lamp::State::Off);
}

// The transmitter with its seconds against the limit, and the traffic since
// Start, follow the station at the window's own ticks.
TEST_F(WindowStatus, TheStatusLineShowsTheTransmitterAndTheTraffic) {
  model.App1Name.SetText("");
  catmux->Command1_Click();
  app1.port->Receive("MX1;");
  radio.port->Receive("RM10005;");
  for (int tick = 0; tick < 42; ++tick) {
    model.Timer2.Tick();
  }
  EXPECT_EQ(model.TransmitState.Caption(), "TX 0:42 / 3:00");
  EXPECT_EQ(model.TrafficCounts.Caption(), "App 1: 1  Radio: 1");
  model.MonitorTX.SetValue(Check::Clear);
  app1.port->Receive("MX0;TX1;");
  model.Timer1.Tick();
  EXPECT_EQ(model.TransmitState.Caption(), "TX") << "keyed without the time-out";
  EXPECT_TRUE(model.TransmitState.Alert());
  app1.port->Receive("TX0;");
  model.Timer1.Tick();
  EXPECT_EQ(model.TransmitState.Caption(), "RX");
  EXPECT_FALSE(model.TransmitState.Alert());
  catmux->Command1_Click();
  model.Timer1.Tick();
  EXPECT_EQ(model.TrafficCounts.Caption(), "App 1: 0  Radio: 0") << "counted since Start";
}

// An idle window does not wake ten times a second: Timer1 rests once a tick
// has nothing to do and nothing new to show; traffic wakes it, and while the
// emulation waits for the radio it keeps ticking.
TEST_F(WindowStatus, Timer1RestsWhileIdleAndWakesWithTraffic) {
  model.App1Name.SetText("");
  catmux->Command1_Click();
  model.Timer1.Tick();
  model.Timer1.Tick();
  EXPECT_TRUE(model.Timer1.Resting() && model.Timer1.Enabled());
  app1.port->Receive("MX1;");
  EXPECT_FALSE(model.Timer1.Resting());
  model.Timer1.Tick();
  EXPECT_EQ(model.TrafficCounts.Caption(), "App 1: 1  Radio: 0");
  EXPECT_FALSE(model.Timer1.Resting()) << "this tick showed new counts";
  model.Timer1.Tick();
  EXPECT_TRUE(model.Timer1.Resting());

  Choose(ModeChoiceItem::Ft950Emulation);
  app1.port->Receive("FA;");
  model.Timer1.Tick();
  model.Timer1.Tick();
  EXPECT_FALSE(model.Timer1.Resting()) << "the radio's answers are awaited";
}

// A standard FT-950 program on App 1 while translating: the advice and its
// button show once App 1 has read what only such programs read at open, and
// only the button switches the mode.
TEST_F(WindowStatus, AStandardProgramWhileTranslatingGetsTheAdviceAndAButton) {
  model.App1Name.SetText("");
  catmux->Command1_Click();
  app1.port->Receive("PS;");
  app1.port->Receive("ID;");
  EXPECT_FALSE(model.ModeAdvice.Visible() || model.UseEmulation.Visible());
  app1.port->Receive("EX0271;EX027;");
  EXPECT_TRUE(model.ModeAdvice.Visible() && model.UseEmulation.Visible());
  EXPECT_EQ(station.mode(), station::Mode::Translating) << "never switched by itself";
  EXPECT_EQ(logLines.back(), model.ModeAdvice.ToolTipText());
  model.UseEmulation.Click();
  EXPECT_EQ(station.mode(), station::Mode::Emulating);
  EXPECT_FALSE(model.ModeAdvice.Visible() || model.UseEmulation.Visible());
}

// Every port's messages in the Traffic window, both ways, with the time and
// the direction, while it is open or the monitor is on; the radio's text in
// Text6 as App 1's is in Text5. Hex, the port filter, pause, the bound, Save.
TEST_F(WindowStatus, TheTrafficWindowListsEveryPortBothWays) {
  app::CatmuxWindow window(model);
  model.App1Name.SetText("");
  catmux->Command1_Click();
  app1.port->Receive("FA;");
  EXPECT_TRUE(model.Traffic.Lines().empty()) << "nobody watches";
  model.TrafficMenu.Click();
  EXPECT_TRUE(window.Traffic().isVisible());
  app1.port->Receive("FA14250000;IF;");
  radio.port->Receive("FA00014250000;");
  std::set<std::string> seen;
  for (const station::TrafficLine& line : model.Traffic.Lines()) {
    seen.insert(station::DirectionText(line) + " " + line.text);
  }
  for (const char* told : {"App 1 to Vantorel FA14250000;", "App 1 to Vantorel IF;",
                           "Vantorel to the radio FA00014250000;", "Vantorel to App 1 FA14250000;",
                           "the radio to Vantorel FA00014250000;"}) {
    EXPECT_TRUE(seen.contains(told)) << told;
  }
  const std::regex form(R"(\d\d:\d\d:\d\d\.\d{3}  App 1 to Vantorel {7}FA14250000;\n)");
  EXPECT_TRUE(std::regex_search(model.Traffic.Text(), form)) << model.Traffic.Text();
  model.Traffic.SetHex(true);
  EXPECT_NE(model.Traffic.Text().find("  49 46 3B\n"), std::string::npos);
  model.Traffic.ShowSource(station::TrafficSource::Radio, false);
  EXPECT_EQ(model.Traffic.Text().find("radio"), std::string::npos);
  const std::filesystem::path saved = folder.Path() / "traffic.txt";
  ASSERT_FALSE(model.Traffic.Save(saved));
  EXPECT_EQ(ReadFile(saved), model.Traffic.Text());

  model.Check1.SetValue(Check::Ticked);
  radio.port->Receive("IF;");
  EXPECT_EQ(model.Text6.Text(), "IF;");
  model.Traffic.SetPaused(true);
  const std::size_t kept = model.Traffic.Lines().size();
  app1.port->Receive("FA;");
  EXPECT_EQ(model.Traffic.Lines().size(), kept);
  model.Traffic.SetPaused(false);
  std::string flood;
  for (std::size_t i = 0; i <= model::kMonitorLines; ++i) {
    flood += "ZZ;";
  }
  app1.port->Receive(flood);
  EXPECT_EQ(model.Traffic.Lines().size(), model::kMonitorLines);
  const auto* list = window.Traffic().findChild<QPlainTextEdit*>("TrafficList");
  ASSERT_NE(list, nullptr);
  EXPECT_LE(list->blockCount(), static_cast<int>(model::kMonitorLines));
  window.Traffic().close();
  model.Check1.SetValue(Check::Clear);
  model.Traffic.Clear();
  app1.port->Receive("FA;");
  EXPECT_TRUE(model.Traffic.Lines().empty()) << "closed: nobody watches";
}

// A station left running for a week: the monitor keeps its last lines, in the
// model and on the screen.
TEST_F(WindowStatus, TheMonitorKeepsABoundedTail) {
  app::CatmuxWindow window(model);
  model.App1Name.SetText("");
  catmux->Command1_Click();
  model.Check1.SetValue(Check::Ticked);
  model.HexX.SetValue(Check::Ticked);
  app1.port->Receive(std::string(7000, '\n'));  // in hex, a line each
  EXPECT_LE(model.Text5.Text().size(), model::kMonitorLines * 4);
  EXPECT_EQ(model.Text5.Text().substr(0, 4), "0A\r\n") << "whole lines from the front";
  const auto* shown = window.findChild<QPlainTextEdit*>("Text5");
  ASSERT_NE(shown, nullptr);
  EXPECT_LE(shown->blockCount(), static_cast<int>(model::kMonitorLines) + 1);
  model.HexX.SetValue(Check::Clear);
  for (int i = 0; i < 40; ++i) {
    app1.port->Receive(std::string(10000, 'x'));  // text without any line end
  }
  EXPECT_LE(model.Text5.Text().size(), model::kMonitorCharacters * 5 / 4);
  EXPECT_EQ(model.Text5.Text().back(), 'x');
}

}  // namespace
}  // namespace vantorel::testing
