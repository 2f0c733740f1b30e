// Pieces of a CAT message as both translations address them: positions count
// from 1 at the first command letter, the way the radio manuals number the
// characters of a command, and a piece past the end is simply empty.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

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

// The searches and comparisons below run on every message, dozens of times,
// on texts of a few characters and with needles of two to four: a plain loop
// the compiler can inline beats a call into the C library here.

constexpr bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) {
      return false;
    }
  }
  return true;
}

// `count` characters from position `at` (from 0); the caller has checked that
// they are there.
constexpr std::string_view Slice(std::string_view text, std::size_t at, std::size_t count) {
  return {text.data() + at, count};
}

constexpr bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameText(Slice(text, 0, prefix.size()), prefix);
}

// Position (from 0) of the first `part` at or after `from`, or kToEnd.
constexpr std::size_t Find(std::string_view text, std::string_view part, std::size_t from = 0) {
  if (part.size() > text.size()) {
    return kToEnd;
  }
  for (std::size_t i = from; i <= text.size() - part.size(); ++i) {
    if (text[i] == part[0] && SameText(Slice(text, i, part.size()), part)) {
      return i;
    }
  }
  return kToEnd;
}

// Position (from 0) of the last `part`, or kToEnd.
constexpr std::size_t FindLast(std::string_view text, std::string_view part) {
  if (part.size() > text.size()) {
    return kToEnd;
  }
  for (std::size_t i = text.size() - part.size() + 1; i-- > 0;) {
    if (text[i] == part[0] && SameText(Slice(text, i, part.size()), part)) {
      return i;
    }
  }
  return kToEnd;
}

constexpr bool Contains(std::string_view text, std::string_view part) {
  return Find(text, part) != kToEnd;
}

// Texts of up to seven characters packed into one number: the characters in
// the low bytes, the length in the top byte, so two such texts are equal
// exactly when their numbers are.
inline constexpr std::size_t kPackedLength = 7;

constexpr std::uint64_t Packed(std::string_view text) {
  std::uint64_t packed = std::uint64_t{text.size()} << 56;
  for (std::size_t i = 0; i < text.size() && i < kPackedLength; ++i) {
    packed |= std::uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
  }
  return packed;
}

// A whole-message table keeps its rows in the order a reader expects (bands,
// then modes, ...); this index lists their packed keys in order, worked out
// when compiling, so that a message is looked up by halving a list of numbers
// instead of comparing texts row by row. Keys must be unique and short enough
// to pack (KeysUnique, KeysWithin).
template <class Row, std::size_t N>
class TableIndex {
 public:
  constexpr TableIndex(const std::array<Row, N>& rows, std::string_view Row::*key) : rows_(&rows) {
    for (std::size_t i = 0; i < N; ++i) {
      const std::string_view text = rows[i].*key;
      shortest_ = i == 0 || text.size() < shortest_ ? text.size() : shortest_;
      longest_ = text.size() > longest_ ? text.size() : longest_;
      keys_[i] = Packed(text);
      rowOf_[i] = i;
    }
    for (std::size_t i = 1; i < N; ++i) {  // insertion sort: fine at compile time
      for (std::size_t j = i; j > 0 && keys_[j] < keys_[j - 1]; --j) {
        std::swap(keys_[j], keys_[j - 1]);
        std::swap(rowOf_[j], rowOf_[j - 1]);
      }
    }
  }

  // Every key has between 1 and `longest` characters, and `longest` packs.
  [[nodiscard]] constexpr bool KeysWithin(std::size_t longest) const {
    return shortest_ >= 1 && longest_ <= longest && longest <= kPackedLength;
  }

  [[nodiscard]] constexpr bool KeysUnique() const {
    for (std::size_t i = 1; i < N; ++i) {
      if (keys_[i] == keys_[i - 1]) {
        return false;
      }
    }
    return true;
  }

  // The row whose key equals `text`, or nullptr.
  [[nodiscard]] constexpr const Row* Find(std::string_view text) const {
    if (text.size() > longest_) {
      return nullptr;
    }
    const std::uint64_t wanted = Packed(text);
    std::size_t low = 0;
    std::size_t high = N;
    while (low < high) {
      const std::size_t middle = low + (high - low) / 2;
      if (keys_[middle] < wanted) {
        low = middle + 1;
      } else {
        high = middle;
      }
    }
    if (low < N && keys_[low] == wanted) {
      return &(*rows_)[rowOf_[low]];
    }
    return nullptr;
  }

 private:
  const std::array<Row, N>* rows_;
  std::array<std::uint64_t, N> keys_{};
  std::array<std::size_t, N> rowOf_{};
  std::size_t shortest_ = 0;
  std::size_t longest_ = 0;
};

// True when no row's key is found through `index`: two tables looked up one
// after the other must not share a key.
template <class Index, class Row, std::size_t N>
constexpr bool NoKeyIn(const Index& index, const std::array<Row, N>& rows,
                       std::string_view Row::*key) {
  for (const Row& row : rows) {
    if (index.Find(row.*key) != nullptr) {
      return false;
    }
  }
  return true;
}

constexpr char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The upper-cased copy of a short text, for the whole-message tables. Only
// ASCII letters change: App 1 and the radio speak ASCII, and the result must
// not depend on the C locale. Texts longer than N cannot match a table row and
// give an empty copy.
template <std::size_t N>
class UpperCopy {
 public:
  explicit constexpr UpperCopy(std::string_view text) {
    if (text.size() <= N) {
      size_ = text.size();
      for (std::size_t i = 0; i < size_; ++i) {
        buffer_[i] = UpperAscii(text[i]);
      }
    }
  }
  [[nodiscard]] constexpr std::string_view View() const { return {buffer_, size_}; }

 private:
  char buffer_[N] = {};
  std::size_t size_ = 0;
};

// Which capital letters occur in a text, one bit each: a cheap first test
// before searching the text for a command's letters.
constexpr std::uint32_t CapitalLetters(std::string_view text) {
  std::uint32_t letters = 0;
  for (const char c : text) {
    const auto fromA = static_cast<std::uint32_t>(static_cast<unsigned char>(c)) - 'A';
    letters |= fromA < 26 ? std::uint32_t{1} << fromA : 0;
  }
  return letters;
}

// A number as it is written into a message: plain decimal, a minus sign in
// front when negative, no blanks.
inline std::string DecimalText(std::int64_t value) { return std::to_string(value); }

}  // namespace vantorel::cat
