// "tcp:HOST:PORT": the radio's serial port served over the network, as ser2net
// or a network serial adapter at the antenna site publishes it: a raw TCP
// connection carrying the CAT bytes as they are. The line settings are checked
// but not sent; they belong to the far end.
//
// Open connects within kConnectLimit (looking up the name included) or throws
// SerialError with the reason, so a host that does not answer cannot hang the
// program. A connection that drops while the port is open is dialled again
// every kRetryInterval, without blocking, until it is back or the port closes.
//
// TlsPort dials the same way and makes the connection an encrypted one: it
// supplies the socket and says when the connection is ready to carry bytes.
//
// Threading: the program's one thread.
#pragma once

#include <QTimer>
#include <chrono>
#include <functional>
#include <string>

#include "ports/network_address.h"
#include "ports/socket_port.h"

namespace vantorel::ports {

// The longest a connection attempt may take, the name lookup included.
inline constexpr std::chrono::milliseconds kConnectLimit{3000};

class TcpPort : public SocketPort {
 public:
  TcpPort(std::string name, NetworkAddress address);
  ~TcpPort() override;

  void Open() override;
  void Close() override;
  [[nodiscard]] bool IsOpen() const override { return Connected(); }

 protected:
  void ConnectionEnded(const std::string& reason, bool dead) override;
  void TryComeBack() override;
  [[nodiscard]] bool CanComeBack() const override { return true; }

  // A socket for the next attempt, dialling `host` already.
  virtual SocketHandle Dial(const QString& host, quint16 port);
  // Waits at most `ms` until the connection can carry the station's bytes.
  virtual bool WaitUntilReady(QTcpSocket& socket, int ms);
  // Calls `ready` once the connection can carry them.
  virtual void WhenReady(QTcpSocket& socket, std::function<void()> ready);
  // Why an attempt failed, for the user.
  [[nodiscard]] virtual std::string WhyNot(QTcpSocket& socket);

 private:
  // Gives up the attempt under way, if any.
  void DropAttempt();

  NetworkAddress address_;
  SocketHandle attempt_;  // a connection being dialled again after a loss
  QTimer attemptLimit_;
};

}  // namespace vantorel::ports
