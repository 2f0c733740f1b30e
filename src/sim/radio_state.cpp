#include "sim/radio_state.h"

#include <stdexcept>

namespace vantorel::sim {

RadioState::RadioState(const RadioModel& radioModel) : model(&radioModel) {
  for (const SettingForm& form : model->settings) {
    settings[static_cast<std::size_t>(form.setting)] = form.initial;
  }
  for (const RawFilter& filter : model->rawFilters) {
    filters.emplace_back(filter.initial);
  }
  for (const SwitchSetting& setting : model->switches) {
    switches.emplace_back(setting.initial);
  }
}

int RadioState::Level(std::string_view letters) const {
  for (const SettingForm& form : model->settings) {
    if (form.letters == letters) {
      return Level(form.setting);
    }
  }
  throw std::invalid_argument("no setting " + std::string(letters));
}

std::string_view RadioState::Filter(std::string_view letters) const {
  for (std::size_t row = 0; row < model->rawFilters.size(); ++row) {
    if (model->rawFilters[row].letters == letters) {
      return filters[row];
    }
  }
  throw std::invalid_argument("no filter setting " + std::string(letters));
}

}  // namespace vantorel::sim
