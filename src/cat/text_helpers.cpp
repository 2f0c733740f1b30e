#include "cat/text_helpers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace vantorel::cat {
namespace {

// Blanks a number may contain: the settings file and the radio's fixed-width
// fields pad with them, and App 1 sometimes puts one after the command letters.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The characters of a number, with the blanks between them passed over.
class NumberReader {
 public:
  explicit NumberReader(std::string_view text) : text_(text) { SkipBlanks(); }

  // The current character; '\0' at the end, which continues no number.
  [[nodiscard]] char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }

  void Next() {
    ++at_;
    SkipBlanks();
  }

  // Takes a "+" or "-" if one stands here; true for "-".
  bool TakeSign() {
    const char c = Peek();
    if (c != '+' && c != '-') {
      return false;
    }
    Next();
    return c == '-';
  }

 private:
  void SkipBlanks() {
    while (at_ < text_.size() && IsBlank(text_[at_])) {
      ++at_;
    }
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

// More significant digits than a double can tell apart; the rest only count
// for the size of the number.
constexpr std::size_t kMaxSignificant = 40;

// Past any double's range; keeps the exponent arithmetic from overflowing.
constexpr long long kExponentLimit = 1'000'000;

// Integers of up to 15 digits and powers of ten up to 1E22 are exact doubles.
constexpr std::size_t kExactDigits = 15;
constexpr long long kExactPower = 22;
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

}  // namespace

double LeadingNumber(std::string_view text) {
  NumberReader in(text);
  const bool negative = in.TakeSign();

  // The number is rebuilt as 0.<significant digits> times ten to `exponent` in
  // a small buffer and handed to from_chars, which ignores the locale (the
  // window toolkit may switch the C locale to one with a decimal comma).
  char buffer[kMaxSignificant + 32] = {'0', '.'};
  std::size_t significant = 0;
  std::uint64_t mantissa = 0;  // the significant digits while there are few
  long long exponent = 0;
  bool seenPoint = false;
  for (char c = in.Peek(); IsDigit(c) || (c == '.' && !seenPoint); in.Next(), c = in.Peek()) {
    if (c == '.') {
      seenPoint = true;
    } else if (c == '0' && significant == 0) {
      if (seenPoint && exponent > -kExponentLimit) {
        --exponent;  // a zero right after the point
      }
    } else {
      if (significant < kMaxSignificant) {
        buffer[2 + significant++] = c;
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
      }
      if (!seenPoint && exponent < kExponentLimit) {
        ++exponent;
      }
    }
  }
  if (significant == 0) {
    return 0.0;  // no number, or only zeros: an exponent cannot change that
  }

  // Exponent: E or D (the old double-precision letter), optional sign, digits.
  // Without a digit after it the letter adds nothing, and reading ends there.
  if (const char c = in.Peek(); c == 'E' || c == 'e' || c == 'D' || c == 'd') {
    in.Next();
    const bool exponentNegative = in.TakeSign();
    long long written = 0;
    for (char d = in.Peek(); IsDigit(d); in.Next(), d = in.Peek()) {
      if (written < kExponentLimit) {
        written = written * 10 + (d - '0');
      }
    }
    exponent += exponentNegative ? -written : written;
  }

  // Few digits and a small power of ten: one exact multiplication or division
  // gives the correctly rounded value, as from_chars would, only faster.
  const long long shift = exponent - static_cast<long long>(significant);
  if (significant <= kExactDigits && shift >= -kExactPower && shift <= kExactPower) {
    const double magnitude = static_cast<double>(mantissa);
    const double value =
        shift >= 0 ? magnitude * kPowersOfTen[shift] : magnitude / kPowersOfTen[-shift];
    return negative ? -value : value;
  }

  char* end = buffer + 2 + significant;
  *end++ = 'e';
  end = std::to_chars(end, buffer + sizeof buffer, exponent).ptr;

  double value = 0.0;
  const auto result = std::from_chars(buffer, end, value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    // Beyond a double: too large reads as infinity, too small as zero.
    value = exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (result.ec != std::errc{}) {
    value = 0.0;
  }
  return negative ? -value : value;
}

double NearestEven(double value) {
  if (!std::isfinite(value)) {
    return value;
  }
  const double below = std::floor(value);
  const double fraction = value - below;
  if (fraction < 0.5) {
    return below;
  }
  if (fraction > 0.5) {
    return below + 1.0;
  }
  return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

std::optional<std::int16_t> ToInt16(double value) {
  const double whole = NearestEven(value);
  if (!(whole >= std::numeric_limits<std::int16_t>::min() &&
        whole <= std::numeric_limits<std::int16_t>::max())) {
    return std::nullopt;  // also NaN
  }
  return static_cast<std::int16_t>(whole);
}

std::optional<long> FixedWidthNumber(std::string_view text, std::size_t width) {
  if (width == 0 || text.size() != width) {
    return std::nullopt;
  }
  long value = 0;
  for (const char c : text) {
    if (!IsDigit(c)) {
      return std::nullopt;
    }
    value = value * 10 + (c - '0');
  }
  return value;
}

std::string ZeroFill(std::string digits, std::size_t width) {
  if (digits.size() < width) {
    digits.insert(0, width - digits.size(), '0');
  }
  return digits;
}

std::uint64_t CountMessages(std::string_view text, char terminator) {
  const auto ends = static_cast<std::uint64_t>(std::count(text.begin(), text.end(), terminator));
  return ends > 0 || text.empty() ? ends : 1;
}

}  // namespace vantorel::cat
