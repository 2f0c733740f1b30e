#include "ports/tls_identity.h"

#include <QDateTime>
#include <QFile>
#include <QSslSocket>
#include <algorithm>
#include <memory>

#include "station/serial_port.h"

namespace vantorel::ports {
namespace {

using station::SerialError;

QByteArray ReadWhole(const std::filesystem::path& file) {
  QFile in(QString::fromStdString(file.string()));
  if (!in.open(QIODevice::ReadOnly)) {
    throw SerialError("Cannot read " + file.string() + ": " + in.errorString().toStdString());
  }
  return in.readAll();
}

std::string MakeOneFirst(const std::filesystem::path& folder) {
  return "make this station's pair first (vantorel-nox --folder " + folder.string() +
         " --make-certificate, or Make Certificate in the window)";
}

}  // namespace

TlsIdentity::TlsIdentity(const std::filesystem::path& folder)
    : trustedFolder_(folder / kTrustedFolder) {
  const std::filesystem::path keyFile = folder / kKeyFile;
  const std::filesystem::path certificateFile = folder / kCertificateFile;
  for (const auto& file : {keyFile, certificateFile}) {
    if (!std::filesystem::exists(file)) {
      throw SerialError("There is no " + file.filename().string() + " in " + folder.string() +
                        ": " + MakeOneFirst(folder));
    }
  }
  const QByteArray keyText = ReadWhole(keyFile);
  for (const QSsl::KeyAlgorithm algorithm : {QSsl::Ec, QSsl::Rsa}) {
    if (key_.isNull()) {
      key_ = QSslKey(keyText, algorithm);
    }
  }
  certificate_ = QSslCertificate(ReadWhole(certificateFile));
  if (key_.isNull() || certificate_.isNull()) {
    throw SerialError((key_.isNull() ? keyFile : certificateFile).string() +
                      " holds no PEM key or certificate that can be used: " + MakeOneFirst(folder));
  }

  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(trustedFolder_, ec)) {
    if (entry.path().extension() != ".crt") {
      continue;
    }
    const QList<QSslCertificate> found = QSslCertificate::fromData(ReadWhole(entry.path()));
    if (found.isEmpty()) {
      throw SerialError(entry.path().string() + " holds no PEM certificate");
    }
    trusted_ += found;
  }
  if (trusted_.isEmpty()) {
    throw SerialError("No station is trusted: copy the other station's vantorel.crt into " +
                      trustedFolder_.string() + " (as NAME.crt)");
  }
}

QSslConfiguration TlsIdentity::Configuration() const {
  QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
  configuration.setProtocol(QSsl::TlsV1_2OrLater);
  configuration.setLocalCertificate(certificate_);
  configuration.setPrivateKey(key_);
  // Only the trusted certificates, never the system's authorities: this
  // also keeps Qt from loading those on demand.
  configuration.setCaCertificates(trusted_);
  configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
  return configuration;
}

std::string TlsIdentity::Refusal(const QSslCertificate& certificate) const {
  if (certificate.isNull()) {
    return "it showed no certificate";
  }
  if (std::find(trusted_.begin(), trusted_.end(), certificate) == trusted_.end()) {
    return "its certificate (" + Fingerprint(certificate) + ") is not one of the " +
           std::to_string(trusted_.size()) + " in " + trustedFolder_.string();
  }
  const QDateTime now = QDateTime::currentDateTimeUtc();
  if (now < certificate.effectiveDate() || now > certificate.expiryDate()) {
    return "its certificate (" + Fingerprint(certificate) + ") is valid only from " +
           certificate.effectiveDate().toString(Qt::ISODate).toStdString() + " to " +
           certificate.expiryDate().toString(Qt::ISODate).toStdString() +
           ": that station needs a new pair";
  }
  return {};
}

void TlsIdentity::Guard(QSslSocket& socket, QObject* context, std::function<void()> ready,
                        std::function<void(const std::string&)> refused) const {
  // The handlers outlive this object: they keep what they need.
  const auto identity = std::make_shared<const TlsIdentity>(*this);
  QSslSocket* guarded = &socket;
  const auto refuse = [guarded, refused](const std::string& why) {
    guarded->abort();
    refused(why);
  };
  // The complaints of the system's verification are about names and chains,
  // which a pinned certificate makes moot; the pin itself decides.
  QObject::connect(guarded, &QSslSocket::sslErrors, context,
                   [guarded, identity, refuse](const QList<QSslError>& errors) {
                     const std::string why = identity->Refusal(guarded->peerCertificate());
                     if (why.empty()) {
                       guarded->ignoreSslErrors(errors);
                     } else {
                       refuse(why);
                     }
                   });
  // Checked again when no complaint came: a trusted file that is an
  // authority would vouch for certificates that are not pinned.
  QObject::connect(guarded, &QSslSocket::encrypted, context, [guarded, identity, refuse, ready] {
    const std::string why = identity->Refusal(guarded->peerCertificate());
    if (why.empty()) {
      ready();
    } else {
      refuse(why);
    }
  });
}

std::string Fingerprint(const QSslCertificate& certificate) {
  return "SHA-256 " +
         certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper().toStdString();
}

}  // namespace vantorel::ports
