#include "settings/settings.h"

namespace vantorel::settings {

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
