// Port setup through the real serial layer: App 1 and the radio are pseudo-
// terminals named by device path in their combo boxes.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "bridge/port_setup.h"
#include "bridge/qt/qt_event_loop.h"
#include "bridge/qt/qt_serial_port.h"
#include "fake_platform.h"
#include "pty_pair.h"

namespace vantorel::bridge {
namespace {

using namespace std::chrono_literals;
using testing::PtyPair;
using testing::PumpUntil;

class PortSetupOverPtyTest : public ::testing::Test {
 protected:
  PortSetupOverPtyTest() {
    model.Soft1Com.SetText(app1Device.Path());
    model.RadioCom.SetText(radioDevice.Path());
    model.Baud.SetText("4800");
    model.Parity.SetText("None");
    model.DataBits.SetText("8");
    model.StopBits.SetText("1");
  }

  void Run() { InitPorts(model, ports, boxes); }

  // The first three characters the radio receives after setup: "AI1" when
  // auto-information was switched on, else those of a marker sent after it.
  std::string FirstTextAtTheRadio() {
    radio.Output("ID;");
    return radioDevice.Read(3, pump);
  }

  QtEventLoop loop;
  std::function<void()> pump = [this] { loop.Wait(1ms); };
  PtyPair app1Device;
  PtyPair radioDevice;
  QtSerialPort app1;
  QtSerialPort app2;
  QtSerialPort radio;
  Ports ports{app1, app2, radio};
  model::CatmuxModel model;
  testing::FakeMessageBoxes boxes;
};

TEST_F(PortSetupOverPtyTest, OpensApp1AndTheRadioAndSendsAutoInformation) {
  Run();
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_TRUE(app1.PortOpen());
  EXPECT_TRUE(radio.PortOpen());
  EXPECT_FALSE(app2.PortOpen());
  EXPECT_FALSE(model.Soft1Com.Enabled());
  EXPECT_FALSE(model.RadioCom.Enabled());
  EXPECT_EQ(radioDevice.Read(4, pump), "AI1;");

  // App 1's port drops NULs; its text waits for the receive procedure.
  app1Device.Write(std::string("FA\0;", 4));
  EXPECT_TRUE(PumpUntil([&] { return app1.InBufferCount() == 3; }, pump));
}

TEST_F(PortSetupOverPtyTest, IgnoreFromApp1SendsNoAutoInformation) {
  model.Ignore1.SetValue(1);
  Run();
  EXPECT_TRUE(radio.PortOpen());
  EXPECT_EQ(FirstTextAtTheRadio(), "ID;");
}

TEST_F(PortSetupOverPtyTest, AMissingRadioIsReportedAndApp1StaysOpen) {
  model.RadioCom.SetText("/dev/vantorel-test-no-radio");
  Run();
  EXPECT_EQ(boxes.shown,
            std::vector<std::string>{"Unable to open Radio port . Possible Conflict."});
  EXPECT_TRUE(app1.PortOpen());
  EXPECT_FALSE(radio.PortOpen());
  EXPECT_TRUE(model.RadioCom.Enabled());
}

TEST_F(PortSetupOverPtyTest, AMissingApp1LeavesTheRadioAlone) {
  model.Soft1Com.SetText("/dev/vantorel-test-no-app1");
  Run();
  EXPECT_EQ(boxes.shown,
            std::vector<std::string>{"Unable to open Soft1 port . Possible Conflict."});
  EXPECT_FALSE(app1.PortOpen());
  EXPECT_FALSE(radio.PortOpen());
  EXPECT_TRUE(model.Soft1Com.Enabled());
  EXPECT_TRUE(model.RadioCom.Enabled());
}

TEST_F(PortSetupOverPtyTest, ARadioInUseByAnotherProgramIsAConflict) {
  QtSerialPort otherProgram;
  otherProgram.CommDevice(radioDevice.Path());
  otherProgram.PortOpen(true);
  Run();
  EXPECT_EQ(boxes.shown,
            std::vector<std::string>{"Unable to open Radio port . Possible Conflict."});
  EXPECT_FALSE(radio.PortOpen());
}

TEST_F(PortSetupOverPtyTest, RadioSettingsTheDeviceCannotTakeLeaveItClosedQuietly) {
  // 4 data bits are offered in the list but no serial port here can do them.
  model.DataBits.SetText("4");
  Run();
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_TRUE(app1.PortOpen());
  EXPECT_FALSE(radio.PortOpen());
  EXPECT_TRUE(model.RadioCom.Enabled());
}

TEST_F(PortSetupOverPtyTest, StartTwiceReopensTheSameDevices) {
  Run();
  EXPECT_EQ(radioDevice.Read(4, pump), "AI1;");
  Run();
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_TRUE(app1.PortOpen());
  EXPECT_TRUE(radio.PortOpen());
  EXPECT_EQ(radioDevice.Read(4, pump), "AI1;");
}

}  // namespace
}  // namespace vantorel::bridge
