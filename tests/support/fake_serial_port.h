// An in-memory serial port for tests: the test scripts what arrives and when,
// and reads back everything the program wrote, in order, across ports.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bridge/serial_port.h"

namespace vantorel::testing {

// One write by the program, as it happened.
struct Write {
  std::string port;  // the fake's name, e.g. "app1", "app2", "radio"
  std::string text;
  bool operator==(const Write&) const = default;
};

// Shared by the fakes of one test so the order of writes across ports shows.
using WriteLog = std::vector<Write>;

class FakeSerialPort : public bridge::SerialPort {
 public:
  FakeSerialPort(std::string name, std::shared_ptr<WriteLog> log)
      : name_(std::move(name)), log_(std::move(log)) {}

  // --- SerialPort ---
  void CommPort(int number) override;
  void CommDevice(const std::string& path) override;
  void Settings(const std::string& text) override {
    Refuse(failSettings);
    settings = text;
  }
  void RThreshold(int characters) override { rThreshold = characters; }
  void InputLen(int characters) override { inputLen = characters; }
  void OutBufferSize(int characters) override { outBufferSize = characters; }
  void NullDiscard(bool discard) override { nullDiscard = discard; }
  [[nodiscard]] bool PortOpen() const override { return open_; }
  void PortOpen(bool open) override;
  void RTSEnable(bool enable) override {
    Refuse(failRts);
    rts = enable;
  }
  void DTREnable(bool enable) override {
    Refuse(failDtr);
    dtr = enable;
  }
  void Break(bool /*enable*/) override {}
  [[nodiscard]] int InBufferCount() const override {
    return open_ ? static_cast<int>(in_.size()) : 0;
  }
  [[nodiscard]] int OutBufferCount() const override { return open_ ? outPending : 0; }
  std::string Input() override;
  void Output(std::string_view text) override;
  [[nodiscard]] int CommEvent() const override { return commEvent; }
  void OnComm(std::function<void()> handler) override { handler_ = std::move(handler); }
  void OnLost(std::function<void(const std::string&)> handler) override {
    lostHandler_ = std::move(handler);
  }
  // The device goes away: the port closes itself and says why.
  void Lose(const std::string& reason) {
    PortOpen(false);
    if (lostHandler_) {
      lostHandler_(reason);
    }
  }

  // --- scripting ---
  // Characters arrive in the receive queue (NULs dropped while NullDiscard).
  void Arrive(std::string_view text);
  // Raises the receive event with the given code, as the event loop would.
  void RaiseOnComm(int code = bridge::kCommEventReceive);
  // Arrive, then raise the receive event.
  void Receive(std::string_view text) {
    Arrive(text);
    RaiseOnComm();
  }
  // What is still waiting in the receive queue.
  [[nodiscard]] std::string Pending() const { return {in_.begin(), in_.end()}; }
  // Everything written to this port, joined.
  [[nodiscard]] const std::string& Written() const { return written_; }

  // Refusals to script (each throws SerialError with the given description).
  std::optional<std::string> failCommPort;
  std::optional<std::string> failSettings;
  std::optional<std::string> failOpen;
  std::optional<std::string> failRts;
  std::optional<std::string> failDtr;
  std::optional<std::string> failOutput;
  // Characters reported as not yet sent; each Output adds its length when
  // holdOutput is set (a port nobody reads).
  int outPending = 0;
  bool holdOutput = false;

  // What the program set.
  int commPort = -1;
  std::string device;
  std::string settings;
  int rThreshold = 0;
  int inputLen = 0;
  int outBufferSize = 0;
  bool nullDiscard = false;
  bool rts = false;
  bool dtr = false;
  int commEvent = 0;
  int openCount = 0;
  int closeCount = 0;

 private:
  // Throws the refusal the test scripted, if any.
  static void Refuse(const std::optional<std::string>& refusal) {
    if (refusal) {
      throw bridge::SerialError(*refusal);
    }
  }

  std::string name_;
  std::shared_ptr<WriteLog> log_;
  std::deque<char> in_;
  std::string written_;
  bool open_ = false;
  std::function<void()> handler_;
  std::function<void(const std::string&)> lostHandler_;
};

}  // namespace vantorel::testing
