#include "ports/socket_port.h"

#include <QMetaObject>

namespace vantorel::ports {

void SocketPort::Attach(SocketHandle socket) {
  Detach();
  socket_ = std::move(socket);
  // CAT commands are a few bytes each and wait for their answer: each goes
  // out at once instead of waiting to fill a packet.
  socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  QTcpSocket* raw = socket_.get();
  QObject::connect(raw, &QTcpSocket::readyRead, Context(), [this] { Pull(); });
  QObject::connect(raw, &QTcpSocket::bytesWritten, Context(), [this] { DeviceTookSome(); });
  const auto ended = [this] {
    QMetaObject::invokeMethod(
        Context(), [this] { LookAtEnd(); }, Qt::QueuedConnection);
  };
  QObject::connect(raw, &QTcpSocket::disconnected, Context(), ended);
  QObject::connect(raw, &QTcpSocket::errorOccurred, Context(), ended);
}

void SocketPort::Detach() {
  if (!socket_) {
    return;
  }
  QObject::disconnect(socket_.get(), nullptr, Context(), nullptr);
  socket_->abort();
  socket_.reset();
}

bool SocketPort::Connected() const {
  return socket_ && socket_->state() == QAbstractSocket::ConnectedState;
}

void SocketPort::LookAtEnd() {
  if (!socket_ || socket_->state() == QAbstractSocket::ConnectedState) {
    return;  // already let go, or an error the connection outlived
  }
  // What the far end sent before it went is still the station's to read.
  Pull();
  ConnectionEnded(socket_->errorString().toStdString());
}

void SocketPort::DeviceWrite(std::string_view bytes) {
  if (!Connected()) {
    return;  // nobody at the far end: the text goes nowhere
  }
  socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
  // Handed to the system now, so an answer does not wait for the next pass of
  // the event loop; what the system cannot take yet follows from the loop.
  socket_->flush();
}

std::size_t SocketPort::DeviceUnsent() const {
  return Connected() ? static_cast<std::size_t>(socket_->bytesToWrite()) : 0;
}

std::size_t SocketPort::DeviceWaiting() const {
  return socket_ ? static_cast<std::size_t>(socket_->bytesAvailable()) : 0;
}

void SocketPort::Pull() {
  if (socket_ && socket_->bytesAvailable() > 0) {
    const QByteArray bytes = socket_->readAll();
    Arrived(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  }
}

bool SocketPort::WaitForArrival(std::chrono::microseconds most) {
  if (!Connected()) {
    return false;
  }
  const bool arrived = socket_->waitForReadyRead(WaitMilliseconds(most));
  Pull();
  return arrived;
}

}  // namespace vantorel::ports
