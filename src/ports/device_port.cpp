#include "ports/device_port.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QMetaObject>
#include <QSerialPort>
#include <QString>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>

#include "common/descriptor.h"

namespace vantorel::ports {
namespace {

QSerialPort::Parity ToQt(station::Parity parity) {
  switch (parity) {
    case station::Parity::Odd:
      return QSerialPort::OddParity;
    case station::Parity::Even:
      return QSerialPort::EvenParity;
    case station::Parity::Mark:
      return QSerialPort::MarkParity;
    case station::Parity::Space:
      return QSerialPort::SpaceParity;
    case station::Parity::None:
      break;
  }
  return QSerialPort::NoParity;
}

// What the user can do about a device that does not open, by the system's
// error number.
struct OpenHint {
  int error;
  std::string_view hint;
};

constexpr auto kOpenHints = std::to_array<OpenHint>({
    {EACCES, "add your user to the dialout group"},
    {EBUSY, "another program has it open"},
    {ENOENT, "is the adapter plugged in?"},
});

std::string WithHint(std::string reason, int error) {
  for (const OpenHint& row : kOpenHints) {
    if (row.error == error) {
      reason.append(": ").append(row.hint);
    }
  }
  return reason;
}

bool IsUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdString() == text;
}

}  // namespace

DevicePort::DevicePort(std::string name, std::string device)
    : BufferedPort(std::move(name)),
      device_(std::move(device)),
      port_(std::make_unique<QSerialPort>()) {
  QObject::connect(port_.get(), &QSerialPort::readyRead, Context(), [this] {
    PullFromLoop();
    // QSerialPort does not tell readyRead again before this returns: what it
    // read while the receive handler ran is taken now, and gets an event.
    Pull();
  });
  QObject::connect(port_.get(), &QSerialPort::bytesWritten, Context(),
                   [this] { DeviceTookSome(); });
  QObject::connect(port_.get(), &QSerialPort::errorOccurred, Context(),
                   [this](QSerialPort::SerialPortError error) {
                     // Looked at from the event loop, not inside QSerialPort's
                     // own notification, which must not see its port closed. A
                     // terminal whose far side closed reads as end of file:
                     // Qt calls that a read error, and raises it again on every
                     // pass until the port is closed.
                     if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
                         error == QSerialPort::WriteError) {
                       QMetaObject::invokeMethod(
                           Context(), [this] { OnDeviceError(); }, Qt::QueuedConnection);
                     }
                   });
}

DevicePort::~DevicePort() {
  // Closing the device may emit signals; our members are going away.
  QObject::disconnect(port_.get(), nullptr, nullptr, nullptr);
}

std::string DevicePort::DeviceError() const { return port_->errorString().toStdString(); }

void DevicePort::Settings(const station::LineSettings& line) {
  lineSettings_ = line;
  if (port_->isOpen()) {
    ApplyLineSettings();
  }
}

void DevicePort::ApplyLineSettings() {
  const station::LineSettings& s = lineSettings_;
  port_->clearError();
  // Before the open QSerialPort only remembers these; the open applies them.
  const bool applied =
      port_->setBaudRate(s.baud) && port_->setParity(ToQt(s.parity)) &&
      port_->setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits)) &&
      port_->setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
      port_->setFlowControl(QSerialPort::NoFlowControl);
  if (!applied) {
    throw station::SerialError("Cannot apply the port settings to " + device_ + ": " +
                               DeviceError());
  }
}

bool DevicePort::IsOpen() const { return port_->isOpen(); }

void DevicePort::Open() {
  if (port_->isOpen()) {
    return;
  }
  if (device_.empty()) {
    throw station::SerialError("No serial device selected");
  }
  StopRetrying();
  ForgetTraffic();
  OpenDevice();
}

void DevicePort::TryComeBack() {
  try {
    OpenDevice();
  } catch (const station::SerialError&) {
    return;  // still away; the next tick tries again
  }
  CameBack();
}

std::string DevicePort::OpenFailure() const {
  // Qt names the system's reason; the error number behind it picks the hint.
  int error = 0;
  if (::access(device_.c_str(), R_OK | W_OK) != 0) {
    error = errno;
  } else if (port_->error() == QSerialPort::PermissionError) {
    error = EBUSY;  // exclusive use or a lock file: someone else has it
  }
  return WithHint("Cannot open " + device_ + ": " + DeviceError(), error);
}

void DevicePort::OpenDevice() {
  // QSerialPort takes the device's name as text, and a name that is not UTF-8
  // would reach the system changed. Such a device is opened by its bytes here,
  // and QSerialPort opens the same device again through our descriptor.
  std::optional<Descriptor> byBytes;
  if (IsUtf8(device_)) {
    port_->setPortName(QString::fromStdString(device_));
  } else {
    byBytes.emplace(::open(device_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (byBytes->Get() < 0) {
      const int error = errno;
      throw station::SerialError(
          WithHint("Cannot open " + device_ + ": " + std::strerror(error), error));
    }
    port_->setPortName(QStringLiteral("/proc/self/fd/%1").arg(byBytes->Get()));
  }
  ApplyLineSettings();
  port_->clearError();
  // QSerialPort takes a lock file and exclusive use of the tty, so a second
  // program (or a second of our ports) cannot open the same device.
  if (!port_->open(QIODevice::ReadWrite)) {
    throw station::SerialError(OpenFailure());
  }
  try {
    // Lines raised before this open keep their state across it.
    if (rts_) {
      ApplyModemLine(ModemLine::Rts, true);
    }
    if (dtr_) {
      ApplyModemLine(ModemLine::Dtr, true);
    }
  } catch (const station::SerialError&) {
    port_->close();
    throw;
  }
}

void DevicePort::Close() {
  HandOnGathered();
  StopRetrying();
  if (port_->isOpen()) {
    port_->close();
  }
  ForgetTraffic();
}

void DevicePort::ApplyModemLine(ModemLine line, bool enable) {
  if (!port_->isOpen()) {
    return;
  }
  port_->clearError();
  const bool set = line == ModemLine::Rts ? port_->setRequestToSend(enable)
                                          : port_->setDataTerminalReady(enable);
  if (set) {
    return;
  }
  // Pseudo-terminals and many virtual ports have no modem-control lines: the
  // system answers "Inappropriate ioctl for device". The lines are raised only
  // for interfaces that want them; a port without them carries CAT text just as
  // well, so that answer is no failure.
  if (port_->error() == QSerialPort::UnsupportedOperationError) {
    port_->clearError();
    return;
  }
  throw station::SerialError(std::string("Cannot set ") + (line == ModemLine::Rts ? "RTS" : "DTR") +
                             " on " + device_ + ": " + DeviceError());
}

void DevicePort::RTSEnable(bool enable) {
  rts_ = enable;
  ApplyModemLine(ModemLine::Rts, enable);
}

void DevicePort::DTREnable(bool enable) {
  dtr_ = enable;
  ApplyModemLine(ModemLine::Dtr, enable);
}

void DevicePort::Break(bool enable) {
  if (!port_->isOpen()) {
    return;
  }
  port_->clearError();
  if (port_->setBreakEnabled(enable) || port_->error() == QSerialPort::UnsupportedOperationError) {
    // A line that cannot carry a break has none to end either.
    port_->clearError();
    return;
  }
  // Only a device that went away refuses here; its loss is told once, as news.
  OnDeviceError();
}

void DevicePort::DeviceWrite(std::string_view bytes) {
  const int fd = static_cast<int>(port_->handle());
  // Nothing of ours waits in QSerialPort: straight to the device, as much as
  // it takes, without QSerialPort's write notifier being armed and answered
  // on later turns of the event loop for text the device took at once.
  if (port_->bytesToWrite() == 0) {
    ssize_t written = 0;
    do {
      written = ::write(fd, bytes.data(), bytes.size());
    } while (written < 0 && errno == EINTR);
    if (written > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    if (bytes.empty()) {
      return;
    }
  }
  // The rest (a full device, or one that failed: QSerialPort then meets the
  // failure itself and reports it).
  port_->write(bytes.data(), static_cast<qint64>(bytes.size()));
  // Handed to the device at once while it has room, so a relayed answer does
  // not wait for the next pass of the event loop. A device with no room takes
  // the rest from the event loop when it has; asking it now would only be
  // answered "try again".
  pollfd writable{fd, POLLOUT, 0};
  if (::poll(&writable, 1, 0) == 1 && (writable.revents & POLLOUT) != 0) {
    port_->flush();
  }
}

std::size_t DevicePort::DeviceUnsent() const {
  return port_->isOpen() ? static_cast<std::size_t>(port_->bytesToWrite()) : 0;
}

std::size_t DevicePort::DeviceWaiting() const {
  return port_->isOpen() ? static_cast<std::size_t>(port_->bytesAvailable()) : 0;
}

void DevicePort::Pull() {
  if (port_->bytesAvailable() > 0) {
    const QByteArray bytes = port_->readAll();
    Arrived(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  }
}

bool DevicePort::WaitForArrival(std::chrono::microseconds most) {
  const bool arrived = port_->waitForReadyRead(WaitMilliseconds(most));
  if (!arrived) {
    port_->clearError();  // the time-out a wait reports is no fault
  }
  Pull();
  return arrived;
}

bool DevicePort::DeviceGone() const {
  const int fd = static_cast<int>(port_->handle());
  if (fd < 0) {
    return true;
  }
  pollfd state{fd, POLLIN | POLLOUT, 0};
  if (::poll(&state, 1, 0) == 1 && (state.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
    return true;
  }
  termios mode{};
  return ::tcgetattr(fd, &mode) != 0 && errno != ENOTTY;
}

void DevicePort::OnDeviceError() {
  if (!port_->isOpen()) {
    return;
  }
  // "Resource temporarily unavailable" (a full queue) is reported by Qt as
  // the same kind of error as a pulled adapter: only a device that is really
  // gone counts.
  if (!DeviceGone()) {
    port_->clearError();
    return;
  }
  // Closing ends every wait for the port's queues and makes later writes skip
  // it, instead of the program waiting on a device that will never answer.
  // Qt's error text is not said: a hung-up terminal's end of file comes with
  // no error number of its own, and Qt then shows whatever the last one was.
  port_->close();
  Lose(device_ + ": the device went away (unplugged, or closed at its far end)");
}

}  // namespace vantorel::ports
