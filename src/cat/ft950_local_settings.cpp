#include "cat/ft950_local_settings.h"

#include "cat/text_helpers.h"

namespace vantorel::cat::ft950 {
namespace {

int WidestIndex(std::size_t modeRow) {
  return kWidestIndex[static_cast<std::size_t>(kModes[modeRow].widths)];
}

}  // namespace

LocalSettings::LocalSettings() {
  for (std::size_t row = 0; row < kLocalSettings.size(); ++row) {
    for (std::size_t mode = 0; mode < kModeCount; ++mode) {
      const bool startsNarrow =
          kLocalSettings[row].rule == LocalRule::kNarrow && kModes[mode].narrow;
      values_[row][mode] = startsNarrow ? 1 : kLocalSettings[row].initial;
    }
  }
}

bool LocalSettings::Set(std::size_t row, std::size_t modeRow, int value) {
  if (!Allowed(row, modeRow, value)) {
    return false;
  }
  values_[row][Slot(row, modeRow)] = value;
  return true;
}

std::string LocalSettings::Read(std::size_t row, std::size_t modeRow) const {
  const LocalSetting& setting = kLocalSettings[row];
  const int value = Value(row, modeRow);
  if (setting.rule == LocalRule::kWidth && WidestIndex(modeRow) == 0) {
    return std::string(kRefused);
  }
  std::string answer(setting.letters);
  answer += setting.selector;
  if (setting.rule == LocalRule::kRoofing && value == 0) {
    answer += kModes[modeRow].autoRoofing;
  } else {
    answer += ZeroFill(std::to_string(value), setting.digits);
  }
  answer += ';';
  return answer;
}

int LocalSettings::Value(std::size_t row, std::size_t modeRow) const {
  return values_[row][Slot(row, modeRow)];
}

bool LocalSettings::Allowed(std::size_t row, std::size_t modeRow, int value) {
  const LocalSetting& setting = kLocalSettings[row];
  const int max = setting.rule == LocalRule::kWidth ? WidestIndex(modeRow) : setting.max;
  if (setting.rule == LocalRule::kWidth && max == 0) {
    return false;  // AM and FM have no width index on the FT-950
  }
  return value >= 0 && value <= max;
}

std::size_t LocalSettings::Slot(std::size_t row, std::size_t modeRow) {
  return kLocalSettings[row].perMode ? modeRow : 0;
}

}  // namespace vantorel::cat::ft950
