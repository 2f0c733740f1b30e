// The station at work over real pseudo-terminals and the real serial layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "application.h"
#include "pty_station.h"

namespace vantorel::testing {
namespace {

using namespace std::chrono_literals;

using PtyEndToEnd = PtyStation;

// The first of the ';'-ended messages in `text` that is not one of `whole`,
// or what follows the last ';'; empty when there is none.
std::string FirstNotWhole(const std::string& text, const std::set<std::string>& whole) {
  std::size_t at = 0;
  for (std::size_t end = text.find(';'); end != std::string::npos; end = text.find(';', at)) {
    if (!whole.contains(text.substr(at, end + 1 - at))) {
      return text.substr(at, end + 1 - at);
    }
    at = end + 1;
  }
  return text.substr(at);
}

TEST_F(PtyEndToEnd, TranslatingTurnsApp1sCommandAndTheRadiosAnswersAround) {
  Start();
  EXPECT_FALSE(model.Soft1Com.Enabled() || model.RadioCom.Enabled() || model.Baud.Enabled());
  app1End.Write("FA14251300;");
  EXPECT_EQ(radioEnd.Read(14, pump), "FA00014251300;");
  // The translation's answer, then the echo of the command.
  EXPECT_EQ(app1End.Read(22, pump), "FA14251300;FA14251300;");
  // Several answers in one burst each reach App 1, in order.
  radioEnd.Write("FA00014251300;FA00007074000;FA00003573000;");
  EXPECT_EQ(app1End.Read(33, pump), "FA14251300;FA07074000;FA03573000;");
  EXPECT_TRUE(PumpUntil([&] { return !station.state().Soft1Waiting; }, pump));
  EXPECT_EQ(model.Text3.Text(), "FA00003573000;");

  catmux.Command2_Click();
  EXPECT_TRUE(model.Soft1Com.Enabled() && model.RadioCom.Enabled() && model.Baud.Enabled());
  Start();
}

TEST_F(PtyEndToEnd, AnAnswerThatComesInTwoPiecesOnASlowLineIsJoined) {
  model.Baud.SetText("110");  // a character takes 100 ms
  Start();
  radioEnd.Write("FA000");
  // The rest comes while the station holds the first piece (from another
  // thread: the station does not yield while it waits for it).
  std::thread rest([this] {
    std::this_thread::sleep_for(20ms);
    radioEnd.Write("14251300;");
  });
  const std::string got = app1End.Read(11, pump);
  rest.join();
  EXPECT_EQ(got, "FA14251300;");
}

TEST_F(PtyEndToEnd, NoTranslationPassesTheBytesBothWaysUnchanged) {
  model.Check2.SetValue(Check::Ticked);
  Start();
  const std::string fromApp1 = "FA14251300;tx;\x7f\x80\xff;";
  app1End.Write(fromApp1);
  EXPECT_EQ(radioEnd.Read(fromApp1.size(), pump), fromApp1);
  constexpr char kFromRadio[] = "IF00014251300 +0000\0\x01;";  // the radio's NULs go through
  const std::string fromRadio(kFromRadio, sizeof kFromRadio - 1);
  radioEnd.Write(fromRadio);
  EXPECT_EQ(app1End.Read(fromRadio.size(), pump), fromRadio);
  EXPECT_EQ(app1End.Read(1, pump, 50ms), "") << "no echo, nothing else";
}

// Sharing chosen in the window, App 2 on a virtual port of Vantorel's own.
TEST_F(PtyEndToEnd, SharingPassesApp2sTextToTheRadioAndTheAnswerToBoth) {
  const std::string app2Link = (folder.Path() / "app2").string();
  model.Soft2Com.SetText("pty:" + app2Link);
  model.ModeChoice.SetIndex(static_cast<std::size_t>(model::ModeChoiceItem::Sharing));
  Start();
  Application app2(app2Link, pump);
  app2.Send("FA;");
  EXPECT_EQ(radioEnd.Read(3, pump), "FA;");
  radioEnd.Write("FA00014251300;");
  EXPECT_EQ(app2.Read(1), "FA00014251300;");
  EXPECT_EQ(app1End.Read(14, pump), "FA00014251300;");
  // App 1's turn, untranslated and without echo.
  EXPECT_TRUE(PumpUntil([&] { return !station.state().Soft2Waiting; }, pump));
  app1End.Write("IF;");
  EXPECT_EQ(radioEnd.Read(3, pump), "IF;");
  EXPECT_EQ(app1End.Read(1, pump, 50ms), "");
}

TEST_F(PtyEndToEnd, ATransmissionIsEndedAtTheLimit) {
  model.ShutDwn.SetText("2");
  Start();
  app1End.Write("MX1;");
  EXPECT_EQ(radioEnd.Read(14, pump), "TX1;TX;RM;MX1;");
  EXPECT_EQ(app1End.Read(14, pump), "TX1;TX;RM;MX1;");
  // The ticks of Timer2, without waiting real seconds for them.
  model.Timer2.Tick();
  EXPECT_EQ(radioEnd.Read(1, pump, 50ms), "");
  model.Timer2.Tick();
  EXPECT_EQ(radioEnd.Read(11, pump), "RX;MX0;PS0;");
  EXPECT_EQ(app1End.Read(12, pump), "TX0;MX0;PS0;");
}

// App 1's program stops reading for a while (busy, a stalled remote link)
// while the radio keeps reporting: App 1's port stays open, what waits for it
// stays bounded, and its unkey reaches the radio when it speaks again (how
// soon: the station's routing tests, on a controlled clock).
TEST_F(PtyEndToEnd, AnApp1ThatStopsReadingIsNotALostPort) {
  Start();
  app1End.Write("MX1;");
  EXPECT_EQ(radioEnd.Read(14, pump), "TX1;TX;RM;MX1;");
  EXPECT_EQ(app1End.Read(14, pump), "TX1;TX;RM;MX1;");
  const std::string report = "RM10005;";
  for (int burst = 0; burst < 400; ++burst) {
    std::string twelve;
    for (int i = 0; i < 12; ++i) {
      twelve += report;
    }
    radioEnd.Write(twelve);
    loop.Wait(2ms);
  }
  ASSERT_TRUE(PumpUntil([&] { return !station.state().InGetData3; }, pump));
  EXPECT_TRUE(station.IsOpen(station::PortRole::App1));
  EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front();

  app1End.Write("MX0;");
  EXPECT_EQ(radioEnd.Read(7, pump), "RX;MX0;");
  // What App 1 gets when it reads again, up to the echo of its unkey, is the
  // answers that waited, whole, and its echoes.
  std::string got;
  ASSERT_TRUE(PumpUntil([&] { return (got += app1End.ReadAvailable()).ends_with("MX0;"); }, pump))
      << got.substr(got.size() - std::min<std::size_t>(got.size(), 40));
  EXPECT_TRUE(got.starts_with("RM0040;")) << got.substr(0, 40);
  EXPECT_EQ(FirstNotWhole(got, {"RM0040;", "TX0;", "MX0;"}), "");
}

// App 1 sends faster than the radio's slow line takes it, untranslated: the
// radio's port stays open and the radio gets whole commands.
TEST_F(PtyEndToEnd, ASlowRadioLineInNoTranslationIsNotALostPort) {
  model.Check2.SetValue(Check::Ticked);
  model.Baud.SetText("1200");
  Start();
  for (int i = 0; i < 2000; ++i) {
    app1End.Write("FA;IF;SM0;");
    if (i % 50 == 0) {
      loop.Wait(1ms);
    }
  }
  app1End.Write("ID;");  // the last, to know the end by
  std::string got;
  ASSERT_TRUE(PumpUntil([&] { return (got += radioEnd.ReadAvailable()).ends_with("ID;"); }, pump))
      << got.substr(got.size() - std::min<std::size_t>(got.size(), 40));
  EXPECT_TRUE(station.IsOpen(station::PortRole::Radio));
  EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front();
  EXPECT_TRUE(got.starts_with("FA;IF;SM0;")) << got.substr(0, 40);
  EXPECT_EQ(FirstNotWhole(got, {"FA;", "IF;", "SM0;", "ID;"}), "");
}

TEST_F(PtyEndToEnd, CloseSendsWhatIsQueuedThenCloses) {
  Start();
  model.Text4.SetText("PS0;");
  model.Command6.Click();  // Send to Radio
  app::Catmux closing{model, station, settingsFile, desktop, loop, boxes};
  closing.Command4_Click();
  EXPECT_EQ(radioEnd.Read(4, pump), "PS0;");
  EXPECT_FALSE(station.IsOpen(station::PortRole::Radio));
  EXPECT_EQ(desktop.endCalls, 1);
  EXPECT_TRUE(std::filesystem::exists(folder.Path() / "Catmux.ini"));
}

}  // namespace
}  // namespace vantorel::testing
