#include "settings/settings.h"

#include "station/port_names.h"

namespace vantorel::settings {

void OfferFirstRun(Settings& settings) {
  const auto offer = [](std::string& value, const std::string& offered) {
    if (value.empty()) {
      value = offered;
    }
  };
  offer(settings.soft1Com, station::DefaultApp1PtyName());
  offer(settings.radioCom, station::kSimulatedRadioName);
  offer(settings.baud, "9600");
  offer(settings.dataBits, "8");
  offer(settings.parity, "None");
  offer(settings.stopBits, "1");
  // The companion programs a new installation names are Windows paths: on a
  // first run here nothing is looked for until the user names a program.
  const Settings shipped;
  for (std::string Settings::*program : {&Settings::app1Name, &Settings::app2Name}) {
    if (settings.*program == shipped.*program) {
      (settings.*program).clear();
    }
  }
}

station::Options ToOptions(const Settings& settings, station::Options base) {
  station::Options& options = base;
  options.ignoreFromApp1 = settings.ignore1;
  options.ignoreToApp1 = settings.ignore1Out;
  options.app2Unused = settings.ignore2;
  options.ignoreToApp2 = settings.ignore2Out;
  options.frameRadioText = settings.kenwoodCB;
  options.powerControl = settings.pwrOn;
  options.noTranslation = settings.check2;
  options.superviseTransmit = settings.monitorTX;
  options.transmitLimit = settings.shutDwn;
  options.profile =
      settings.ft950Emulation ? station::Profile::Emulation : station::Profile::Contract;
  options.radioModel = settings.radioModel;
  return options;
}

station::PortSetup ToPortSetup(const Settings& settings) {
  return {settings.soft1Com, settings.soft2Com, settings.radioCom,
          station::RadioSettingsText(settings.baud, settings.parity, settings.dataBits,
                                     settings.stopBits)};
}

}  // namespace vantorel::settings
