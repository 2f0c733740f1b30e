#include "station/options.h"

namespace vantorel::station {

Mode ModeOf(const Options& options) {
  if (Ticked(options.noTranslation)) {
    return Mode::NoTranslation;
  }
  return Ticked(options.app2Unused) ? Mode::Translating : Mode::Sharing;
}

}  // namespace vantorel::station
