// "tcp-listen:[ADDRESS:]PORT": an application's port served on the network. The
// program listens (on 127.0.0.1 unless an address is given, so nothing outside
// the machine reaches the radio by accident) and the application connects to
// it, as it would to any network serial port.
//
// One application at a time: a second connection is closed at once and told as
// a Notice. An application connecting is told as PeerBack, one leaving as
// PeerGone; what the station sends while none is connected goes nowhere. The
// port counts as open while it listens. The line settings are checked and
// kept; there is no line.
//
// Threading: the program's one thread.
#pragma once

#include <QTcpServer>
#include <memory>
#include <string>

#include "ports/network_address.h"
#include "ports/socket_port.h"

namespace vantorel::ports {

// Where a listening port listens when its name gives no address.
inline constexpr const char* kDefaultListenAddress = "127.0.0.1";

class TcpListenPort final : public SocketPort {
 public:
  TcpListenPort(std::string name, NetworkAddress address);
  ~TcpListenPort() override;

  // Throws SerialError with the system's reason when the address cannot be
  // listened on (in use, not this machine's, a name instead of an address).
  void Open() override;
  void Close() override;
  [[nodiscard]] bool IsOpen() const override { return server_ && server_->isListening(); }

 protected:
  void ConnectionEnded(const std::string& reason) override;

 private:
  void TakeConnections();

  NetworkAddress address_;
  std::unique_ptr<QTcpServer> server_;
};

}  // namespace vantorel::ports
