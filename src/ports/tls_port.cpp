#include "ports/tls_port.h"

#include <QElapsedTimer>
#include <QSslSocket>
#include <algorithm>
#include <memory>

#include "ports/log.h"

namespace vantorel::ports {
namespace {

std::string NotLetIn(const TlsIdentity& identity) {
  return "the far end closed the link before letting this station in: its trusted/ folder lacks "
         "this station's " +
         std::string(kCertificateFile) + " (" +
         Fingerprint(identity.Configuration().localCertificate()) +
         "), or another station holds the port (the far end's log says which)";
}

}  // namespace

TlsPort::TlsPort(std::string name, NetworkAddress address, std::filesystem::path folder)
    : TcpPort(std::move(name), std::move(address)), folder_(std::move(folder)) {
  UseHeartbeat();
}

void TlsPort::Open() {
  if (IsOpen()) {
    return;
  }
  identity_.emplace(folder_);
  TcpPort::Open();
}

SocketHandle TlsPort::Dial(const QString& host, quint16 port) {
  auto* socket = new QSslSocket;
  SocketHandle handle(socket);
  socket->setSslConfiguration(identity_->Configuration());
  refusal_.clear();
  socket->connectToHostEncrypted(host, port);
  return handle;
}

bool TlsPort::WaitUntilReady(QTcpSocket& socket, int ms) {
  auto& link = static_cast<QSslSocket&>(socket);
  bool trusted = false;
  identity_->Guard(
      link, Context(), [&trusted] { trusted = true; },
      [this](const std::string& why) { refusal_ = why; });
  QElapsedTimer waited;
  waited.start();
  link.waitForEncrypted(ms);
  QObject::disconnect(&link, nullptr, Context(), nullptr);
  if (!trusted) {
    return false;
  }
  const int left = ms - static_cast<int>(waited.elapsed());
  if (link.bytesAvailable() > 0 || link.waitForReadyRead(std::max(left, 1))) {
    return true;
  }
  if (link.state() != QAbstractSocket::ConnectedState) {
    refusal_ = NotLetIn(*identity_);
  }
  return false;
}

void TlsPort::WhenReady(QTcpSocket& socket, std::function<void()> ready) {
  auto& link = static_cast<QSslSocket&>(socket);
  const auto trusted = std::make_shared<bool>(false);
  // Connected before the caller's own handler of the attempt's end, so this
  // one still runs when that one lets the attempt go.
  QObject::connect(&link, &QSslSocket::errorOccurred, Context(), [this, trusted] {
    if (*trusted) {
      Refused(NotLetIn(*identity_));
    }
  });
  identity_->Guard(
      link, Context(),
      [this, &link, trusted, ready] {
        *trusted = true;
        QObject::connect(&link, &QSslSocket::readyRead, Context(), ready);
      },
      [this](const std::string& why) { Refused(why); });
}

std::string TlsPort::WhyNot(QTcpSocket& socket) {
  return refusal_.empty() ? TcpPort::WhyNot(socket) : refusal_;
}

void TlsPort::Refused(const std::string& why) {
  if (why != toldRefusal_) {
    toldRefusal_ = why;
    Log(station::Topic::Ports, Severity::Warning, Name() + ": " + why);
  }
}

}  // namespace vantorel::ports
