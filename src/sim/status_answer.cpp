#include "sim/status_answer.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace vantorel::sim {

char ModeCodeOf(std::span<const ModeCode> codes, const VfoState& vfo) {
  const ModeCode* base = nullptr;
  for (const ModeCode& code : codes) {
    if (code.mode == vfo.mode && code.data == vfo.dataMode) {
      return code.code;
    }
    if (code.mode == vfo.mode && code.data == 0) {
      base = &code;
    }
  }
  return base != nullptr ? base->code : '0';
}

std::string StatusAnswer(const RadioState& state) {
  const VfoState& working = state.vfo(state.WorkingVfo());
  const int rit = state.ritHertz;
  // Wide enough for the longest possible fields, so nothing is cut.
  std::array<char, 64> text{};
  std::snprintf(text.data(), text.size(), "IF%011llu     %c%04d%d%d000%d%c%d0%d0000;",
                static_cast<unsigned long long>(working.hertz),
                rit < 0 ? '-' : state.model->ritPlus, std::abs(rit), state.Level(Setting::kRit),
                state.Level(Setting::kXit), state.Transmitting() ? 1 : 0,
                ModeCodeOf(state.model->statusModes, working), static_cast<int>(state.WorkingVfo()),
                state.Split() ? 1 : 0);
  return text.data();
}

}  // namespace vantorel::sim
