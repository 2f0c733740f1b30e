#include "ports/rigctld_server.h"

#include <QHostAddress>
#include <utility>

#include "ports/tcp_listen_port.h"
#include "station/serial_port.h"

namespace vantorel::ports {

RigctldServer::RigctldServer(NetworkAddress address, station::RigctlServerLinks links)
    : address_(std::move(address)), links_(std::move(links)) {}

RigctldServer::~RigctldServer() { Close(); }

void RigctldServer::Listen() {
  Close();
  auto server = std::make_unique<QTcpServer>();
  const QHostAddress host = ListenOn(*server, address_);
  QObject::connect(server.get(), &QTcpServer::newConnection, &context_,
                   [this] { TakeConnections(); });
  server_ = std::move(server);
  WarnWhenReachableFromOutside("rigctld:" + AddressText(address_), host);
}

void RigctldServer::Close() {
  server_.reset();
  // Without telling the station: it closes us, and unkeys as it closes.
  for (auto& [socket, client] : std::exchange(clients_, {})) {
    QObject::disconnect(socket, nullptr, &context_, nullptr);
    socket->abort();
    socket->deleteLater();
  }
}

void RigctldServer::TakeConnections() {
  while (server_ && server_->hasPendingConnections()) {
    QTcpSocket* socket = server_->nextPendingConnection();
    socket->setParent(nullptr);  // ours alone, however long the server lives
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    const std::string who =
        AddressText({socket->peerAddress().toString().toStdString(), socket->peerPort()});
    auto session = std::make_unique<rigctl::RigctlSession>(
        links_.radio, state_,
        rigctl::RigctlSession::Links{
            .send =
                [this, socket](std::string_view text) {
                  socket->write(text.data(), static_cast<qint64>(text.size()));
                  links_.request();
                },
            // Later: the session is still in its own call.
            .close =
                [socket] {
                  QMetaObject::invokeMethod(
                      socket, [socket] { socket->disconnectFromHost(); }, Qt::QueuedConnection);
                }});
    clients_.emplace(socket, Client{socket, std::move(session), who});
    QObject::connect(socket, &QTcpSocket::readyRead, &context_, [this, socket] {
      const auto found = clients_.find(socket);
      if (found != clients_.end()) {
        const QByteArray bytes = socket->readAll();
        found->second.session->Receive(std::string_view(bytes.constData(), bytes.size()));
      }
    });
    QObject::connect(socket, &QTcpSocket::disconnected, &context_,
                     [this, socket] { Gone(socket); });
    links_.client(true, false, who);
  }
}

void RigctldServer::Gone(QTcpSocket* socket) {
  const auto found = clients_.find(socket);
  if (found == clients_.end()) {
    return;
  }
  const bool keyed = found->second.session->Keyed();
  const std::string who = found->second.who;
  // A completion still on its way finds the session gone and does nothing.
  clients_.erase(found);
  socket->deleteLater();
  links_.client(false, keyed, who);
}

}  // namespace vantorel::ports
