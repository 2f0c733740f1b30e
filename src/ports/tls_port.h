// "tls:HOST:PORT": the radio's side of a station at home, linked to the
// Vantorel at the antenna site that serves App 1's side on "tls-listen:". The
// link is encrypted (TLS 1.2 or newer), both ends show their certificates and
// each lets in only the other's (tls_identity.h, read from the settings folder
// at every Open), and both send the heartbeat (link_watch.h).
//
// It dials, gives up within kConnectLimit and comes back as TcpPort does. The
// connection counts as made once the site has greeted it with a first beat:
// under TLS 1.3 a site that refuses this station's certificate does so only
// after the handshake, and the user is told which side lacks what.
//
// Threading: the program's one thread.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "ports/tcp_port.h"
#include "ports/tls_identity.h"

namespace vantorel::ports {

class TlsPort final : public TcpPort {
 public:
  // `folder` holds the station's key, certificate and trusted/.
  TlsPort(std::string name, NetworkAddress address, std::filesystem::path folder);

  // Throws SerialError also when the station's identity cannot be read.
  void Open() override;

 protected:
  SocketHandle Dial(const QString& host, quint16 port) override;
  bool WaitUntilReady(QTcpSocket& socket, int ms) override;
  void WhenReady(QTcpSocket& socket, std::function<void()> ready) override;
  [[nodiscard]] std::string WhyNot(QTcpSocket& socket) override;

 private:
  // The far end was refused, or refused us: the reason, once per new reason
  // while coming back.
  void Refused(const std::string& why);

  std::filesystem::path folder_;
  std::optional<TlsIdentity> identity_;
  std::string refusal_;
  std::string toldRefusal_;
};

}  // namespace vantorel::ports
