#include "fake_serial_port.h"

#include <algorithm>

namespace vantorel::testing {

using bridge::SerialError;

FakeSerialPort::FakeSerialPort(std::string name, std::shared_ptr<WriteLog> log)
    : name_(std::move(name)), log_(std::move(log)) {}

void FakeSerialPort::CommPort(int number) {
  if (open_) {
    throw SerialError("Operation valid only when the port is closed");
  }
  if (failCommPort) {
    throw SerialError(*failCommPort);
  }
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

void FakeSerialPort::Settings(const std::string& text) {
  if (failSettings) {
    throw SerialError(*failSettings);
  }
  settings = text;
}

void FakeSerialPort::PortOpen(bool open) {
  if (open == open_) {
    return;
  }
  if (open) {
    if (failOpen) {
      throw SerialError(*failOpen);
    }
    open_ = true;
    ++openCount;
  } else {
    open_ = false;
    rts = dtr = false;
    in_.clear();
    outPending = 0;
    ++closeCount;
  }
}

void FakeSerialPort::RTSEnable(bool enable) {
  if (failRts) {
    throw SerialError(*failRts);
  }
  rts = enable;
}

void FakeSerialPort::DTREnable(bool enable) {
  if (failDtr) {
    throw SerialError(*failDtr);
  }
  dtr = enable;
}

void FakeSerialPort::Break(bool /*enable*/) {}

int FakeSerialPort::InBufferCount() const { return open_ ? static_cast<int>(in_.size()) : 0; }

int FakeSerialPort::OutBufferCount() const { return open_ ? outPending : 0; }

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
  if (failOutput) {
    throw SerialError(*failOutput);
  }
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
    if (nullDiscard && c == '\0') {
      continue;
    }
    in_.push_back(c);
  }
}

void FakeSerialPort::RaiseOnComm(int code) {
  commEvent = code;
  if (handler_) {
    handler_();
  }
}

void FakeSerialPort::Receive(std::string_view text) {
  Arrive(text);
  RaiseOnComm();
}

std::string FakeSerialPort::Pending() const { return {in_.begin(), in_.end()}; }

std::string FakeSerialPort::Written() const { return written_; }

void FakeSerialPort::ClearWritten() { written_.clear(); }

}  // namespace vantorel::testing
