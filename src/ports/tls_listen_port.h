// "tls-listen:[ADDRESS:]PORT": App 1's side of the station at the antenna
// site, for the Vantorel at home that dials it with "tls:". It listens on
// every IPv4 address of the machine unless an address is given ("[::]" for
// IPv6), as TcpListenPort does one application at a time, with TLS 1.2 or
// newer, and both ends' certificates (tls_identity.h, read from the settings
// folder at every Open) and the heartbeat (link_watch.h).
//
// Nobody else gets in: a connection reaches the station only after its
// handshake, with a pinned certificate. A peer that shows no certificate or an
// untrusted one, a plain TCP client, and one that does not finish its
// handshake within kHandshakeLimit are closed and told as a Notice with their
// address (and the certificate's fingerprint where one was shown); not a byte
// of theirs reaches the radio.
//
// Threading: the program's one thread.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "ports/tcp_listen_port.h"

namespace vantorel::ports {

inline constexpr const char* kDefaultTlsListenAddress = "0.0.0.0";
inline constexpr std::chrono::milliseconds kHandshakeLimit{5000};

class TlsListenPort final : public TcpListenPort {
 public:
  // `folder` holds the station's key, certificate and trusted/.
  TlsListenPort(std::string name, NetworkAddress address, std::filesystem::path folder);

 protected:
  std::unique_ptr<QTcpServer> NewServer() override;
  [[nodiscard]] bool OpenToAnyone() const override { return false; }

 private:
  std::filesystem::path folder_;
};

}  // namespace vantorel::ports
