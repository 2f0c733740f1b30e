#include "bridge/qt/qt_serial_port.h"

#include <QMetaObject>
#include <QSerialPort>
#include <QtGlobal>
#include <algorithm>
#include <exception>

#include "bridge/port_names.h"

namespace vantorel::bridge {
namespace {

QSerialPort::Parity ToQt(Parity parity) {
  switch (parity) {
    case Parity::Odd:
      return QSerialPort::OddParity;
    case Parity::Even:
      return QSerialPort::EvenParity;
    case Parity::Mark:
      return QSerialPort::MarkParity;
    case Parity::Space:
      return QSerialPort::SpaceParity;
    case Parity::None:
      break;
  }
  return QSerialPort::NoParity;
}

}  // namespace

QtSerialPort::QtSerialPort() : port_(std::make_unique<QSerialPort>()) {
  QObject::connect(port_.get(), &QSerialPort::readyRead, port_.get(), [this] { TakeArrived(); });
  QObject::connect(port_.get(), &QSerialPort::errorOccurred, port_.get(),
                   [this](QSerialPort::SerialPortError error) {
                     // The device went away (a USB adapter pulled out, the other
                     // end of a virtual pair closed). Closing the port ends every
                     // wait for its queues and makes later writes skip it, instead
                     // of the program waiting on a device that will never answer.
                     // Closed from the event loop, not inside QSerialPort's own
                     // notification.
                     if (error == QSerialPort::ResourceError) {
                       const std::string reason = device_ + ": " + DeviceError();
                       QMetaObject::invokeMethod(
                           port_.get(),
                           [this, reason] {
                             if (!port_->isOpen()) {
                               return;
                             }
                             PortOpen(false);
                             if (lostHandler_) {
                               lostHandler_(reason);
                             }
                           },
                           Qt::QueuedConnection);
                     }
                   });
}

QtSerialPort::~QtSerialPort() {
  // Closing the device may emit signals; our members are going away.
  QObject::disconnect(port_.get(), nullptr, nullptr, nullptr);
}

void QtSerialPort::RefuseWhileOpen() const {
  if (port_->isOpen()) {
    throw SerialError("Operation valid only when the port is closed");
  }
}

std::string QtSerialPort::DeviceError() const { return port_->errorString().toStdString(); }

void QtSerialPort::CommPort(int number) {
  RefuseWhileOpen();
  device_ = DevicePathForPort(number);
}

void QtSerialPort::CommDevice(const std::string& path) {
  RefuseWhileOpen();
  device_ = path;
}

void QtSerialPort::Settings(const std::string& settings) {
  lineSettings_ = ParseLineSettings(settings);
  if (port_->isOpen()) {
    ApplyLineSettings();
  }
}

void QtSerialPort::ApplyLineSettings() {
  const LineSettings& s = lineSettings_;
  port_->clearError();
  // Before the open QSerialPort only remembers these; the open applies them.
  const bool applied =
      port_->setBaudRate(s.baud) && port_->setParity(ToQt(s.parity)) &&
      port_->setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits)) &&
      port_->setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
      port_->setFlowControl(QSerialPort::NoFlowControl);
  if (!applied) {
    throw SerialError("Cannot apply the port settings to " + device_ + ": " + DeviceError());
  }
}

bool QtSerialPort::PortOpen() const { return port_->isOpen(); }

void QtSerialPort::PortOpen(bool open) {
  if (open == port_->isOpen()) {
    return;
  }
  if (!open) {
    port_->close();
    received_.clear();
    return;
  }
  if (device_.empty()) {
    throw SerialError("No serial device selected");
  }
  port_->setPortName(QString::fromStdString(device_));
  ApplyLineSettings();
  port_->clearError();
  // QSerialPort takes a lock file and exclusive use of the tty, so a second
  // program (or a second of our ports) cannot open the same device.
  if (!port_->open(QIODevice::ReadWrite)) {
    throw SerialError("Cannot open " + device_ + ": " + DeviceError());
  }
  try {
    // Lines raised before this open keep their state across it.
    if (rts_) {
      ApplyModemLine(ModemLine::Rts, true);
    }
    if (dtr_) {
      ApplyModemLine(ModemLine::Dtr, true);
    }
  } catch (const SerialError&) {
    port_->close();
    throw;
  }
}

void QtSerialPort::ApplyModemLine(ModemLine line, bool enable) {
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
  // well, so that answer is no failure and is not reported.
  if (port_->error() == QSerialPort::UnsupportedOperationError) {
    port_->clearError();
    return;
  }
  throw SerialError(std::string("Cannot set ") + (line == ModemLine::Rts ? "RTS" : "DTR") + " on " +
                    device_ + ": " + DeviceError());
}

void QtSerialPort::RTSEnable(bool enable) {
  rts_ = enable;
  ApplyModemLine(ModemLine::Rts, enable);
}

void QtSerialPort::DTREnable(bool enable) {
  dtr_ = enable;
  ApplyModemLine(ModemLine::Dtr, enable);
}

void QtSerialPort::Break(bool enable) {
  if (!port_->isOpen()) {
    return;
  }
  port_->clearError();
  if (port_->setBreakEnabled(enable)) {
    return;
  }
  // A line that cannot carry a break has none to end either.
  if (port_->error() == QSerialPort::UnsupportedOperationError) {
    port_->clearError();
    return;
  }
  throw SerialError("Cannot " + std::string(enable ? "set" : "clear") + " the break on " + device_ +
                    ": " + DeviceError());
}

int QtSerialPort::InBufferCount() const {
  if (!port_->isOpen()) {
    return 0;
  }
  // Characters the system holds but the event loop has not delivered yet count
  // too, as in a serial driver's own queue: the radio's read polls this count
  // while the rest of an answer comes in. Anything found goes through
  // TakeArrived (which changes the queue behind this const call) and only posts
  // a receive event; the time-out a zero wait reports is no fault.
  if (!port_->waitForReadyRead(0)) {
    port_->clearError();
  }
  return static_cast<int>(received_.size());
}

int QtSerialPort::OutBufferCount() const {
  return port_->isOpen() ? static_cast<int>(port_->bytesToWrite()) : 0;
}

std::string QtSerialPort::Input() {
  const std::size_t take = inputLen_ > 0
                               ? std::min(received_.size(), static_cast<std::size_t>(inputLen_))
                               : received_.size();
  std::string text(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(take));
  received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(take));
  takenDuringEvent_ += take;
  return text;
}

void QtSerialPort::Output(std::string_view text) {
  if (!port_->isOpen()) {
    throw SerialError("Operation valid only when the port is open");
  }
  if (text.empty()) {
    return;
  }
  // Queued in QSerialPort, then handed to the device as far as it takes it
  // without blocking, so a relayed answer does not wait for the next pass of
  // the event loop; the rest goes out from the event loop.
  const auto size = static_cast<qint64>(text.size());
  if (port_->write(text.data(), size) != size) {
    throw SerialError("Cannot write to " + device_ + ": " + DeviceError());
  }
  port_->flush();
}

void QtSerialPort::TakeArrived() {
  const QByteArray bytes = port_->readAll();
  for (const char c : bytes) {
    if (nullDiscard_ && c == '\0') {
      continue;
    }
    received_.push_back(c);
  }
  if (!received_.empty()) {
    PostReceiveEvent();
  }
}

void QtSerialPort::PostReceiveEvent() {
  if (eventPosted_) {
    return;
  }
  eventPosted_ = true;
  QMetaObject::invokeMethod(
      port_.get(), [this] { RaiseReceiveEvent(); }, Qt::QueuedConnection);
}

void QtSerialPort::RaiseReceiveEvent() {
  eventPosted_ = false;
  if (!handler_ || rThreshold_ < 1 || received_.size() < static_cast<std::size_t>(rThreshold_)) {
    return;
  }
  const bool outermost = handlerDepth_ == 0;
  if (outermost) {
    takenDuringEvent_ = 0;
  }
  // A copy: the handler may attach another handler while it runs.
  const std::function<void()> handler = handler_;
  ++handlerDepth_;
  commEvent_ = kCommEventReceive;
  try {
    handler();
  } catch (const std::exception& e) {
    // The receive procedures report their own failures; nothing may unwind
    // through the event loop.
    qWarning("Receive event of %s: %s", device_.c_str(), e.what());
  } catch (...) {
    qWarning("Receive event of %s: unknown failure", device_.c_str());
  }
  --handlerDepth_;

  // Characters left after the handler (the rest of a burst) get another event.
  // Only when the handler took some: one that takes none would otherwise be
  // called again and again with nothing changing; new characters wake it.
  if (outermost && takenDuringEvent_ > 0 && !received_.empty()) {
    PostReceiveEvent();
  }
}

}  // namespace vantorel::bridge
