#include "ports/tcp_listen_port.h"

#include <QHostAddress>

namespace vantorel::ports {

TcpListenPort::TcpListenPort(std::string name, NetworkAddress address)
    : SocketPort(std::move(name)), address_(std::move(address)) {}

TcpListenPort::~TcpListenPort() { Close(); }

void TcpListenPort::Open() {
  if (IsOpen()) {
    return;
  }
  ForgetTraffic();
  const std::string where = AddressText(address_);
  const QHostAddress host(QString::fromStdString(address_.host));
  if (host.isNull()) {
    throw station::SerialError("Cannot listen on " + where +
                               ": an address of this machine is needed, not a name");
  }
  auto server = std::make_unique<QTcpServer>();
  if (!server->listen(host, address_.port)) {
    throw station::SerialError("Cannot listen on " + where + ": " +
                               server->errorString().toStdString());
  }
  QObject::connect(server.get(), &QTcpServer::newConnection, Context(),
                   [this] { TakeConnections(); });
  server_ = std::move(server);
}

void TcpListenPort::Close() {
  Detach();
  server_.reset();
  ForgetTraffic();
}

void TcpListenPort::TakeConnections() {
  while (server_ && server_->hasPendingConnections()) {
    SocketHandle socket(server_->nextPendingConnection());
    socket->setParent(nullptr);  // ours alone, however long the listener lives
    if (Connected()) {
      const std::string from =
          socket->peerAddress().toString().toStdString() + ":" + std::to_string(socket->peerPort());
      socket->abort();
      Tell({station::PortChange::Notice,
            "a second application (" + from + ") was turned away; one at a time", false});
      continue;
    }
    if (Attached()) {
      ConnectionEnded({});  // gone just now; the news of it had not come round yet
    }
    Attach(std::move(socket));
    Tell({station::PortChange::PeerBack, {}, false});
  }
}

void TcpListenPort::ConnectionEnded(const std::string& /*reason*/) {
  Detach();
  Tell({station::PortChange::PeerGone, {}, false});
}

}  // namespace vantorel::ports
