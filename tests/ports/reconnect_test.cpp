// Radio links that go away while the station runs and come back: the station
// tells the loss and the return once each, the radio hears auto-information
// on again, and traffic resumes.
#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <filesystem>
#include <memory>
#include <optional>

#include "pty/pty_endpoint.h"
#include "station_rig.h"

namespace vantorel::testing {
namespace {

using Strings = std::vector<std::string>;

class ReconnectTest : public StationRig {
 protected:
  // Starts translating, App 1 on a pseudo-terminal of the station's own; the
  // radio hears auto-information on first.
  void StartWithRadio(const std::string& radio) {
    Start("pty:" + app1Link, radio);
    ASSERT_EQ(RadioHears(4), "AI1;");
    app1.emplace(app1Link, pump);
    events.states.clear();
  }
  // What the radio heard, once `count` characters have come.
  virtual std::string RadioHears(std::size_t count) = 0;
  // The loss and the return, each told once.
  void ExpectOneLossAndOneReturn() {
    EXPECT_EQ(events.states, (Strings{"radio reconnecting", "radio open"}));
    ASSERT_EQ(events.messages.size(), 2U);
    EXPECT_EQ(events.messages[0].rfind("error ", 0), 0U) << events.messages[0];
    EXPECT_NE(events.messages[1].find(" is back"), std::string::npos) << events.messages[1];
  }
  void ExpectTranslationAtWork() {
    app1->Send("FA14251300;");
    EXPECT_EQ(RadioHears(14), "FA00014251300;");
    EXPECT_EQ(app1->Read(2), "FA14251300;FA14251300;");
  }

  std::optional<Application> app1;
};

// The radio's device is a pseudo-terminal linked at a path, as a USB adapter's
// stable name is; its program closes it and a new one is linked there.
class PtyRadioReconnectTest : public ReconnectTest {
 protected:
  std::string RadioHears(std::size_t count) override {
    std::string heard;
    Until([&] {
      radio->Read(heard);
      return heard.size() >= count;
    });
    return heard;
  }
  const std::filesystem::path radioLink = folder.Path() / "radio";
  std::optional<pty::PtyEndpoint> radio{std::in_place, radioLink};
};

TEST_F(PtyRadioReconnectTest, ARadioReplacedAtItsPathIsOpenedAgain) {
  StartWithRadio(radioLink.string());
  radio.reset();  // its far side closes; the link goes with it
  ASSERT_TRUE(Until([&] { return !events.states.empty(); }));
  EXPECT_FALSE(station.IsOpen(station::PortRole::Radio));
  radio.emplace(radioLink);
  EXPECT_EQ(RadioHears(4), "AI1;");
  ExpectOneLossAndOneReturn();
  ExpectTranslationAtWork();
}

// The radio served on the network, as ser2net serves a serial port; the
// server at the far end stops and starts again.
class TcpRadioReconnectTest : public ReconnectTest {
 protected:
  void Listen(quint16 port = 0) {
    server = std::make_unique<QTcpServer>();
    ASSERT_TRUE(server->listen(QHostAddress::LocalHost, port)) << port;
  }
  std::string RadioHears(std::size_t count) override {
    Until([&] {
      if (!peer && server->hasPendingConnections()) {
        peer.reset(server->nextPendingConnection());
      }
      return peer && peer->bytesAvailable() >= static_cast<qint64>(count);
    });
    return peer ? peer->readAll().toStdString() : std::string();
  }
  std::unique_ptr<QTcpServer> server;
  std::unique_ptr<QTcpSocket> peer;
};

TEST_F(TcpRadioReconnectTest, TranslatesOverTheNetworkAndComesBackWhenTheServerDoes) {
  Listen();
  const quint16 port = server->serverPort();
  StartWithRadio("tcp:127.0.0.1:" + std::to_string(port));
  ExpectTranslationAtWork();
  peer->write("FA00007074000;");
  EXPECT_EQ(app1->Read(1), "FA07074000;");

  peer.reset();
  server.reset();
  ASSERT_TRUE(Until([&] { return !events.states.empty(); }));
  Listen(port);
  EXPECT_EQ(RadioHears(4), "AI1;");
  ExpectOneLossAndOneReturn();
  ExpectTranslationAtWork();
}

}  // namespace
}  // namespace vantorel::testing
