#include "ports/network_address.h"

#include <charconv>

#include "station/serial_port.h"

namespace vantorel::ports {
namespace {

constexpr std::uint16_t kLowestPort = 1;

[[noreturn]] void Refuse(std::string_view text, std::string_view why) {
  throw station::SerialError("Not a network address: \"" + std::string(text) + "\" (" +
                             std::string(why) + ")");
}

}  // namespace

NetworkAddress ParseNetworkAddress(std::string_view text, std::string_view defaultHost) {
  NetworkAddress address;
  std::string_view portText = text;
  if (text.starts_with('[')) {
    const auto close = text.find("]:");
    if (close == std::string_view::npos) {
      Refuse(text, "an IPv6 address in brackets needs \":PORT\" after them");
    }
    address.host = text.substr(1, close - 1);
    portText = text.substr(close + 2);
  } else if (const auto colon = text.rfind(':'); colon != std::string_view::npos) {
    address.host = text.substr(0, colon);
    portText = text.substr(colon + 1);
  }
  if (address.host.empty()) {
    if (defaultHost.empty()) {
      Refuse(text, "HOST:PORT expected");
    }
    address.host = defaultHost;
  }
  unsigned number = 0;
  const auto [end, error] =
      std::from_chars(portText.data(), portText.data() + portText.size(), number);
  if (portText.empty() || error != std::errc() || end != portText.data() + portText.size() ||
      number < kLowestPort || number > UINT16_MAX) {
    Refuse(text, "the port is a number from 1 to 65535");
  }
  address.port = static_cast<std::uint16_t>(number);
  return address;
}

std::string AddressText(const NetworkAddress& address) {
  const bool v6 = address.host.find(':') != std::string::npos;
  return (v6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

}  // namespace vantorel::ports
