// The serial-port operations over QSerialPort, for App 1's, App 2's and the
// radio's ports in the running program.
//
// Received characters move at once from the device into a receive queue of our
// own: NullDiscard applies as they arrive, InBufferCount counts them and Input
// takes at most InputLen of them. The receive event is posted to the event
// loop when characters arrive and raised from there (CommEvent 2), never from
// inside a call on this port. After the outermost handler returns, characters
// still waiting get another event, so a burst of several radio answers is
// routed without new characters arriving. A handler that lets the loop run may
// be called again inside itself; the receive procedures' own guards deal with
// that.
//
// Threading: the program's one thread. Nothing here polls on a timer: an idle
// port costs no CPU.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "bridge/line_settings.h"
#include "bridge/serial_port.h"

class QSerialPort;

namespace vantorel::bridge {

class QtSerialPort final : public SerialPort {
 public:
  QtSerialPort();
  ~QtSerialPort() override;
  QtSerialPort(const QtSerialPort&) = delete;
  QtSerialPort& operator=(const QtSerialPort&) = delete;

  void CommPort(int number) override;
  void CommDevice(const std::string& path) override;
  void Settings(const std::string& settings) override;
  void RThreshold(int characters) override { rThreshold_ = characters; }
  void InputLen(int characters) override { inputLen_ = characters; }
  // QSerialPort's transmit queue grows as needed, so no text is ever refused for
  // want of room; the size has nothing to set.
  void OutBufferSize(int /*characters*/) override {}
  void NullDiscard(bool discard) override { nullDiscard_ = discard; }

  [[nodiscard]] bool PortOpen() const override;
  void PortOpen(bool open) override;
  void RTSEnable(bool enable) override;
  void DTREnable(bool enable) override;
  void Break(bool enable) override;

  [[nodiscard]] int InBufferCount() const override;
  [[nodiscard]] int OutBufferCount() const override;
  std::string Input() override;
  void Output(std::string_view text) override;
  [[nodiscard]] int CommEvent() const override { return commEvent_; }
  void OnComm(std::function<void()> handler) override { handler_ = std::move(handler); }
  void OnLost(std::function<void(const std::string&)> handler) override {
    lostHandler_ = std::move(handler);
  }

  // The device the port opens (set by CommPort or CommDevice).
  [[nodiscard]] const std::string& Device() const { return device_; }

 private:
  enum class ModemLine { Rts, Dtr };
  void TakeArrived();
  void PostReceiveEvent();
  void RaiseReceiveEvent();
  void ApplyLineSettings();
  void ApplyModemLine(ModemLine line, bool enable);
  void RefuseWhileOpen() const;
  [[nodiscard]] std::string DeviceError() const;

  std::unique_ptr<QSerialPort> port_;
  std::string device_;
  LineSettings lineSettings_;
  int rThreshold_ = 0;
  int inputLen_ = 0;
  bool nullDiscard_ = false;
  bool rts_ = false;
  bool dtr_ = false;
  int commEvent_ = 0;

  std::deque<char> received_;
  std::function<void()> handler_;
  std::function<void(const std::string&)> lostHandler_;
  bool eventPosted_ = false;
  int handlerDepth_ = 0;
  std::size_t takenDuringEvent_ = 0;
};

}  // namespace vantorel::bridge
