#include "rigctl/c_numbers.h"

#include <array>
#include <cctype>
#include <charconv>

namespace vantorel::rigctl {
namespace {

// scanf skips blanks and takes a '+' that from_chars refuses.
std::string_view NumberStart(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
    text.remove_prefix(1);
  }
  if (text.starts_with('+') && !text.substr(1).starts_with('-')) {
    text.remove_prefix(1);
  }
  return text;
}

template <typename Number>
std::optional<Number> Scan(std::string_view text) {
  text = NumberStart(text);
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{}) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<double> ScanDouble(std::string_view text) { return Scan<double>(text); }

std::optional<float> ScanFloat(std::string_view text) { return Scan<float>(text); }

std::optional<long> ScanLong(std::string_view text) { return Scan<long>(text); }

std::string FixedSix(double value) {
  std::array<char, 400> digits{};  // room for DBL_MAX written out in full
  const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value,
                                    std::chars_format::fixed, 6);
  return {digits.data(), result.ptr};
}

std::string HexNumber(std::uint64_t value) {
  std::array<char, 16> digits{};
  const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value, 16);
  return "0x" + std::string(digits.data(), result.ptr);
}

}  // namespace vantorel::rigctl
