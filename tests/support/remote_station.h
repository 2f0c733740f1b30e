// A remote station of two vantorel-nox processes, set up as a user does: the
// site (App 1's side on "tls-listen:" or "tcp-listen:", the radio on a
// pseudo-terminal played here) and home (App 1 on a pseudo-terminal played
// here, the radio dialled at the site with "tls:" or "tcp:", No Translation),
// each with a pair made by --make-certificate and trusting the other's. On
// loopback, or each in a network namespace of its own joined by a veth pair
// (as root, with iproute2); the namespaces go with their object, and ones a
// killed test process left behind go at the next Make.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "pty_pair.h"
#include "temp_folder.h"

namespace vantorel::testing {

class NamespacePair {
 public:
  // Nothing, with the reason in `why`, where namespaces cannot be made.
  static std::unique_ptr<NamespacePair> Make(std::string& why);
  ~NamespacePair();
  NamespacePair(const NamespacePair&) = delete;
  NamespacePair& operator=(const NamespacePair&) = delete;

  static constexpr const char* kSiteAddress = "10.77.0.1";
  // `argv` run in the site's namespace, or home's.
  [[nodiscard]] std::vector<std::string> In(bool site, const std::vector<std::string>& argv) const;
  // Home's end of the link "down" (the site hears nothing more, not even a
  // reset) or "up".
  void SetLink(const char* state) const;

 private:
  NamespacePair(std::string ip, std::string tag) : ip_(std::move(ip)), tag_(std::move(tag)) {}
  bool Ip(const std::vector<std::string>& args) const;
  [[nodiscard]] std::string Name(bool site) const;
  std::string ip_, tag_;
};

class RemoteStation {
 public:
  RemoteStation(std::string nox, bool encrypted, bool ft950Emulation = false,
                const NamespacePair* namespaces = nullptr);

  // Starts the site, then home; empty once the site took home's link and
  // Settle() dropped what the ends heard of home's greeting (its AI1; and the
  // answers), else what went wrong and both logs.
  std::string Start();
  void Settle();
  // App 1 at home keys the radio (FT-950 "TX1;"); true once the site's radio heard it.
  bool Key();
  [[nodiscard]] std::string Logs() const;

  TempFolder folder;
  const std::filesystem::path site = folder.Path() / "site";
  const std::filesystem::path home = folder.Path() / "home";
  std::string address;  // the site's "ADDRESS:PORT"
  PtyPair siteRadio, homeApp1;
  std::unique_ptr<ChildProcess> siteNox, homeNox;

 private:
  std::string nox_;
  const NamespacePair* namespaces_;
  bool ft950Emulation_;
};

}  // namespace vantorel::testing
