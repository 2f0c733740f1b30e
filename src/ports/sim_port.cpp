#include "ports/sim_port.h"

#include <QMetaObject>

namespace vantorel::ports {

SimPort::SimPort(std::string name, std::shared_ptr<sim::KenwoodRadio> radio)
    : BufferedPort(std::move(name)), radio_(std::move(radio)) {}

void SimPort::Open() {
  if (open_) {
    return;
  }
  ForgetTraffic();
  answers_.clear();
  // Whatever half a command the last session left is gone with its line.
  radio_->DiscardPartialCommand();
  open_ = true;
}

void SimPort::Close() {
  open_ = false;
  answers_.clear();
  ForgetTraffic();
}

void SimPort::DeviceWrite(std::string_view bytes) {
  answers_ += radio_->Receive(bytes);
  if (answers_.empty() || deliveryPosted_) {
    return;
  }
  deliveryPosted_ = true;
  QMetaObject::invokeMethod(
      Context(), [this] { Deliver(); }, Qt::QueuedConnection);
}

// The radio answers at once or not at all: a wait only brings what it has said.
bool SimPort::WaitForArrival(std::chrono::microseconds /*most*/) {
  if (answers_.empty()) {
    return false;
  }
  Deliver();
  return true;
}

void SimPort::Deliver() {
  deliveryPosted_ = false;
  if (!open_ || answers_.empty()) {
    return;
  }
  const std::string arrived = std::move(answers_);
  answers_.clear();
  Arrived(arrived);
}

}  // namespace vantorel::ports
