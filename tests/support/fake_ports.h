// In-memory ports for the station's tests. A FakeDevice stands for what a
// port name names (it outlives the port objects, like a real device); the
// factory makes a FakeSerialPort on it each time the station asks. The test
// scripts what arrives and when, and reads back every write in order, across
// ports.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "station/serial_port.h"

namespace vantorel::testing {

class FakeSerialPort;

// Every write of one test, in order, as "device:text".
using WriteLog = std::vector<std::string>;

struct FakeDevice {
  std::string name;  // in the write log
  std::shared_ptr<WriteLog> log;
  // Refusals to script, each thrown as a SerialError with this text.
  std::optional<std::string> failMake, failSettings, failOpen, failRts, failDtr;
  // A far end that reads nothing: what is written stays unsent (of it, what
  // was given to WriteFirst in unsentFirst).
  bool holdOutput = false;
  std::size_t unsent = 0;
  std::size_t unsentFirst = 0;
  // Pieces that arrive one by one while a framed read waits for more.
  std::deque<std::string> lateArrivals;
  // What the program did to it.
  std::string written;
  station::LineSettings settings;
  bool nullDiscard = false, rts = false, dtr = false;
  int opens = 0, closes = 0;
  std::shared_ptr<FakeSerialPort> port;  // the latest one made
};

class FakeSerialPort final : public station::SerialPort {
 public:
  explicit FakeSerialPort(FakeDevice& device) : device_(device) {}

  [[nodiscard]] const std::string& Name() const override { return device_.name; }
  void Settings(const station::LineSettings& line) override;
  void NullDiscard(bool discard) override { device_.nullDiscard = discard; }
  void Open() override;
  void Close() override;
  [[nodiscard]] bool IsOpen() const override { return open_; }
  void RTSEnable(bool enable) override;
  void DTREnable(bool enable) override;
  void Break(bool /*enable*/) override {}
  [[nodiscard]] std::size_t Waiting() const override { return open_ ? input_.size() : 0; }
  std::string ReadWaiting() override;
  std::optional<std::string> ReadThrough(char terminator, std::chrono::microseconds gap,
                                         station::Clock::time_point deadline) override;
  void Discard(std::size_t count) override { input_.erase(0, count); }
  void Write(std::string_view text) override;
  [[nodiscard]] std::size_t Unsent() const override { return open_ ? device_.unsent : 0; }
  void WriteFirst(std::string_view text) override;
  [[nodiscard]] std::size_t UnsentFirst() const override { return open_ ? device_.unsentFirst : 0; }
  void OnReceive(std::function<void()> handler) override { receive_ = std::move(handler); }
  void OnNews(std::function<void(const station::PortNews&)> handler) override {
    news_ = std::move(handler);
  }

  // --- scripting ---
  void Arrive(std::string_view text);
  // Raises the receive event, as the event loop would.
  void RaiseReceive();
  void Receive(std::string_view text) {
    Arrive(text);
    RaiseReceive();
  }
  void Tell(const station::PortNews& news);
  [[nodiscard]] const std::string& Pending() const { return input_; }

 private:
  FakeDevice& device_;
  bool open_ = false;
  std::string input_;
  std::function<void()> receive_;
  std::function<void(const station::PortNews&)> news_;
};

// Names as the real factory takes them ("COM0" is refused); each name has its
// device, made on first use.
class FakePortFactory final : public station::PortFactory {
 public:
  explicit FakePortFactory(std::shared_ptr<WriteLog> log) : log_(std::move(log)) {}
  [[nodiscard]] std::shared_ptr<station::SerialPort> Make(const std::string& name) override;
  // The device a name stands for; its name in the log is the name's last part.
  FakeDevice& Device(const std::string& name);
  // Forgets what every device was written so far.
  void ForgetWrites() {
    log_->clear();
    for (auto& [name, device] : devices_) {
      device.written.clear();
    }
  }

 private:
  std::shared_ptr<WriteLog> log_;
  std::map<std::string, FakeDevice> devices_;
};

}  // namespace vantorel::testing
