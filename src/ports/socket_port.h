// What the two network port kinds share: the bytes go both ways over one TCP
// connection at a time, the line settings are checked and kept (a serial line
// at the far end, if any, has its own), and there are no modem-control lines or
// breaks to carry. The kinds decide how a connection comes (TcpPort dials it,
// TcpListenPort takes it from a listener) and what its end means.
//
// Threading: the program's one thread. The connection's end is looked at from
// the event loop, never inside a read or a wait, which must not see their
// connection go.
#pragma once

#include <QTcpSocket>
#include <memory>
#include <string>

#include "ports/buffered_port.h"

namespace vantorel::ports {

// Qt objects that may be in the middle of their own signal when let go.
struct DeleteLater {
  void operator()(QObject* object) const { object->deleteLater(); }
};
using SocketHandle = std::unique_ptr<QTcpSocket, DeleteLater>;

class SocketPort : public BufferedPort {
 public:
  void RTSEnable(bool /*enable*/) override {}
  void DTREnable(bool /*enable*/) override {}
  void Break(bool /*enable*/) override {}

 protected:
  using BufferedPort::BufferedPort;

  // The connection the bytes now go over; a second one replaces the first.
  void Attach(SocketHandle socket);
  // Lets the connection go (closed at once, deleted from the event loop).
  void Detach();
  [[nodiscard]] bool Attached() const { return socket_ != nullptr; }
  [[nodiscard]] bool Connected() const;
  // The connection ended; it is still attached. `reason` is Qt's word on why.
  virtual void ConnectionEnded(const std::string& reason) = 0;

  void DeviceWrite(std::string_view bytes) override;
  [[nodiscard]] std::size_t DeviceUnsent() const override;
  [[nodiscard]] std::size_t DeviceWaiting() const override;
  void Pull() override;
  bool WaitForArrival(std::chrono::microseconds most) override;

 private:
  void LookAtEnd();

  SocketHandle socket_;
};

}  // namespace vantorel::ports
