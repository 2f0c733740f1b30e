#include "fake_serial_port.h"

namespace vantorel::testing {

using bridge::SerialError;

void FakeSerialPort::CommPort(int number) {
  if (open_) {
    throw SerialError("Operation valid only when the port is closed");
  }
  Refuse(failCommPort);
  if (number < 1) {
    throw SerialError("Invalid port number");
  }
  commPort = number;
  device.clear();
}

void FakeSerialPort::CommDevice(const std::string& path) {
  if (open_) {
    throw SerialError("Operation valid only when the port is closed");
  }
  device = path;
  commPort = -1;
}

void FakeSerialPort::PortOpen(bool open) {
  if (open == open_) {
    return;
  }
  if (open) {
    Refuse(failOpen);
  }
  open_ = open;
  ++(open ? openCount : closeCount);
  if (!open) {
    rts = dtr = false;
    in_.clear();
    outPending = 0;
  }
}

std::string FakeSerialPort::Input() {
  std::string out;
  const std::size_t take = inputLen > 0 ? static_cast<std::size_t>(inputLen) : in_.size();
  while (!in_.empty() && out.size() < take) {
    out.push_back(in_.front());
    in_.pop_front();
  }
  return out;
}

void FakeSerialPort::Output(std::string_view text) {
  if (!open_) {
    throw SerialError("Operation valid only when the port is open");
  }
  Refuse(failOutput);
  if (text.empty()) {
    return;
  }
  written_.append(text);
  if (log_) {
    log_->push_back({name_, std::string(text)});
  }
  if (holdOutput) {
    outPending += static_cast<int>(text.size());
  }
}

void FakeSerialPort::Arrive(std::string_view text) {
  for (char c : text) {
    if (!(nullDiscard && c == '\0')) {
      in_.push_back(c);
    }
  }
}

void FakeSerialPort::RaiseOnComm(int code) {
  commEvent = code;
  if (handler_) {
    handler_();
  }
}

}  // namespace vantorel::testing
