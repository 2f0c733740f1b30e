// A serial device through QSerialPort over real pseudo-terminals: the test
// plays the device on the controlling side.
#include "ports/device_port.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "ports/qt_event_loop.h"
#include "pty_pair.h"
#include "temp_folder.h"

namespace vantorel::ports {
namespace {

using namespace std::chrono_literals;
using station::PortChange;
using station::PortNews;
using testing::PumpUntil;

class DevicePortTest : public ::testing::Test {
 protected:
  DevicePortTest() {
    port->OnNews([this](const PortNews& item) { news.push_back(item); });
  }
  void Open() {
    port->Settings({38400, station::Parity::None, 8, 1});
    port->Open();
  }
  bool Until(const std::function<bool()>& done) { return PumpUntil(done, pump); }

  QtEventLoop loop;
  std::function<void()> pump = [this] { loop.Wait(1ms); };
  testing::PtyPair device;
  std::shared_ptr<DevicePort> port = std::make_shared<DevicePort>("radio", device.Path());
  std::vector<PortNews> news;
};

TEST_F(DevicePortTest, CarriesTextBothWaysAndRaisesTheReceiveEventFromTheLoop) {
  Open();
  int events = 0;
  port->OnReceive([&] { ++events; });
  const std::string text(300, 'x');
  port->Write(text);
  EXPECT_EQ(device.Read(text.size(), pump), text);
  EXPECT_TRUE(Until([&] { return port->Unsent() == 0; }));

  device.Write("IF;ID;");
  ASSERT_TRUE(Until([&] { return events > 0; }));
  EXPECT_EQ(port->Waiting(), 6U);
  // A handler that takes nothing is not called over and over: new characters
  // wake it.
  loop.Wait(20ms);
  EXPECT_EQ(events, 1);
  EXPECT_EQ(port->ReadWaiting(), "IF;ID;");
  EXPECT_EQ(port->Waiting(), 0U);
}

// The receive event comes from the device's own notification: characters that
// come while the handler waits in the event loop still get an event of theirs.
TEST_F(DevicePortTest, CharactersThatComeDuringTheHandlerGetAnEvent) {
  Open();
  int events = 0;
  port->OnReceive([&] {
    if (++events == 1) {  // takes nothing, and more comes meanwhile
      device.Write("ID;");
      loop.Wait(20ms);
    }
  });
  device.Write("IF;");
  EXPECT_TRUE(Until([&] { return events >= 2; }));
  EXPECT_EQ(port->ReadWaiting(), "IF;ID;");
}

// A far end that sends faster than the station reads: what waits stays within
// its bound, the newest kept, and the drop is told once.
TEST_F(DevicePortTest, InputPastItsBoundDropsTheOldestAndIsToldOnce) {
  Open();
  for (std::size_t sent = 0; sent < 2 * kInputLimit; sent += 4096) {
    device.Write(std::string(4096, 'a'));
    loop.Wait(1ms);
  }
  device.Write("NEWEST;");
  ASSERT_TRUE(Until([&] { return !news.empty(); }));
  const auto waiting = port->ReadThrough(';', 1s, station::Clock::now() + 5s);
  ASSERT_TRUE(waiting);
  EXPECT_EQ(waiting->size(), kInputLimit);
  EXPECT_TRUE(waiting->ends_with("aNEWEST;"));
  ASSERT_EQ(news.size(), 1U);
  EXPECT_EQ(news[0].change, PortChange::Overflow);
  EXPECT_NE(news[0].reason.find("character(s) dropped"), std::string::npos);
}

TEST_F(DevicePortTest, ABurstGetsAnEventPerAnswerWhileTheHandlerTakesThem) {
  Open();
  std::vector<std::string> answers;
  port->OnReceive([&] {
    if (auto answer = port->ReadThrough(';', 5ms, station::Clock::now() + 1s)) {
      answers.push_back(*answer);
    }
  });
  device.Write("FA00014251300;MD2;IF");
  ASSERT_TRUE(Until([&] { return answers.size() == 2; }));
  loop.Wait(30ms);
  EXPECT_EQ(answers, (std::vector<std::string>{"FA00014251300;", "MD2;"}));
  EXPECT_EQ(port->Waiting(), 2U) << "half an answer waits for its end";
}

// The station writes each answer of a burst on as it reads it; writes made
// while more of the burst waits go on together. They keep their order, go
// behind text written first, and none stays behind when the burst ends in half
// an answer (the read waits for its end) or when their port closes.
TEST_F(DevicePortTest, WritesInABurstKeepTheirOrderAndNoneStaysBehind) {
  testing::PtyPair app;
  const auto toApp = std::make_shared<DevicePort>("app", app.Path());
  toApp->Open();
  Open();
  std::string whileReadWaits;
  port->OnReceive([&] {
    const auto answer = port->ReadThrough(';', 20ms, station::Clock::now() + 1s);
    if (!answer) {
      whileReadWaits = app.ReadAvailable();
      return;
    }
    toApp->Write(*answer);
    if (*answer == "F;") {
      toApp->WriteFirst("RX;");
    } else if (*answer == "D;") {
      toApp->Close();
    }
  });
  device.Write("A;B;C");
  ASSERT_TRUE(Until([&] { return !whileReadWaits.empty(); }));
  EXPECT_EQ(whileReadWaits, "A;B;");
  device.Write(";");
  EXPECT_EQ(app.Read(2, pump), "C;");
  device.Write("F;G;");
  EXPECT_EQ(app.Read(7, pump), "RX;F;G;");
  device.Write("D;E;");
  EXPECT_EQ(app.Read(4, pump, 200ms), "D;");
}

// The ";" of an answer comes late (a slow link): the framed read gives up
// within its gap and leaves what came waiting, and a later read gets it whole.
TEST_F(DevicePortTest, AFramedReadLeavesHalfAnAnswerWaiting) {
  Open();
  device.Write("FA00014251300");
  ASSERT_TRUE(Until([&] { return port->Waiting() == 13; }));
  EXPECT_EQ(port->ReadThrough(';', 20ms, station::Clock::now() + 1s), std::nullopt);
  EXPECT_EQ(port->Waiting(), 13U);
  device.Write(";FB");
  EXPECT_EQ(port->ReadThrough(';', 500ms, station::Clock::now() + 1s), "FA00014251300;");
  port->Discard(1);
  EXPECT_EQ(port->ReadWaiting(), "B");
}

// What was left unread before Stop must not reach the next Start's pass.
TEST_F(DevicePortTest, LeftoverInputGoesWithTheClose) {
  Open();
  device.Write("FA000142");
  ASSERT_TRUE(Until([&] { return port->Waiting() == 8; }));
  port->Close();
  EXPECT_EQ(port->Waiting(), 0U);
  Open();
  device.Write("IF;");
  ASSERT_TRUE(Until([&] { return port->Waiting() > 0; }));
  EXPECT_EQ(port->ReadThrough(';', 20ms, station::Clock::now() + 1s), "IF;");
}

// The far end stops reading (its program is busy, a remote link stalls): the
// port stays open, what waits is bounded, whole old messages go, and the far
// end gets whole messages when it reads again.
TEST_F(DevicePortTest, AFarEndThatReadsNothingIsRiddenOut) {
  Open();
  for (int i = 0; i < 20000; ++i) {
    port->Write("RM1" + std::to_string(10000 + i % 90000) + ";");
    if (i % 500 == 0) {
      loop.DoEvents();
    }
  }
  EXPECT_TRUE(port->IsOpen());
  EXPECT_LE(port->Unsent(), station::kOutgoingLimit + 8192);
  loop.Wait(10ms);
  ASSERT_EQ(news.size(), 1U);
  EXPECT_EQ(news[0].change, PortChange::Overflow);

  std::string read;
  ASSERT_TRUE(Until([&] {
    read += device.ReadAvailable();
    return port->Unsent() == 0;
  }));
  read += device.Read(0, pump, 50ms);
  ASSERT_EQ(read.size() % 9, 0U);
  for (std::size_t at = 0; at < read.size(); at += 9) {
    ASSERT_EQ(read.substr(at, 3), "RM1") << at;
    ASSERT_EQ(read[at + 8], ';') << at;
  }
  EXPECT_EQ(read.substr(read.size() - 9), "RM129999;") << "the newest message is there";
}

TEST_F(DevicePortTest, ADeviceThatGoesAwayIsToldOnce) {
  Open();
  device.Close();
  port->Write("FA;");
  ASSERT_TRUE(Until([&] { return !news.empty(); }));
  port->Break(false);  // ending a break on the lost device adds nothing
  loop.Wait(20ms);
  ASSERT_EQ(news.size(), 1U);
  EXPECT_EQ(news[0].change, PortChange::Lost);
  EXPECT_EQ(news[0].reason.rfind(device.Path() + ": ", 0), 0U) << news[0].reason;
  EXPECT_FALSE(port->IsOpen());
}

TEST_F(DevicePortTest, AMissingDeviceIsRefused) {
  DevicePort missing("COM3", "/dev/vantorel-no-such-device");
  missing.Settings({});
  try {
    missing.Open();
    ADD_FAILURE() << "a missing device opened";
  } catch (const station::SerialError& e) {
    // The system's reason, then what the user can do about it.
    EXPECT_EQ(std::string(e.what()),
              "Cannot open /dev/vantorel-no-such-device: No such file or directory: is the "
              "adapter plugged in?");
  }
  // Lines without modem control: RTS, DTR and the break are no failure.
  Open();
  EXPECT_NO_THROW(port->RTSEnable(true));
  EXPECT_NO_THROW(port->DTREnable(true));
  EXPECT_NO_THROW(port->Break(false));
}

// A device name from a settings file in another code page opens as the bytes
// it was.
TEST_F(DevicePortTest, ADeviceNameThatIsNotUtf8Opens) {
  testing::TempFolder folder;
  const std::string link = (folder.Path() / "radio-\xe9\xff").string();
  std::filesystem::create_symlink(device.Path(), link);
  const auto byBytes = std::make_shared<DevicePort>(link, link);
  byBytes->Settings({38400, station::Parity::None, 8, 1});
  byBytes->Open();
  byBytes->Write("ID;");
  EXPECT_EQ(device.Read(3, pump), "ID;");
}

TEST_F(DevicePortTest, NulsAreDroppedOnlyWhereAsked) {
  Open();
  port->NullDiscard(true);
  device.Write(std::string("I\0F;", 4));
  ASSERT_TRUE(Until([&] { return port->Waiting() >= 3; }));
  loop.Wait(5ms);
  EXPECT_EQ(port->ReadWaiting(), "IF;");
  port->NullDiscard(false);  // the radio's port: NULs are delivered
  device.Write(std::string("\0;", 2));
  ASSERT_TRUE(Until([&] { return port->Waiting() == 2; }));
  EXPECT_EQ(port->ReadWaiting(), std::string("\0;", 2));
}

}  // namespace
}  // namespace vantorel::ports
