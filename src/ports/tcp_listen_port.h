// "tcp-listen:[ADDRESS:]PORT": an application's port served on the network. The
// program listens (on 127.0.0.1 unless an address is given, so nothing outside
// the machine reaches the radio by accident) and the application connects to
// it, as it would to any network serial port. An address beyond this machine
// is warned about at open: anyone who reaches it can key the transmitter.
//
// One application at a time: a second connection is closed at once and told as
// a Notice naming who holds the port. An application connecting is told as
// PeerBack, one leaving as PeerGone (after a Notice when it went without
// closing); what the station sends while none is connected goes nowhere. The
// port counts as open while it listens. The line settings are checked and
// kept; there is no line.
//
// TlsListenPort listens the same way on a server of its own that lets only
// authenticated connections through.
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

// Logs the warning for a port that lets anyone who reaches `address` key the
// transmitter, when the address is not this machine's loopback.
void WarnWhenReachableFromOutside(const std::string& portName, const QHostAddress& address);
// Makes `server` listen at the address; throws SerialError saying why it cannot.
QHostAddress ListenOn(QTcpServer& server, const NetworkAddress& address);

class TcpListenPort : public SocketPort {
 public:
  TcpListenPort(std::string name, NetworkAddress address);
  ~TcpListenPort() override;

  // Throws SerialError with the system's reason when the address cannot be
  // listened on (in use, not this machine's, a name instead of an address).
  void Open() override;
  void Close() override;
  [[nodiscard]] bool IsOpen() const override { return server_ && server_->isListening(); }

 protected:
  void ConnectionEnded(const std::string& reason, bool dead) override;
  // The listener; its pending connections are ready to carry bytes. Throws
  // SerialError when it cannot be made.
  virtual std::unique_ptr<QTcpServer> NewServer();
  // Whether anyone who reaches the port gets to the station.
  [[nodiscard]] virtual bool OpenToAnyone() const { return true; }

 private:
  void TakeConnections();

  NetworkAddress address_;
  std::unique_ptr<QTcpServer> server_;
  std::string holder_;  // who is connected, and since when
  std::string heldSince_;
};

}  // namespace vantorel::ports
