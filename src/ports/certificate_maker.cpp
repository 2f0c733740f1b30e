#include "ports/certificate_maker.h"

#include <fcntl.h>
#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>
#include <unistd.h>

#include <QSslCertificate>
#include <QSysInfo>
#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "ports/tls_identity.h"

namespace vantorel::ports {
namespace {

template <auto Free>
struct Freer {
  template <class T>
  void operator()(T* p) const {
    Free(p);
  }
};
using Key = std::unique_ptr<EVP_PKEY, Freer<EVP_PKEY_free>>;
using Certificate = std::unique_ptr<X509, Freer<X509_free>>;
using Memory = std::unique_ptr<BIO, Freer<BIO_free>>;
using Number = std::unique_ptr<BIGNUM, Freer<BN_free>>;
using Extension = std::unique_ptr<X509_EXTENSION, Freer<X509_EXTENSION_free>>;

constexpr long kValidDays = 20 * 365;
constexpr int kSerialBits = 127;  // positive, as a serial number must be

// OpenSSL's reason for the last failure, as an exception.
[[noreturn]] void Fail(const char* what) {
  std::string reason = what;
  if (const unsigned long code = ERR_get_error(); code != 0) {
    reason += std::string(": ") + ERR_reason_error_string(code);
  }
  ERR_clear_error();
  throw std::runtime_error(reason);
}

void Check(int result, const char* what) {
  if (result <= 0) {
    Fail(what);
  }
}

void AddExtension(X509* certificate, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx_nodb(&context);
  X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
  const Extension extension(X509V3_EXT_conf_nid(nullptr, &context, nid, value));
  if (!extension) {
    Fail("certificate extension");
  }
  Check(X509_add_ext(certificate, extension.get(), -1), "certificate extension");
}

Certificate SelfSigned(EVP_PKEY* key) {
  Certificate certificate(X509_new());
  if (!certificate) {
    Fail("certificate");
  }
  X509* c = certificate.get();
  Check(X509_set_version(c, X509_VERSION_3), "certificate version");
  const Number serial(BN_new());
  Check(serial ? BN_rand(serial.get(), kSerialBits, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY) : 0,
        "serial number");
  Check(BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(c)) != nullptr, "serial number");
  Check(X509_gmtime_adj(X509_getm_notBefore(c), 0) != nullptr, "validity");
  Check(X509_time_adj_ex(X509_getm_notAfter(c), kValidDays, 0, nullptr) != nullptr, "validity");
  Check(X509_set_pubkey(c, key), "public key");
  const std::string name = "Vantorel station " + QSysInfo::machineHostName().toStdString();
  X509_NAME* subject = X509_get_subject_name(c);
  Check(X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_UTF8,
                                   reinterpret_cast<const unsigned char*>(name.c_str()), -1, -1, 0),
        "certificate name");
  Check(X509_set_issuer_name(c, subject), "certificate name");
  AddExtension(c, NID_basic_constraints, "critical,CA:FALSE");
  AddExtension(c, NID_key_usage, "critical,digitalSignature");
  // The same pair serves as either end of a link.
  AddExtension(c, NID_ext_key_usage, "serverAuth,clientAuth");
  AddExtension(c, NID_subject_key_identifier, "hash");
  Check(X509_sign(c, key, EVP_sha256()), "signature");
  return certificate;
}

template <class Write>
std::string Pem(Write write) {
  const Memory memory(BIO_new(BIO_s_mem()));
  Check(memory ? write(memory.get()) : 0, "PEM text");
  char* data = nullptr;
  const long size = BIO_get_mem_data(memory.get(), &data);
  return {data, static_cast<std::size_t>(size)};
}

// Writes a new file that must not exist yet; false (errno kept) when it does
// or cannot be written.
bool WriteNew(const std::filesystem::path& file, const std::string& text, mode_t mode) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) {
    return false;
  }
  int failure = 0;
  if (::write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    failure = errno != 0 ? errno : EIO;  // a short write sets none
  }
  if (::close(fd) != 0 && failure == 0) {
    failure = errno;
  }
  if (failure != 0) {
    ::unlink(file.c_str());
    errno = failure;
    return false;
  }
  return true;
}

}  // namespace

CertificateOutcome MakeCertificatePair(const std::filesystem::path& folder) {
  const std::filesystem::path keyFile = folder / kKeyFile;
  const std::filesystem::path certificateFile = folder / kCertificateFile;
  for (const auto& file : {keyFile, certificateFile}) {
    if (std::filesystem::exists(std::filesystem::symlink_status(file))) {
      return {false, file.string() + " is there already and is not replaced: the stations that " +
                         "trust it would be locked out. Remove " + kKeyFile + " and " +
                         kCertificateFile + " first to make a new pair."};
    }
  }
  std::string keyText;
  std::string certificateText;
  try {
    const Key key(EVP_EC_gen("P-256"));
    if (!key) {
      Fail("key");
    }
    const Certificate certificate = SelfSigned(key.get());
    keyText = Pem([&](BIO* out) {
      return PEM_write_bio_PrivateKey(out, key.get(), nullptr, nullptr, 0, nullptr, nullptr);
    });
    certificateText = Pem([&](BIO* out) { return PEM_write_bio_X509(out, certificate.get()); });
  } catch (const std::runtime_error& e) {
    return {false, std::string("The key pair could not be made (") + e.what() + ")"};
  }
  // The key is readable by its owner only from the moment it exists.
  if (!WriteNew(keyFile, keyText, 0600)) {
    return {false, "Cannot write " + keyFile.string() + ": " + std::strerror(errno)};
  }
  if (!WriteNew(certificateFile, certificateText, 0644)) {
    const std::string reason = std::strerror(errno);
    ::unlink(keyFile.c_str());
    return {false, "Cannot write " + certificateFile.string() + ": " + reason};
  }
  // Where the other station's certificate goes.
  std::error_code ec;
  std::filesystem::create_directory(folder / kTrustedFolder, ec);
  const QSslCertificate made(QByteArray::fromStdString(certificateText));
  return {true, "Made " + keyFile.string() + " and " + certificateFile.string() + " (" +
                    Fingerprint(made) + "). Copy " + kCertificateFile +
                    " into the other station's trusted/ folder, and the other station's " +
                    kCertificateFile + " into " + (folder / kTrustedFolder).string() +
                    "/ under a name of its own ending in .crt."};
}

}  // namespace vantorel::ports
