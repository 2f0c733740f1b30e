// The station programs beyond App 1 and App 2 (a logger, WSJT-X, a panadapter),
// each on a port of its own, as the user set them up.
//
// Threading: plain values.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantorel::station {

// The most extra applications a station serves.
inline constexpr std::size_t kMostApplications = 8;

// What an extra application speaks.
enum class AppDialect {
  Kenwood,  // the radio's own commands, the radio shared with the others
  Ft950,    // an FT-950's, through the FT-950 emulation
  Rigctld,  // Hamlib's NET rigctl protocol, on a TCP server
};

// The server of Hamlib's network protocol: "rigctld:[ADDRESS:]PORT".
inline constexpr std::string_view kRigctldPrefix = "rigctld:";

struct ApplicationSetup {
  std::string name;  // as shown and logged
  std::string port;  // a port name, or "rigctld:[ADDRESS:]PORT"
  AppDialect dialect = AppDialect::Kenwood;

  friend bool operator==(const ApplicationSetup&, const ApplicationSetup&) = default;
};

// The word the settings file and the window use for a dialect.
constexpr std::string_view DialectWord(AppDialect dialect) {
  switch (dialect) {
    case AppDialect::Ft950:
      return "ft950";
    case AppDialect::Rigctld:
      return "rigctld";
    case AppDialect::Kenwood:
      break;
  }
  return "kenwood";
}

}  // namespace vantorel::station
