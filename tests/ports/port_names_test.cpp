// The names a user types into a port box: which kind each makes, what a name
// that cannot work is told, and what the boxes offer.
#include <gtest/gtest.h>

#include <QTcpSocket>
#include <cstdlib>

#include "ports/network_address.h"
#include "ports/serial_devices.h"
#include "station_rig.h"

namespace vantorel::testing {
namespace {

TEST(PortNamesTest, NamesThatCannotWorkAreRefusedWithTheReason) {
  const std::string closed = "127.0.0.1:" + std::to_string(FreePort());
  const std::pair<std::string, std::string> rows[] = {
      {"pty:", "names no path"},
      {"sim:yaesu", "the simulated radio is sim:kenwood"},
      {"tcp:radio.local", "HOST:PORT expected"},
      {"tcp:127.0.0.1:0", "a number from 1 to 65535"},
      {"tcp:127.0.0.1:65536", "a number from 1 to 65535"},
      {"tcp-listen:[::1", "brackets needs \":PORT\""},
      {"tcp:" + closed, "Cannot connect to " + closed + ": Connection refused"},
      {"tcp-listen:localhost:4532", "an address of this machine is needed"},
      {"tcp-listen:192.0.2.1:4532", "Cannot listen on 192.0.2.1:4532: "},
  };
  ports::QtPortFactory factory;
  for (const auto& [name, reason] : rows) {
    SCOPED_TRACE(name);
    try {
      const auto port = factory.Make(name);
      port->Settings({});
      port->Open();
      ADD_FAILURE() << "opened";
    } catch (const station::SerialError& e) {
      EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
    }
  }
}

// Each simulated model is one radio, whichever case its name is typed in.
TEST(PortNamesTest, EachSimulatedModelIsOneRadioOfItsOwn) {
  ports::QtPortFactory factory;
  factory.Make("SIM:TS2000")->Settings({});
  EXPECT_EQ(factory.SimulatedRadio("ts2000")->Receive("ID;AG1;"), "ID019;AG1100;");
  EXPECT_EQ(factory.SimulatedRadio("ts890")->Receive("ID;AG0;"), "ID024;?;");
  EXPECT_EQ(factory.SimulatedRadio()->Receive("ID;"), "ID021;");
}

TEST(PortNamesTest, AddressesWithAndWithoutAHost) {
  using ports::NetworkAddress;
  EXPECT_EQ(ports::ParseNetworkAddress("radio.local:4000"), (NetworkAddress{"radio.local", 4000}));
  EXPECT_EQ(ports::ParseNetworkAddress("[::1]:4532", "127.0.0.1"), (NetworkAddress{"::1", 4532}));
  EXPECT_EQ(ports::ParseNetworkAddress("4532", "127.0.0.1"), (NetworkAddress{"127.0.0.1", 4532}));
  EXPECT_EQ(ports::AddressText({"::1", 4532}), "[::1]:4532");
}

TEST(PortNamesTest, StableDeviceNamesComeFirstThenTheProgramsOwnPorts) {
  const TempFolder byId;
  for (const char* adapter : {"usb-FTDI_B-if00-port0", "usb-FTDI_A-if00-port0"}) {
    std::filesystem::create_symlink("/dev/null", byId.Path() / adapter);
  }
  const std::vector<std::string> devices = ports::SerialDeviceNames(byId.Path());
  ASSERT_GE(devices.size(), 2U);
  EXPECT_EQ(devices[0], (byId.Path() / "usb-FTDI_A-if00-port0").string());
  EXPECT_EQ(devices[1], (byId.Path() / "usb-FTDI_B-if00-port0").string());

  // The runtime folder is set for the test's own process only.
  ::setenv("XDG_RUNTIME_DIR", byId.Path().c_str(), 1);
  EXPECT_EQ(ports::OwnPortNames(),
            (std::vector<std::string>{"pty:" + (byId.Path() / "vantorel-app1").string(),
                                      "sim:kenwood", "sim:ts890", "sim:ts990", "sim:ts590",
                                      "sim:ts590sg", "sim:ts2000", "sim:ts480"}));
}

using TcpListenTest = StationRig;

TEST_F(TcpListenTest, OneApplicationAtATimeAndTheNextOnceItLeaves) {
  NoTranslation();
  const quint16 port = FreePort();
  Start("tcp-listen:" + std::to_string(port), "SIM:Kenwood");
  const auto connect = [&](QTcpSocket& application) {
    application.connectToHost(QHostAddress::LocalHost, port);
    return Until([&] { return application.state() == QAbstractSocket::ConnectedState; });
  };
  const auto ask = [&](QTcpSocket& application, const char* read, qint64 answerLength) {
    application.write(read);
    Until([&] { return application.bytesAvailable() >= answerLength; });
    return application.readAll().toStdString();
  };

  QTcpSocket first;
  ASSERT_TRUE(connect(first));
  QTcpSocket second;
  second.connectToHost(QHostAddress::LocalHost, port);
  // The log names who holds the port.
  const std::string holder = "127.0.0.1:" + std::to_string(first.localPort());
  EXPECT_TRUE(Until([&] { return Notes("turned away: the port is held by " + holder) == 1; }));
  EXPECT_TRUE(Until([&] { return second.state() == QAbstractSocket::UnconnectedState; }));
  EXPECT_EQ(ask(first, "FA;", 14), "FA00014074000;");

  first.disconnectFromHost();
  EXPECT_TRUE(Until([&] { return Notes("let go") == 1; }));
  QTcpSocket third;
  ASSERT_TRUE(connect(third));
  EXPECT_EQ(ask(third, "ID;", 6), "ID021;");
  EXPECT_EQ(Notes("a program took the other end"), 2);
}

}  // namespace
}  // namespace vantorel::testing
