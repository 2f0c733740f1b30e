#include "ports/tls_listen_port.h"

#include <QSslSocket>
#include <QTimer>
#include <functional>
#include <memory>

#include "ports/tls_identity.h"

namespace vantorel::ports {
namespace {

// Hands on only authenticated connections. Qt's QSslServer closes a plain
// client without a word; this one says who it turned away and why.
class TlsServer final : public QTcpServer {
 public:
  TlsServer(TlsIdentity identity, std::function<void(const std::string&)> refused)
      : identity_(std::move(identity)),
        configuration_(identity_.Configuration()),
        refused_(std::move(refused)) {}

 protected:
  void incomingConnection(qintptr descriptor) override {
    auto* socket = new QSslSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
      delete socket;
      return;
    }
    socket->setSslConfiguration(configuration_);
    const std::string from = PeerText(*socket);
    const auto refuse = [this, socket, from](const std::string& why) {
      socket->disconnect(this);  // one word per connection
      refused_("refused " + from + ": " + why);
      socket->abort();
      socket->deleteLater();
    };
    // Once handed on, the connection is the port's and may outlive this server.
    const auto handedOn = std::make_shared<bool>(false);
    identity_.Guard(
        *socket, this,
        [this, socket, handedOn] {
          *handedOn = true;
          socket->disconnect(this);
          addPendingConnection(socket);
        },
        refuse);
    connect(socket, &QSslSocket::errorOccurred, this, [socket, refuse] {
      refuse("it did not complete a TLS handshake (" + socket->errorString().toStdString() + ")");
    });
    QTimer::singleShot(kHandshakeLimit, socket, [socket, handedOn, refuse] {
      if (!*handedOn && !socket->isEncrypted()) {
        refuse("no handshake within " + std::to_string(kHandshakeLimit.count() / 1000) + " s");
      }
    });
    socket->startServerEncryption();
  }

 private:
  TlsIdentity identity_;
  QSslConfiguration configuration_;
  std::function<void(const std::string&)> refused_;
};

}  // namespace

TlsListenPort::TlsListenPort(std::string name, NetworkAddress address, std::filesystem::path folder)
    : TcpListenPort(std::move(name), std::move(address)), folder_(std::move(folder)) {
  UseHeartbeat();
}

std::unique_ptr<QTcpServer> TlsListenPort::NewServer() {
  return std::make_unique<TlsServer>(TlsIdentity(folder_), [this](const std::string& text) {
    Tell({station::PortChange::Notice, text, false});
  });
}

}  // namespace vantorel::ports
