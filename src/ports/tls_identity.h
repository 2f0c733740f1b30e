// A station's TLS identity and the stations it lets in, from its settings
// folder:
//
//   vantorel.key    its private key (PEM, readable by its owner only)
//   vantorel.crt    its certificate (PEM): the other station trusts this file
//   trusted/*.crt   the certificates of the stations it lets in (PEM)
//
// Trust is pinned: a peer gets in only with a certificate that is one of those
// in trusted/, byte for byte, and within its validity dates. No authority
// vouches for anyone, so self-signed certificates (as MakeCertificatePair
// makes them) are the normal case, and the name in a certificate and the
// chain built for it do not matter. Both ends show their certificate.
//
// Threading: the program's one thread.
#pragma once

#include <QList>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <filesystem>
#include <functional>
#include <string>

class QObject;
class QSslSocket;

namespace vantorel::ports {

inline constexpr const char* kKeyFile = "vantorel.key";
inline constexpr const char* kCertificateFile = "vantorel.crt";
inline constexpr const char* kTrustedFolder = "trusted";

class TlsIdentity {
 public:
  // Reads the files in `folder`. Throws station::SerialError naming what is
  // missing or unreadable, and what to do about it.
  explicit TlsIdentity(const std::filesystem::path& folder);

  // TLS 1.2 or newer, this station's certificate and key, the peer's
  // certificate required.
  [[nodiscard]] QSslConfiguration Configuration() const;

  // Watches the handshake on `socket`: `ready` once its peer is trusted; else
  // the socket is aborted and `refused` told why. The handlers live as long as
  // `context` and the socket both do.
  void Guard(QSslSocket& socket, QObject* context, std::function<void()> ready,
             std::function<void(const std::string&)> refused) const;

  // Why a peer showing `certificate` is not let in; empty when it is.
  [[nodiscard]] std::string Refusal(const QSslCertificate& certificate) const;

 private:
  std::filesystem::path trustedFolder_;
  QSslCertificate certificate_;
  QSslKey key_;
  QList<QSslCertificate> trusted_;
};

// "SHA-256 AB:CD:...": a certificate as the log names it (as `openssl x509
// -fingerprint -sha256` shows it).
std::string Fingerprint(const QSslCertificate& certificate);

}  // namespace vantorel::ports
