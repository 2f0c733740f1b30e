// A serial device through QSerialPort: /dev/ttyUSB0, a /dev/serial/by-id/...
// link, the system's n-th serial port for "COMn", or the terminal side of a
// virtual port pair.
//
// A full transmit queue (a far end that stops reading) is ridden out, never
// taken for a lost device; only the device going away (a USB adapter pulled,
// the program behind a pseudo-terminal closing its side, an I/O error) closes
// the port and is told as news, once. The device is then opened again every
// kRetryInterval until it is back (the adapter plugged in again, a new
// pseudo-terminal linked at the same path) or the port is closed.
//
// Threading: the program's one thread. Nothing polls on a timer: an idle port
// costs no CPU.
#pragma once

#include <memory>
#include <string>

#include "ports/buffered_port.h"
#include "station/line_settings.h"

class QSerialPort;

namespace vantorel::ports {

class DevicePort final : public BufferedPort {
 public:
  // `name` as the user gave it, `device` the path it stands for (kept as the
  // bytes it was given, also when they are not UTF-8).
  DevicePort(std::string name, std::string device);
  ~DevicePort() override;

  void Settings(const station::LineSettings& line) override;
  void Open() override;
  void Close() override;
  [[nodiscard]] bool IsOpen() const override;
  void RTSEnable(bool enable) override;
  void DTREnable(bool enable) override;
  void Break(bool enable) override;

 protected:
  void DeviceWrite(std::string_view bytes) override;
  [[nodiscard]] bool GathersWrites() const override { return true; }
  [[nodiscard]] std::size_t DeviceUnsent() const override;
  [[nodiscard]] std::size_t DeviceWaiting() const override;
  void Pull() override;
  bool WaitForArrival(std::chrono::microseconds most) override;
  void TryComeBack() override;
  [[nodiscard]] bool CanComeBack() const override { return true; }

 private:
  enum class ModemLine { Rts, Dtr };
  // Opens the device with the line settings and modem lines; throws SerialError
  // with the system's reason and a hint where one helps.
  void OpenDevice();
  [[nodiscard]] std::string OpenFailure() const;
  void ApplyLineSettings();
  void ApplyModemLine(ModemLine line, bool enable);
  void OnDeviceError();
  [[nodiscard]] bool DeviceGone() const;
  [[nodiscard]] std::string DeviceError() const;

  std::string device_;
  std::unique_ptr<QSerialPort> port_;
  station::LineSettings lineSettings_;
  bool rts_ = false;
  bool dtr_ = false;
};

}  // namespace vantorel::ports
