#include "sim/radio_state.h"

#include <stdexcept>

namespace vantorel::sim {

RadioState::RadioState() {
  for (std::size_t row = 0; row < kPlainSettings.size(); ++row) {
    levels[row] = kPlainSettings[row].initial;
  }
  for (std::size_t row = 0; row < kFilterSettings.size(); ++row) {
    filters[row] = kFilterSettings[row].initial;
  }
  for (std::size_t row = 0; row < kSwitchSettings.size(); ++row) {
    switches[row] = kSwitchSettings[row].initial;
  }
}

int RadioState::Level(std::string_view letters) const {
  for (std::size_t row = 0; row < kPlainSettings.size(); ++row) {
    if (kPlainSettings[row].letters == letters) {
      return levels[row];
    }
  }
  throw std::invalid_argument("no plain setting " + std::string(letters));
}

std::string_view RadioState::Filter(std::string_view letters) const {
  for (std::size_t row = 0; row < kFilterSettings.size(); ++row) {
    if (kFilterSettings[row].letters == letters) {
      return filters[row];
    }
  }
  throw std::invalid_argument("no filter setting " + std::string(letters));
}

}  // namespace vantorel::sim
