// The FT-950 settings the emulation keeps itself because the radio has no
// one-to-one command for them (kLocalSettings): App 1 sets them and reads
// them back here. Width, narrow and roofing are kept per mode, as the FT-950
// keeps them.
//
// Threading: owned by one Ft950Emulation and used on its caller's thread.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "cat/ft950_tables.h"

namespace vantorel::cat::ft950 {

class LocalSettings {
 public:
  LocalSettings();

  // App 1 sets a row to `value` in a mode (a kModes row); false when an
  // FT-950 would refuse it.
  bool Set(std::size_t row, std::size_t modeRow, int value);

  // App 1's answer for reading a row in a mode; "?;" where an FT-950 refuses.
  [[nodiscard]] std::string Read(std::size_t row, std::size_t modeRow) const;

  [[nodiscard]] int Value(std::size_t row, std::size_t modeRow) const;

 private:
  [[nodiscard]] static bool Allowed(std::size_t row, std::size_t modeRow, int value);
  [[nodiscard]] static std::size_t Slot(std::size_t row, std::size_t modeRow);

  std::array<std::array<int, kModeCount>, kLocalSettings.size()> values_{};
};

}  // namespace vantorel::cat::ft950
