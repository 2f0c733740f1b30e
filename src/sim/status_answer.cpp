#include "sim/status_answer.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace vantorel::sim {

std::string StatusAnswer(const RadioState& state) {
  const VfoState& working = state.vfo(state.WorkingVfo());
  const int rit = state.ritHertz;
  // Wide enough for the longest possible fields, so nothing is cut.
  std::array<char, 64> text{};
  std::snprintf(text.data(), text.size(), "IF%011llu     %c%04d%d%d000%d%c%d0%d0000;",
                static_cast<unsigned long long>(working.hertz), rit < 0 ? '-' : '+', std::abs(rit),
                state.Level("RT"), state.Level("XT"), state.Transmitting() ? 1 : 0,
                static_cast<char>(working.mode), static_cast<int>(state.WorkingVfo()),
                state.Split() ? 1 : 0);
  return text.data();
}

}  // namespace vantorel::sim
