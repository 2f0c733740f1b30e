#include "ports/port_factory.h"

#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string_view>

#include "ports/device_port.h"
#include "ports/network_address.h"
#include "ports/pty_port.h"
#include "ports/rigctld_server.h"
#include "ports/sim_port.h"
#include "ports/tcp_listen_port.h"
#include "ports/tcp_port.h"
#include "ports/tls_listen_port.h"
#include "ports/tls_port.h"
#include "station/application_setup.h"
#include "station/port_names.h"

namespace vantorel::ports {
namespace {

using Made = std::shared_ptr<station::SerialPort>;
using Maker = Made (*)(const std::string& name, std::string_view rest, QtPortFactory& factory);

// `prefix` is written in lower case.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
      return false;
    }
  }
  return true;
}

// "~/..." as the user's home, as a shell would read it.
std::filesystem::path HomeExpanded(std::string_view path) {
  const char* home = std::getenv("HOME");
  if (path.starts_with("~/") && home != nullptr && *home != '\0') {
    return std::filesystem::path(home) / path.substr(2);
  }
  return path;
}

Made MakePty(const std::string& name, std::string_view rest, QtPortFactory& /*factory*/) {
  if (rest.empty()) {
    throw station::SerialError("\"" + name + "\" names no path (pty:PATH, e.g. pty:/tmp/app1)");
  }
  return std::make_shared<PtyPort>(name, HomeExpanded(rest));
}

// "sim:kenwood", or "sim:" and another model's name ("sim:ts890"), in either case.
Made MakeSim(const std::string& name, std::string_view rest, QtPortFactory& factory) {
  std::string known;
  for (const std::string_view model : sim::ModelNames()) {
    if (rest.size() == model.size() && StartsWithIgnoringCase(rest, model)) {
      return std::make_shared<SimPort>(name, factory.SimulatedRadio(model));
    }
    known += (known.empty() ? "sim:" : ", sim:") + std::string(model);
  }
  throw station::SerialError("\"" + name + "\": the simulated radio is " + known);
}

Made MakeTcp(const std::string& name, std::string_view rest, QtPortFactory& /*factory*/) {
  return std::make_shared<TcpPort>(name, ParseNetworkAddress(rest));
}

Made MakeTcpListen(const std::string& name, std::string_view rest, QtPortFactory& /*factory*/) {
  return std::make_shared<TcpListenPort>(name, ParseNetworkAddress(rest, kDefaultListenAddress));
}

Made MakeTls(const std::string& name, std::string_view rest, QtPortFactory& factory) {
  return std::make_shared<TlsPort>(name, ParseNetworkAddress(rest), factory.Folder());
}

Made MakeTlsListen(const std::string& name, std::string_view rest, QtPortFactory& factory) {
  return std::make_shared<TlsListenPort>(name, ParseNetworkAddress(rest, kDefaultTlsListenAddress),
                                         factory.Folder());
}

struct PortKind {
  std::string_view prefix;
  Maker make;
};

constexpr auto kPortKinds = std::to_array<PortKind>({
    {"pty:", &MakePty},
    {"sim:", &MakeSim},
    {"tcp:", &MakeTcp},
    {"tcp-listen:", &MakeTcpListen},
    {"tls:", &MakeTls},
    {"tls-listen:", &MakeTlsListen},
});

}  // namespace

std::shared_ptr<station::SerialPort> QtPortFactory::Make(const std::string& name) {
  for (const PortKind& kind : kPortKinds) {
    if (StartsWithIgnoringCase(name, kind.prefix)) {
      return kind.make(name, std::string_view(name).substr(kind.prefix.size()), *this);
    }
  }
  return std::make_shared<DevicePort>(name, station::DeviceForName(name));
}

std::unique_ptr<station::RigctlServer> QtPortFactory::MakeRigctlServer(
    const std::string& name, station::RigctlServerLinks links) {
  if (!StartsWithIgnoringCase(name, station::kRigctldPrefix)) {
    throw station::SerialError("\"" + name + "\" is no rigctld: port");
  }
  return std::make_unique<RigctldServer>(
      ParseNetworkAddress(std::string_view(name).substr(station::kRigctldPrefix.size()),
                          kDefaultListenAddress),
      std::move(links));
}

std::shared_ptr<sim::KenwoodRadio> QtPortFactory::SimulatedRadio(std::string_view model) {
  const sim::RadioModel* known = sim::FindModel(model);
  if (known == nullptr) {
    throw std::invalid_argument("no simulated radio " + std::string(model));
  }
  std::shared_ptr<sim::KenwoodRadio>& radio = radios_[std::string(model)];
  if (!radio) {
    radio = std::make_shared<sim::KenwoodRadio>(*known);
  }
  return radio;
}

}  // namespace vantorel::ports
