// Numbers read and written the way rigctld's C code does with sscanf and
// printf, independent of the process's locale (a Qt program takes the user's
// LC_NUMERIC, and a German one would write "0,500000"; Hamlib's clients
// always send and expect '.').
//
// The readers take a leading number and ignore what follows, as sscanf does:
// "2.5" read as a whole number is 2, "7074000abc" is 7074000; no number at all
// gives nullopt, where rigctld answers RPRT -1. cat::LeadingNumber does not
// fit here: it reads "no number" as 0.
//
// Threading: pure functions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantorel::rigctl {

std::optional<double> ScanDouble(std::string_view text);  // "%lf"
std::optional<float> ScanFloat(std::string_view text);    // "%f"
std::optional<long> ScanLong(std::string_view text);      // "%d", "%ld"

// printf's "%f": six decimals ("0.500000", "14074000.000000").
std::string FixedSix(double value);
// printf's "0x%x" ("0x1dbf", "0x0").
std::string HexNumber(std::uint64_t value);

}  // namespace vantorel::rigctl
