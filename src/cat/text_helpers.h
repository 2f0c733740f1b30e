// Small text helpers shared by the translations, the settings file, port setup
// and the transmit supervision.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantorel::cat {

// The leading decimal number of a group of characters: blanks are skipped, an
// optional sign, digits, a fraction and an exponent are read, and reading stops
// at the first character that cannot continue the number ("015;" reads 15).
// No number at all gives 0. Blanks inside the number are skipped too ("1 80"
// reads 180), "E" or "D" starts an exponent, and a number beyond a double's
// range reads as infinity with its sign. Independent of the C locale.
double LeadingNumber(std::string_view text);

// A double brought to the nearest integer, exact halves to the even neighbour
// (4.5 gives 4, 7.5 gives 8).
double NearestEven(double value);

// NearestEven(value) as a 16-bit signed number; nullopt when it does not fit.
std::optional<std::int16_t> ToInt16(double value);

// The value of exactly `width` decimal digits ("0042" with width 4 is 42);
// nullopt for any other length or any other character.
std::optional<long> FixedWidthNumber(std::string_view text, std::size_t width);

// Leading zeros up to a minimum width; a longer text stays whole.
std::string ZeroFill(std::string digits, std::size_t width);

// The messages in a text for the traffic count: its terminators, and a text
// without any counts as one (an empty text as none).
std::uint64_t CountMessages(std::string_view text, char terminator);

}  // namespace vantorel::cat
