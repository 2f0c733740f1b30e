// The address part of the network port names: "HOST:PORT" for "tcp:" and
// "[ADDRESS:]PORT" for "tcp-listen:". An IPv6 address goes in brackets
// ("[::1]:4532"), since its own colons would hide the port's.
//
// Plain C++. Threading: pure functions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantorel::ports {

struct NetworkAddress {
  std::string host;  // a name or an address, without brackets
  std::uint16_t port = 0;
  bool operator==(const NetworkAddress&) const = default;
};

// Reads "HOST:PORT". Without a host part, `defaultHost` stands in when one is
// given; with none given, or with a port that is not a number from 1 to 65535,
// throws station::SerialError saying which form is expected.
NetworkAddress ParseNetworkAddress(std::string_view text, std::string_view defaultHost = {});

// "host:port", with brackets around an IPv6 address: for messages.
std::string AddressText(const NetworkAddress& address);

}  // namespace vantorel::ports
