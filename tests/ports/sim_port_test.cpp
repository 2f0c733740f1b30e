// The simulated radio inside the program ("sim:kenwood") under the translating
// station, App 1 on a pseudo-terminal of the station's own: a station with no
// hardware at all, as a new user tries it.
#include <gtest/gtest.h>

#include <optional>

#include "sim/status_answer.h"
#include "station_rig.h"

namespace vantorel::testing {
namespace {

class SimPortTest : public StationRig {
 protected:
  void SetUp() override {
    Start("pty:" + app1Link, "sim:kenwood");
    app1.emplace(app1Link, pump);
  }
  [[nodiscard]] const sim::RadioState& Radio() { return factory.SimulatedRadio()->State(); }
  std::optional<Application> app1;
};

// App 1 hears its own command back first; Start turned the radio's
// auto-information on, so its reports of a change follow, translated.
TEST_F(SimPortTest, App1SetsAndReadsVfoAModeAndTransmit) {
  app1->Send("FA07074000;");
  EXPECT_EQ(app1->Read(3), "FA07074000;FA07074000;FA07074000;");
  app1->Send("MD03;");
  EXPECT_EQ(app1->Read(2), "MD03;MD03;");

  // The status read: the echo, App 1's own form, then the radio's.
  app1->Send("IF;");
  const std::string status = app1->Read(3);
  EXPECT_EQ(status.substr(0, 16), "IF;IF00007074000") << status;
  EXPECT_EQ(status.substr(3 + 20, 1), "3") << status;
  EXPECT_EQ(status.substr(status.size() - 38), factory.SimulatedRadio()->Receive("IF;"));

  app1->Send("MX1;");
  EXPECT_EQ(app1->Read(4), "TX1;TX;RM;MX1;");
  EXPECT_EQ(app1->Read(3), "RM0000;RM0000;RM2000;") << "the meters, read while keyed";
  EXPECT_TRUE(Radio().Transmitting());
  app1->Send("MX0;");
  EXPECT_EQ(app1->Read(2), "TX0;MX0;");
  EXPECT_TRUE(Until([&] { return !Radio().Transmitting(); }));
}

// What the translation sends in the TS-890 class's forms is taken: App 1
// hears no refusal before the answer to its next read, and the radio holds it.
TEST_F(SimPortTest, TheTranslationsSettingsAreTakenWithoutRefusal) {
  std::string heard;
  for (const char* command : {"LK1;", "BC01;", "GT01;", "AC002;", "ML0100;", "NL0050;", "SD0600;",
                              "AN01;", "RL05;", "BP01100;", "VG050;", "FT3;"}) {
    app1->Send(command);
    heard += app1->Read(1);  // its echo: the next goes on its own
  }
  app1->Send("IF;");
  heard += app1->Read(3);
  EXPECT_EQ(heard.find("?;"), std::string::npos) << heard;
  EXPECT_EQ(Radio().Level("GC"), 2);
  EXPECT_EQ(Radio().Level("ML"), 4);
  EXPECT_TRUE(Radio().Split());
}

}  // namespace
}  // namespace vantorel::testing
