#include "station/options.h"

namespace vantorel::station {

Mode ModeOf(const Options& options) {
  if (Ticked(options.noTranslation)) {
    return Mode::NoTranslation;
  }
  if (!Ticked(options.app2Unused)) {
    return Mode::Sharing;
  }
  return options.profile == Profile::Emulation ? Mode::Emulating : Mode::Translating;
}

}  // namespace vantorel::station
