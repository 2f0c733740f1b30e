// Pieces of a CAT message as both translations address them: positions count
// from 1 at the first command letter, the way the radio manuals number the
// characters of a command, and a piece past the end is simply empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantorel::cat {

inline constexpr std::size_t kToEnd = std::string_view::npos;

// Up to `count` characters from position `first` (counted from 1).
constexpr std::string_view Mid(std::string_view text, std::size_t first,
                               std::size_t count = kToEnd) {
  if (first == 0 || first > text.size()) {
    return {};
  }
  return text.substr(first - 1, count);
}

// The last `count` characters, or the whole text when it is shorter.
constexpr std::string_view Right(std::string_view text, std::size_t count) {
  return count >= text.size() ? text : text.substr(text.size() - count);
}

constexpr bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The upper-cased copy used by the whole-message tables. Only ASCII letters
// change: App 1 and the radio speak ASCII, and the result must not depend on
// the C locale.
inline void UpperInto(std::string_view text, std::string& out) {
  out.assign(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    }
  }
}

// A number as it is written into a message: plain decimal, a minus sign in
// front when negative, no blanks.
inline std::string DecimalText(std::int64_t value) { return std::to_string(value); }

}  // namespace vantorel::cat
