#include "bridge/bridge.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "bridge/capture.h"
#include "bridge/port_setup.h"
#include "bridge/receive.h"
#include "bridge/serial_cat_ports.h"
#include "supervision/transmit_supervision.h"

namespace vantorel::bridge {

struct Bridge::Impl {
  Impl(model::CatmuxModel& model, const Ports& ports, model::EventLoop& loop,
       model::MessageBoxes& boxes)
      : catPorts(ports.MSComm1, ports.MSComm3),
        capture(model.Check3, boxes),
        receiver(model, ports, loop, boxes, capture, catPorts) {}

  SerialCatPorts catPorts;
  Capture capture;
  Receiver receiver;
};

Bridge::Bridge(model::CatmuxModel& model, Ports ports, model::EventLoop& loop,
               model::MessageBoxes& boxes)
    : model_(model),
      ports_(ports),
      loop_(loop),
      boxes_(boxes),
      impl_(std::make_unique<Impl>(model, ports_, loop, boxes)) {
  attached_.Attach(model_.Command3.onClick, [this] { Command3_Click(); });
  attached_.Attach(model_.Command5.onClick, [this] { Command5_Click(); });
  attached_.Attach(model_.Command6.onClick, [this] { Command6_Click(); });
  attached_.Attach(model_.Command7.onClick, [this] { Command7_Click(); });
  attached_.Attach(model_.Command9.onClick, [this] { Command9_Click(); });
  attached_.Attach(model_.Ignore2.onClick, [this] { Ignore2_Click(); });
  attached_.Attach(model_.Check3.onClick, [this] { Check3_Click(); });
  attached_.Attach(model_.Timer2.onTimer, [this] { Timer2_Timer(); });
  AttachReceiveEvent(ports_.MSComm1, [this] { MSComm1_OnComm(); });
  AttachReceiveEvent(ports_.MSComm2, [this] { MSComm2_OnComm(); });
  AttachReceiveEvent(ports_.MSComm3, [this] { MSComm3_OnComm(); });
  // A port whose device went away has closed itself: say so, and give its box
  // back so the user can pick another port (Stop only frees open ports' boxes).
  for (const PortAndBox& p : PortsAndBoxes(ports_, model_)) {
    p.port.OnLost([this, &box = p.box](const std::string& reason) {
      box.SetEnabled(true);
      boxes_.MsgBox("error " + reason);
    });
    attached_.Add([&port = p.port] { port.OnLost(nullptr); });
  }
}

// The handlers come off first (attached_ is the last member); then the
// receiver they called goes.
Bridge::~Bridge() = default;

void Bridge::AttachReceiveEvent(SerialPort& port, std::function<void()> handler) {
  port.OnComm(std::move(handler));
  attached_.Add([&port] { port.OnComm(nullptr); });
}

void Bridge::InitPorts() { bridge::InitPorts(model_, ports_, boxes_); }

bool Bridge::CreateTestFile() { return impl_->capture.CreateTestFile(); }

void Bridge::MSComm1_OnComm() { impl_->receiver.MSComm1_OnComm(); }
void Bridge::MSComm2_OnComm() { impl_->receiver.MSComm2_OnComm(); }
void Bridge::MSComm3_OnComm() { impl_->receiver.MSComm3_OnComm(); }
void Bridge::GetData1() { impl_->receiver.GetData1(); }
void Bridge::GetData2() { impl_->receiver.GetData2(); }
void Bridge::GetData3() { impl_->receiver.GetData3(); }

void Bridge::Check3_Click() { impl_->capture.Check3_Click(); }

void Bridge::Timer2_Timer() {
  supervision::SupervisionContext ctx{model_.vars.TXOn, model_.vars.TXTime, model_.ShutDwn.Text(),
                                      impl_->catPorts};
  const supervision::TickResult result = supervision::Timer2_Timer(ctx);
  // The writes that went through stand; each distinct refusal is shown once.
  std::vector<std::string> shown;
  for (const std::string& failure : result.failures) {
    if (std::find(shown.begin(), shown.end(), failure) == shown.end()) {
      shown.push_back(failure);
      boxes_.MsgBox("error " + failure);
    }
  }
}

}  // namespace vantorel::bridge
