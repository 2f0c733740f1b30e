#include "ports/socket_port.h"

#include <QHostAddress>
#include <QMetaObject>

#include "ports/log.h"
#include "ports/network_address.h"

namespace vantorel::ports {

using Clock = std::chrono::steady_clock;

std::string PeerText(const QAbstractSocket& socket) {
  QHostAddress address = socket.peerAddress();
  bool mappedV4 = false;
  const quint32 v4 = address.toIPv4Address(&mappedV4);
  if (mappedV4) {
    address = QHostAddress(v4);  // "::ffff:192.0.2.7" as the user knows it
  }
  return AddressText({address.toString().toStdString(), socket.peerPort()});
}

SocketPort::SocketPort(std::string name) : BufferedPort(std::move(name)) {
  beat_.setInterval(kHeartbeatInterval);
  QObject::connect(&beat_, &QTimer::timeout, Context(), [this] {
    if (Connected()) {
      socket_->write(kHeartbeat.data(), static_cast<qint64>(kHeartbeat.size()));
    }
  });
  quiet_.setInterval(kDeadLinkLimit);
  quiet_.setSingleShot(true);
  quiet_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&quiet_, &QTimer::timeout, Context(), [this] { WentQuiet(); });
}

void SocketPort::Attach(SocketHandle socket) {
  Detach();
  socket_ = std::move(socket);
  // CAT commands are a few bytes each and wait for their answer: each goes
  // out at once instead of waiting to fill a packet.
  socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  if (const std::string refused = WatchForDeadPeer(static_cast<int>(socket_->socketDescriptor()));
      !refused.empty()) {
    Log(station::Topic::Ports, Severity::Warning,
        Name() + ": a dead link would go unnoticed here (" + refused + ")");
  }
  QTcpSocket* raw = socket_.get();
  QObject::connect(raw, &QTcpSocket::readyRead, Context(), [this] { Pull(); });
  QObject::connect(raw, &QTcpSocket::bytesWritten, Context(), [this] { DeviceTookSome(); });
  const auto ended = [this] {
    QMetaObject::invokeMethod(
        Context(), [this] { LookAtEnd(); }, Qt::QueuedConnection);
  };
  QObject::connect(raw, &QTcpSocket::disconnected, Context(), ended);
  QObject::connect(raw, &QTcpSocket::errorOccurred, Context(), ended);
  lastHeard_ = Clock::now();
  if (heartbeat_) {
    unframer_ = {};
    // The first beat at once: a dialling end takes it as the sign that it
    // was let in.
    socket_->write(kHeartbeat.data(), static_cast<qint64>(kHeartbeat.size()));
    beat_.start();
    quiet_.start();
  }
  Pull();  // what came before the handlers were there
}

void SocketPort::Detach() {
  beat_.stop();
  quiet_.stop();
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
  const bool closed = socket_->error() == QAbstractSocket::RemoteHostClosedError;
  std::string reason = socket_->errorString().toStdString();
  if (!closed) {
    reason += " (nothing received for " + SecondsText(Clock::now() - lastHeard_) + ")";
  }
  ConnectionEnded(reason, !closed);
}

void SocketPort::WentQuiet() {
  if (!socket_) {
    return;
  }
  Pull();  // what came just now counts
  if (quiet_.isActive()) {
    return;
  }
  QObject::disconnect(socket_.get(), nullptr, Context(), nullptr);
  ConnectionEnded("nothing received for " + SecondsText(Clock::now() - lastHeard_) +
                      ", not even the heartbeat: the link is taken as dead",
                  true);
}

void SocketPort::DeviceWrite(std::string_view bytes) {
  if (!Connected()) {
    return;  // nobody at the far end: the text goes nowhere
  }
  if (heartbeat_) {
    const std::string framed = FrameForLink(bytes);
    socket_->write(framed.data(), static_cast<qint64>(framed.size()));
  } else {
    socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
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
  if (!socket_ || socket_->bytesAvailable() <= 0) {
    return;
  }
  const QByteArray bytes = socket_->readAll();
  const std::string_view received(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  lastHeard_ = Clock::now();
  if (!heartbeat_) {
    Arrived(received);
    return;
  }
  quiet_.start();
  if (const std::string data = unframer_.Unframe(received); !data.empty()) {
    Arrived(data);
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
