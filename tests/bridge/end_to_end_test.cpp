// The bridge at work over real pseudo-terminals and the real serial layer: the
// test plays App 1, App 2 and the radio on the controlling sides, the bridge
// opens the terminal sides by path, as a station on Linux would.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "bridge/bridge.h"
#include "fake_platform.h"
#include "pty_ports.h"

namespace vantorel::testing {
namespace {

using namespace std::chrono_literals;

class EndToEnd : public ::testing::Test, public PtyPorts {
 protected:
  EndToEnd() { NameIn(model); }

  // Opens the ports as Start does; the radio first hears auto-information on.
  void Start() {
    bridge.InitPorts();
    ASSERT_TRUE(boxes.shown.empty()) << boxes.shown.front();
    ASSERT_EQ(radioEnd.Read(4, pump), "AI1;");
  }

  model::CatmuxModel model;
  FakeMessageBoxes boxes;
  bridge::Bridge bridge{model, Ports(), loop, boxes};
};

TEST_F(EndToEnd, TranslatingTurnsApp1sCommandAndTheRadiosAnswersAround) {
  Start();
  app1End.Write("FA14251300;");
  EXPECT_EQ(radioEnd.Read(14, pump), "FA00014251300;");
  // The translation's answer, then the echo of the command.
  EXPECT_EQ(app1End.Read(22, pump), "FA14251300;FA14251300;");

  // Several answers in one burst each reach App 1, in order.
  radioEnd.Write("FA00014251300;FA00007074000;FA00003573000;");
  EXPECT_EQ(app1End.Read(33, pump), "FA14251300;FA07074000;FA03573000;");
  EXPECT_TRUE(PumpUntil([&] { return !model.vars.Soft1Waiting; }, pump));
  EXPECT_EQ(model.Text3.Text(), "FA00003573000;");
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(EndToEnd, AnAnswerThatComesInTwoPiecesOnASlowLineIsJoined) {
  model.Baud.SetText("110");  // a character takes 100 ms
  Start();
  radioEnd.Write("FA000");
  // The rest comes while the bridge holds the first piece (from another
  // thread: the bridge does not yield while it waits for it).
  std::thread rest([this] {
    std::this_thread::sleep_for(20ms);
    radioEnd.Write("14251300;");
  });
  const std::string got = app1End.Read(11, pump);
  rest.join();
  EXPECT_EQ(got, "FA14251300;");
}

TEST_F(EndToEnd, NoTranslationPassesTheBytesBothWaysUnchanged) {
  model.Check2.SetValue(1);
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

TEST_F(EndToEnd, SharingPassesApp2sTextToTheRadioAndTheAnswerToBoth) {
  model.Ignore2.SetValue(0);
  model.Ignore2Out.SetValue(0);
  Start();
  ASSERT_TRUE(app2.PortOpen());

  app2End.Write("FA;");
  EXPECT_EQ(radioEnd.Read(3, pump), "FA;");
  radioEnd.Write("FA00014251300;");
  EXPECT_EQ(app2End.Read(14, pump), "FA00014251300;");
  EXPECT_EQ(app1End.Read(14, pump), "FA00014251300;");

  // App 1's turn, untranslated and without echo.
  EXPECT_TRUE(PumpUntil([&] { return !model.vars.Soft2Waiting; }, pump));
  app1End.Write("IF;");
  EXPECT_EQ(radioEnd.Read(3, pump), "IF;");
  EXPECT_EQ(app1End.Read(1, pump, 50ms), "");
}

TEST_F(EndToEnd, ATransmissionIsEndedAtTheLimit) {
  model.ShutDwn.SetText("2");
  Start();
  app1End.Write("MX1;");
  EXPECT_EQ(radioEnd.Read(14, pump), "TX1;TX;RM;MX1;");
  EXPECT_EQ(app1End.Read(14, pump), "TX1;TX;RM;MX1;");
  ASSERT_TRUE(model.vars.TXOn);

  // The ticks of Timer2, without waiting real seconds for them.
  model.Timer2.Tick();
  EXPECT_EQ(radioEnd.Read(1, pump, 50ms), "");
  model.Timer2.Tick();
  EXPECT_EQ(radioEnd.Read(11, pump), "RX;MX0;PS0;");
  EXPECT_EQ(app1End.Read(12, pump), "TX0;MX0;PS0;");
  EXPECT_FALSE(model.vars.TXOn);
}

}  // namespace
}  // namespace vantorel::testing
