// Makes a station's TLS pair in its settings folder: a new private key
// (vantorel.key, mode 0600) and a self-signed certificate for it
// (vantorel.crt), for vantorel-nox --make-certificate and the window's Make
// Certificate button.
//
// Qt reads keys but cannot make them, so the pair is made with OpenSSL's
// libcrypto, the library Qt's own TLS runs on: an EC P-256 key from the
// system's random source, and a certificate valid for 20 years (the trust is
// pinned to the file, see tls_identity.h, so it names no host).
//
// Threading: any; it touches only the files it makes.
#pragma once

#include <filesystem>
#include <string>

namespace vantorel::ports {

struct CertificateOutcome {
  bool made = false;
  std::string text;  // what to tell the user: the files and what to do next, or why not
};

// Never replaces a pair, or half of one, that is there already.
CertificateOutcome MakeCertificatePair(const std::filesystem::path& folder);

}  // namespace vantorel::ports
