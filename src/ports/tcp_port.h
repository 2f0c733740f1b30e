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
// Threading: the program's one thread.
#pragma once

#include <QTimer>
#include <chrono>
#include <string>

#include "ports/network_address.h"
#include "ports/socket_port.h"

namespace vantorel::ports {

// The longest a connection attempt may take, the name lookup included.
inline constexpr std::chrono::milliseconds kConnectLimit{3000};

class TcpPort final : public SocketPort {
 public:
  TcpPort(std::string name, NetworkAddress address);
  ~TcpPort() override;

  void Open() override;
  void Close() override;
  [[nodiscard]] bool IsOpen() const override { return Connected(); }

 protected:
  void ConnectionEnded(const std::string& reason) override;
  void TryComeBack() override;
  [[nodiscard]] bool CanComeBack() const override { return true; }

 private:
  // Gives up the attempt under way, if any.
  void DropAttempt();

  NetworkAddress address_;
  SocketHandle attempt_;  // a connection being dialled again after a loss
  QTimer attemptLimit_;
};

}  // namespace vantorel::ports
