#include "cat/text_helpers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vantorel::cat {
namespace {

// Blanks a number may contain: the settings file and the radio's fixed-width
// fields pad with them, and App 1 sometimes puts one after the command letters.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The number is rebuilt without blanks in a small buffer and handed to
// from_chars, which ignores the locale (the window toolkit may switch the C
// locale to one with a decimal comma).
class NumberText {
 public:
  void Add(char c) {
    if (size_ < kCapacity) {
      buffer_[size_++] = c;
    } else {
      truncated_ = true;
    }
  }
  [[nodiscard]] std::size_t Size() const { return size_; }
  [[nodiscard]] bool Truncated() const { return truncated_; }
  [[nodiscard]] const char* Begin() const { return buffer_; }
  [[nodiscard]] const char* End() const { return buffer_ + size_; }

 private:
  static constexpr std::size_t kCapacity = 512;
  char buffer_[kCapacity] = {};
  std::size_t size_ = 0;
  bool truncated_ = false;
};

}  // namespace

double LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  const auto skipBlanks = [&] {
    while (i < text.size() && IsBlank(text[i])) {
      ++i;
    }
  };

  bool negative = false;
  skipBlanks();
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }

  // Mantissa: digits with at most one decimal point. Leading zeros are left out
  // so that a long run of them cannot crowd the buffer.
  NumberText number;
  bool anyDigit = false;
  bool seenPoint = false;
  bool seenNonZero = false;
  long long magnitude = 0;  // decimal places before the point, for the range test
  for (skipBlanks(); i < text.size(); ++i, skipBlanks()) {
    const char c = text[i];
    if (IsDigit(c)) {
      anyDigit = true;
      if (c != '0' || seenNonZero || seenPoint) {
        number.Add(c);
      }
      if (c != '0') {
        seenNonZero = true;
      }
      if (!seenPoint && seenNonZero) {
        ++magnitude;
      } else if (seenPoint && !seenNonZero) {
        --magnitude;
      }
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
      number.Add('.');
    } else {
      break;
    }
  }
  if (!anyDigit || !seenNonZero) {
    return 0.0;  // no number, or only zeros: the exponent cannot change that
  }

  // Exponent: E or D (the old double-precision letter), optional sign, digits.
  // Without a digit after it the letter does not belong to the number.
  long long exponent = 0;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::size_t j = i + 1;
    const auto skipBlanksAt = [&] {
      while (j < text.size() && IsBlank(text[j])) {
        ++j;
      }
    };
    skipBlanksAt();
    bool exponentNegative = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
      exponentNegative = text[j] == '-';
      ++j;
    }
    skipBlanksAt();
    if (j < text.size() && IsDigit(text[j])) {
      constexpr long long kSaturated = 1'000'000;  // far past any double
      for (; j < text.size() && IsDigit(text[j]); ++j, skipBlanksAt()) {
        if (exponent < kSaturated) {
          exponent = exponent * 10 + (text[j] - '0');
        }
      }
      if (exponentNegative) {
        exponent = -exponent;
      }
    }
  }

  // Digits beyond the buffer cannot change a double; past the point they are
  // simply dropped, before it they still count for the size of the number.
  if (number.Truncated() && !seenPoint) {
    exponent += magnitude - static_cast<long long>(number.Size());
    magnitude = static_cast<long long>(number.Size());
  }

  NumberText full;
  for (const char* p = number.Begin(); p != number.End(); ++p) {
    full.Add(*p);
  }
  if (exponent != 0) {
    full.Add('e');
    for (const char c : std::to_string(exponent)) {
      full.Add(c);
    }
  }

  double value = 0.0;
  const auto [end, error] =
      std::from_chars(full.Begin(), full.End(), value, std::chars_format::general);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    // Out of a double's range: too large reads as infinity, too small as zero.
    value = magnitude + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (error != std::errc{}) {
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

std::string ZeroFill(std::string digits, std::size_t width) {
  if (digits.size() < width) {
    digits.insert(0, width - digits.size(), '0');
  }
  return digits;
}

}  // namespace vantorel::cat
