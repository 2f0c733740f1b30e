// What the two network port kinds share: the bytes go both ways over one TCP
// connection at a time, the line settings are checked and kept (a serial line
// at the far end, if any, has its own), and there are no modem-control lines or
// breaks to carry. The kinds decide how a connection comes (TcpPort dials it,
// TcpListenPort takes it from a listener) and what its end means.
//
// Every connection is watched for a far end that stopped answering (see
// link_watch.h); the kinds that link two Vantorels add the heartbeat.
//
// Threading: the program's one thread. The connection's end is looked at from
// the event loop, never inside a read or a wait, which must not see their
// connection go.
#pragma once

#include <QTcpSocket>
#include <QTimer>
#include <chrono>
#include <memory>
#include <string>

#include "ports/buffered_port.h"
#include "ports/link_watch.h"

namespace vantorel::ports {

// Qt objects that may be in the middle of their own signal when let go.
struct DeleteLater {
  void operator()(QObject* object) const { object->deleteLater(); }
};
using SocketHandle = std::unique_ptr<QTcpSocket, DeleteLater>;

// Who is at a connection's far end: "192.0.2.7:50123", "[2001:db8::7]:50123".
std::string PeerText(const QAbstractSocket& socket);

class SocketPort : public BufferedPort {
 public:
  void RTSEnable(bool /*enable*/) override {}
  void DTREnable(bool /*enable*/) override {}
  void Break(bool /*enable*/) override {}

 protected:
  explicit SocketPort(std::string name);

  // The far end is another Vantorel: both ends send the heartbeat, and a
  // connection on which nothing came for kDeadLinkLimit is ended.
  void UseHeartbeat() { heartbeat_ = true; }
  // The connection the bytes now go over; a second one replaces the first.
  void Attach(SocketHandle socket);
  // Lets the connection go (closed at once, deleted from the event loop).
  void Detach();
  [[nodiscard]] bool Attached() const { return socket_ != nullptr; }
  [[nodiscard]] bool Connected() const;
  // The connection ended; it is still attached. `reason` says why; `dead`:
  // the far end went without closing (it stopped answering, or reset it).
  virtual void ConnectionEnded(const std::string& reason, bool dead) = 0;
  // Who is at the far end now; empty without a connection.
  [[nodiscard]] std::string Peer() const { return socket_ ? PeerText(*socket_) : std::string(); }

  void DeviceWrite(std::string_view bytes) override;
  [[nodiscard]] std::size_t DeviceUnsent() const override;
  [[nodiscard]] std::size_t DeviceWaiting() const override;
  void Pull() override;
  bool WaitForArrival(std::chrono::microseconds most) override;

 private:
  void LookAtEnd();
  // Nothing came for kDeadLinkLimit on a link with a heartbeat.
  void WentQuiet();

  SocketHandle socket_;
  bool heartbeat_ = false;
  LinkUnframer unframer_;
  QTimer beat_;
  QTimer quiet_;  // restarted by everything that comes
  std::chrono::steady_clock::time_point lastHeard_;
};

}  // namespace vantorel::ports
