// App 1 on a pseudo-terminal the station makes itself ("pty:PATH"), the
// simulated radio behind it, untranslated: what the application sends is what
// the radio hears.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "station_rig.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;

class PtyPortTest : public StationRig {
 protected:
  void SetUp() override {
    NoTranslation();
    Start("pty:" + app1Link, "sim:kenwood");
  }
};

TEST_F(PtyPortTest, TheLinkCarriesBothWaysAndGoesWithStop) {
  ASSERT_TRUE(fs::is_symlink(app1Link));
  Application app1(app1Link, pump);
  app1.Send("FA00007074000;FA;");
  EXPECT_EQ(app1.Read(1), "FA00007074000;");
  EXPECT_TRUE(Until([&] { return Notes("a program took the other end") == 1; }));

  station.ClosePorts();
  EXPECT_FALSE(fs::exists(fs::symlink_status(app1Link)));
}

TEST_F(PtyPortTest, ALinkRemovedWhileOpenIsMadeAgainAndToldOnce) {
  fs::remove(app1Link);
  ASSERT_TRUE(Until([&] { return fs::is_symlink(app1Link); }));
  Application app1(app1Link, pump);
  app1.Send("FA00007074000;FA;");
  EXPECT_EQ(app1.Read(1), "FA00007074000;");
  EXPECT_EQ(Notes(app1Link + " was removed; made again"), 1);
}

TEST_F(PtyPortTest, AnApplicationThatClosesAndOpensAgainKeepsWorking) {
  std::optional<Application> app1;
  for (const char* frequency : {"00007074000", "00014074000", "00021074000"}) {
    app1.emplace(app1Link, pump);
    app1->Send(std::string("FA") + frequency + ";FA;");
    EXPECT_EQ(app1->Read(1), std::string("FA") + frequency + ";");
    app1.reset();
    ASSERT_TRUE(Until([&] { return Notes("let go") > 0; }));
    events.notes.clear();
  }
}

using PtyPortRefusal = StationRig;

TEST_F(PtyPortRefusal, AFileThatIsNoLinkIsRefusedAndLeftUntouched) {
  WriteFile(app1Link, "the user's notes");
  station.InitPorts({"pty:" + app1Link, "", "sim:kenwood", "38400,N,8,1"});
  ASSERT_EQ(events.messages.size(), 1U);
  EXPECT_EQ(events.messages[0].rfind("Unable to open App 1's port: ", 0), 0U);
  EXPECT_NE(events.messages[0].find(app1Link + " exists and is not a symbolic link"),
            std::string::npos)
      << events.messages[0];
  EXPECT_FALSE(station.IsOpen(station::PortRole::App1));
  EXPECT_EQ(ReadFile(app1Link), "the user's notes");
}

}  // namespace
}  // namespace vantorel::testing
