// The fuzz targets' own checks: a broken rule is named on stderr and ends the
// run as a crash, with the input kept. And the events of the targets that take
// a series of them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

#define FUZZ_REQUIRE(condition)                                                    \
  do {                                                                             \
    if (!(condition)) {                                                            \
      std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition); \
      __builtin_trap();                                                            \
    }                                                                              \
  } while (false)

namespace vantorel::fuzz {

// One event: a control byte (bits 0-2 the kind, bits 3-7 how many bytes come
// with it) and its bytes, taken from the front of `rest`.
struct Event {
  unsigned kind;
  std::string_view bytes;

  // The byte at `at`; 0 past the end.
  [[nodiscard]] std::uint8_t Byte(std::size_t at) const {
    return at < bytes.size() ? static_cast<std::uint8_t>(bytes[at]) : std::uint8_t{0};
  }
};

inline Event NextEvent(std::string_view& rest) {
  const auto control = static_cast<std::uint8_t>(rest.front());
  rest.remove_prefix(1);
  const std::string_view bytes = rest.substr(0, control >> 3);
  rest.remove_prefix(bytes.size());
  return {control & 7U, bytes};
}

}  // namespace vantorel::fuzz
