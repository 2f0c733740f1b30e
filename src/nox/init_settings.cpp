#include "nox/init_settings.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>
#include <system_error>

#include "nox/service.h"
#include "settings/settings_file.h"
#include "station/station.h"

namespace vantorel::nox {
namespace {

// The parity box's items: a value given in any case is written as the box
// holds it.
constexpr std::array<std::string_view, 5> kParities{"None", "Odd", "Even", "Mark", "Space"};

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::ranges::transform(lower, lower.begin(),
                         [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

}  // namespace

settings::Settings InitialSettings(const program::InitValues& values) {
  settings::Settings s;
  const auto take = [](std::string& line, const std::optional<std::string>& given) {
    if (given) {
      line = *given;
    }
  };
  take(s.soft1Com, values.app1);
  take(s.radioCom, values.radio);
  take(s.baud, values.baud);
  take(s.dataBits, values.dataBits);
  take(s.stopBits, values.stopBits);
  if (values.parity) {
    const auto known = std::ranges::find_if(
        kParities, [&](std::string_view item) { return Lower(item) == Lower(*values.parity); });
    if (known == kParities.end()) {
      throw station::SerialError("The parity is None, Odd, Even, Mark or Space, not \"" +
                                 *values.parity + "\"");
    }
    s.parity = *known;
  }
  settings::OfferFirstRun(s);
  s.ft950Emulation = values.emulation;
  // As Start reads it: a line the radio's port could not take is refused now.
  (void)station::ParseLineSettings(settings::ToPortSetup(s).radioSettings);
  return s;
}

int WriteInitialSettings(const std::filesystem::path& folder, const program::InitValues& values,
                         std::string& report) {
  const std::filesystem::path file = folder / settings::kSettingsFileName;
  settings::Settings s;
  try {
    s = InitialSettings(values);
  } catch (const station::SerialError& e) {
    report = std::string("Nothing written: ") + e.what();
    return program::kUsageStatus;
  }
  std::error_code ec;
  if (std::filesystem::exists(std::filesystem::symlink_status(file, ec)) && !values.force) {
    report = file.string() + " is there already and is left as it is (--force writes over it)";
    return kFailureStatus;
  }
  if (const auto problem = settings::SaveSettings(s, file)) {
    report = file.string() + " could not be written: " + *problem;
    return kFailureStatus;
  }
  report = "Wrote " + file.string() + ": App 1 on " + s.soft1Com + ", the radio on " + s.radioCom +
           " (" + settings::ToPortSetup(s).radioSettings + ")" +
           (s.ft950Emulation ? ", FT-950 emulation" : ", translating");
  return 0;
}

}  // namespace vantorel::nox
