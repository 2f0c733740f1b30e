#include "ports/tcp_port.h"

#include <QHostAddress>
#include <QHostInfo>
#include <future>
#include <memory>
#include <optional>
#include <thread>

namespace vantorel::ports {
namespace {

using Clock = std::chrono::steady_clock;

// The addresses of a host name, or nothing when the lookup does not finish in
// time. The system's lookup cannot be cut short, so it runs on a thread of its
// own that is left to finish by itself when it takes too long.
std::optional<QHostInfo> LookUp(const std::string& host, Clock::time_point deadline) {
  auto lookup = std::make_shared<std::packaged_task<QHostInfo()>>(
      [name = QString::fromStdString(host)] { return QHostInfo::fromName(name); });
  std::future<QHostInfo> found = lookup->get_future();
  std::thread([lookup] { (*lookup)(); }).detach();
  if (found.wait_until(deadline) != std::future_status::ready) {
    return std::nullopt;
  }
  return found.get();
}

}  // namespace

TcpPort::TcpPort(std::string name, NetworkAddress address)
    : SocketPort(std::move(name)), address_(std::move(address)) {
  attemptLimit_.setSingleShot(true);
  attemptLimit_.setInterval(kConnectLimit);
  QObject::connect(&attemptLimit_, &QTimer::timeout, Context(), [this] { DropAttempt(); });
}

TcpPort::~TcpPort() { Close(); }

void TcpPort::Open() {
  if (Connected()) {
    return;
  }
  StopRetrying();
  ForgetTraffic();
  const std::string where = AddressText(address_);
  const auto deadline = Clock::now() + kConnectLimit;
  // The name lookup and the wait for the far end are not the event loop's.
  HandOnGatheredWrites();
  QHostAddress host(QString::fromStdString(address_.host));
  if (host.isNull()) {
    const std::optional<QHostInfo> found = LookUp(address_.host, deadline);
    if (!found) {
      throw station::SerialError("Cannot connect to " + where + ": the name lookup took longer " +
                                 "than " + std::to_string(kConnectLimit.count() / 1000) + " s");
    }
    if (found->error() != QHostInfo::NoError || found->addresses().isEmpty()) {
      throw station::SerialError("Cannot connect to " + where + ": " +
                                 found->errorString().toStdString());
    }
    host = found->addresses().constFirst();
  }
  SocketHandle socket = Dial(host.toString(), address_.port);
  if (!WaitUntilReady(*socket, WaitMilliseconds(deadline - Clock::now()))) {
    const bool timedOut = socket->error() == QAbstractSocket::SocketTimeoutError;
    throw station::SerialError(
        "Cannot connect to " + where + ": " +
        (timedOut ? "no answer within " + std::to_string(kConnectLimit.count() / 1000) + " s"
                  : WhyNot(*socket)));
  }
  Attach(std::move(socket));
}

void TcpPort::Close() {
  StopRetrying();
  DropAttempt();
  Detach();
  ForgetTraffic();
}

void TcpPort::ConnectionEnded(const std::string& reason, bool /*dead*/) {
  Detach();
  Lose(Name() + ": " + reason);
}

void TcpPort::TryComeBack() {
  if (attempt_) {
    return;  // the last attempt is still under way
  }
  // Dialled without waiting: the event loop goes on while the far end answers.
  attemptLimit_.start();
  attempt_ = Dial(QString::fromStdString(address_.host), address_.port);
  WhenReady(*attempt_, [this] {
    attemptLimit_.stop();
    QObject::disconnect(attempt_.get(), nullptr, Context(), nullptr);
    Attach(std::move(attempt_));
    CameBack();
  });
  // Refused or unreachable: the next tick dials again. Connected after
  // WhenReady, so a kind's own handlers of the failure run first.
  QObject::connect(attempt_.get(), &QTcpSocket::errorOccurred, Context(),
                   [this] { DropAttempt(); });
}

SocketHandle TcpPort::Dial(const QString& host, quint16 port) {
  SocketHandle socket(new QTcpSocket);
  socket->connectToHost(host, port);
  return socket;
}

bool TcpPort::WaitUntilReady(QTcpSocket& socket, int ms) { return socket.waitForConnected(ms); }

void TcpPort::WhenReady(QTcpSocket& socket, std::function<void()> ready) {
  QObject::connect(&socket, &QTcpSocket::connected, Context(), std::move(ready));
}

std::string TcpPort::WhyNot(QTcpSocket& socket) { return socket.errorString().toStdString(); }

void TcpPort::DropAttempt() {
  attemptLimit_.stop();
  if (attempt_) {
    QObject::disconnect(attempt_.get(), nullptr, Context(), nullptr);
    attempt_.reset();
  }
}

}  // namespace vantorel::ports
