// App 1's filter widths against the radio's filters: App 1 chooses an FT-950
// width index (and the narrow switch, which decides the mode's standard width
// at index 00); the radio gets the nearest filter it has in its own form (a
// low and a high cut, or a width), and App 1's width read reflects what the
// radio holds.
//
// Threading: used by one Ft950Emulation on its caller's thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "cat/ft950_replies.h"

namespace vantorel::cat::ft950 {

// App 1's width as it stood when App 1 asked: its index and narrow switch,
// carried in a Reply's row.
struct WidthAsked {
  int index = 0;
  bool narrow = false;

  static constexpr std::uint8_t kNarrowBit = 0x40;
  [[nodiscard]] constexpr std::uint8_t Row() const {
    return static_cast<std::uint8_t>(index | (narrow ? kNarrowBit : 0));
  }
  static constexpr WidthAsked FromRow(std::uint8_t row) {
    return {row & (kNarrowBit - 1), (row & kNarrowBit) != 0};
  }
};

// App 1's width in hertz in a mode row; 0 in a mode without widths.
int App1Hertz(std::size_t modeRow, WidthAsked width);

// The radio's settings for the filter nearest to `hertz` in a class of mode;
// "" where the radio has no filter forms for the class.
std::string FilterSetting(const RadioDialect& dialect, FilterClass which, int hertz);

// The radio's reads of its filter in a class of mode; none where it has no
// filter forms for the class.
Needs WidthNeeds(const RadioDialect& dialect, FilterClass which);

// App 1's width answer from the radio's filter: App 1's own index while the
// radio holds what that index gave it, else the nearest index.
std::string WidthReply(WidthAsked asked, const RadioAnswers& radio, App1Choices& choices);

}  // namespace vantorel::cat::ft950
