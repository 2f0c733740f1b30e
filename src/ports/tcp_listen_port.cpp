#include "ports/tcp_listen_port.h"

#include <QHostAddress>
#include <QTime>

#include "ports/log.h"

namespace vantorel::ports {

void WarnWhenReachableFromOutside(const std::string& portName, const QHostAddress& address) {
  if (address.isLoopback()) {
    return;
  }
  Log(station::Topic::Ports, Severity::Warning,
      portName + " listens on " + address.toString().toStdString() +
          ", beyond this machine: anyone who can reach it can key the transmitter. Over a "
          "network, use tls-listen: (see \"Remote station\" in the README).");
}

QHostAddress ListenOn(QTcpServer& server, const NetworkAddress& address) {
  const std::string where = AddressText(address);
  const QHostAddress host(QString::fromStdString(address.host));
  if (host.isNull()) {
    throw station::SerialError("Cannot listen on " + where +
                               ": an address of this machine is needed, not a name");
  }
  if (!server.listen(host, address.port)) {
    throw station::SerialError("Cannot listen on " + where + ": " +
                               server.errorString().toStdString());
  }
  return host;
}

TcpListenPort::TcpListenPort(std::string name, NetworkAddress address)
    : SocketPort(std::move(name)), address_(std::move(address)) {}

TcpListenPort::~TcpListenPort() { Close(); }

void TcpListenPort::Open() {
  if (IsOpen()) {
    return;
  }
  ForgetTraffic();
  std::unique_ptr<QTcpServer> server = NewServer();
  const QHostAddress host = ListenOn(*server, address_);
  // Emitted for a connection once it is ready (for an encrypted one, once
  // its far end is authenticated), unlike newConnection.
  QObject::connect(server.get(), &QTcpServer::pendingConnectionAvailable, Context(),
                   [this] { TakeConnections(); });
  server_ = std::move(server);
  if (OpenToAnyone()) {
    WarnWhenReachableFromOutside(Name(), host);
  }
}

std::unique_ptr<QTcpServer> TcpListenPort::NewServer() { return std::make_unique<QTcpServer>(); }

void TcpListenPort::Close() {
  Detach();
  holder_.clear();
  server_.reset();
  ForgetTraffic();
}

void TcpListenPort::TakeConnections() {
  while (server_ && server_->hasPendingConnections()) {
    SocketHandle socket(server_->nextPendingConnection());
    socket->setParent(nullptr);  // ours alone, however long the listener lives
    if (Connected()) {
      const std::string from = PeerText(*socket);
      socket->abort();
      Tell({station::PortChange::Notice,
            "a second application (" + from + ") was turned away: the port is held by " + holder_ +
                " (since " + heldSince_ + "); one at a time",
            false});
      continue;
    }
    if (Attached()) {
      ConnectionEnded({}, false);  // gone just now; the news of it had not come round yet
    }
    Attach(std::move(socket));
    holder_ = Peer();
    heldSince_ = QTime::currentTime().toString("HH:mm:ss").toStdString();
    Tell({station::PortChange::PeerBack, {}, false});
  }
}

void TcpListenPort::ConnectionEnded(const std::string& reason, bool dead) {
  if (dead) {
    Tell({station::PortChange::Notice, "the link to " + holder_ + " ended: " + reason, false});
  }
  Detach();
  holder_.clear();
  Tell({station::PortChange::PeerGone, {}, false});
}

}  // namespace vantorel::ports
