// A check box's three states, as every part that reads a switch sees them:
// the window's boxes, the settings file (which keeps them as the numbers 0, 1
// and 2), the station's options and the translations.
//
// A greyed box counts as neither ticked nor clear: where the program acts on
// "ticked" it does not act, and where it acts on "clear" it does not act
// either.
//
// Threading: plain values.
#pragma once

#include <cstdint>
#include <optional>

namespace vantorel {

enum class Check : std::uint8_t { Clear = 0, Ticked = 1, Greyed = 2 };

[[nodiscard]] constexpr bool Ticked(Check value) { return value == Check::Ticked; }
[[nodiscard]] constexpr bool Clear(Check value) { return value == Check::Clear; }

// Ticked for true, clear for false.
[[nodiscard]] constexpr Check CheckOf(bool ticked) { return ticked ? Check::Ticked : Check::Clear; }

// The number a settings file keeps for the state, and back; any other number
// is no check box state.
[[nodiscard]] constexpr int NumberOf(Check value) { return static_cast<int>(value); }
[[nodiscard]] constexpr std::optional<Check> CheckFromNumber(long number) {
  if (number < 0 || number > 2) {
    return std::nullopt;
  }
  return static_cast<Check>(number);
}

}  // namespace vantorel
