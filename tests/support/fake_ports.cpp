#include "fake_ports.h"

#include "station/port_names.h"

namespace vantorel::testing {
namespace {

void Refuse(const std::optional<std::string>& refusal) {
  if (refusal) {
    throw station::SerialError(*refusal);
  }
}

}  // namespace

void FakeSerialPort::Settings(const station::LineSettings& line) {
  Refuse(device_.failSettings);
  device_.settings = line;
}

void FakeSerialPort::Open() {
  Refuse(device_.failOpen);
  input_.clear();
  open_ = true;
  ++device_.opens;
}

void FakeSerialPort::Close() {
  if (open_) {
    ++device_.closes;
  }
  open_ = false;
  input_.clear();
}

void FakeSerialPort::RTSEnable(bool enable) {
  Refuse(device_.failRts);
  device_.rts = enable;
}

void FakeSerialPort::DTREnable(bool enable) {
  Refuse(device_.failDtr);
  device_.dtr = enable;
}

std::string FakeSerialPort::ReadWaiting() {
  std::string text;
  text.swap(input_);
  return text;
}

std::optional<std::string> FakeSerialPort::ReadThrough(char terminator,
                                                       std::chrono::microseconds /*gap*/,
                                                       station::Clock::time_point /*deadline*/) {
  for (;;) {
    if (const auto end = input_.find(terminator); end != std::string::npos) {
      std::string text = input_.substr(0, end + 1);
      input_.erase(0, end + 1);
      return text;
    }
    if (device_.lateArrivals.empty()) {
      return std::nullopt;
    }
    Arrive(device_.lateArrivals.front());
    device_.lateArrivals.pop_front();
  }
}

void FakeSerialPort::Write(std::string_view text) {
  if (!open_ || text.empty()) {
    return;
  }
  device_.written += text;
  device_.log->push_back(device_.name + ":" + std::string(text));
  if (device_.holdOutput) {
    device_.unsent += text.size();
  }
}

void FakeSerialPort::WriteFirst(std::string_view text) {
  if (open_ && device_.holdOutput) {
    device_.unsentFirst += text.size();
  }
  Write(text);
}

void FakeSerialPort::Arrive(std::string_view text) {
  for (const char c : text) {
    if (!(device_.nullDiscard && c == '\0')) {
      input_.push_back(c);
    }
  }
}

void FakeSerialPort::RaiseReceive() {
  if (receive_ && !input_.empty()) {
    const auto handler = receive_;
    handler();
  }
}

void FakeSerialPort::Tell(const station::PortNews& news) {
  if (news.change == station::PortChange::Lost) {
    open_ = false;
  }
  if (news_) {
    news_(news);
  }
}

std::shared_ptr<station::SerialPort> FakePortFactory::Make(const std::string& name) {
  if (name.find(':') == std::string::npos) {
    station::DeviceForName(name);  // refuses what the real factory refuses
  }
  FakeDevice& device = Device(name);
  Refuse(device.failMake);
  device.port = std::make_shared<FakeSerialPort>(device);
  return device.port;
}

FakeDevice& FakePortFactory::Device(const std::string& name) {
  auto [entry, added] = devices_.try_emplace(name);
  if (added) {
    entry->second.name = name.substr(name.find_last_of('/') + 1);
    entry->second.log = log_;
  }
  return entry->second;
}

}  // namespace vantorel::testing
