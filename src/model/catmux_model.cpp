#include "model/catmux_model.h"

#include <algorithm>

#include "cat/radio_dialect.h"
#include "settings/settings.h"

namespace vantorel::model {

std::vector<std::string> ComPortItems() {
  std::vector<std::string> items;
  for (int n = 1; n <= 20; ++n) {
    items.push_back("COM" + std::to_string(n));
  }
  return items;
}

std::vector<std::string> RadioModelItems() {
  std::vector<std::string> items{std::string(settings::kAutoRadioModel)};
  for (const cat::RadioDialect* radio : cat::RadioDialects()) {
    items.emplace_back(radio->name);
  }
  return items;
}

HelpFormModel::HelpFormModel()
    : Text1("Text1", "", {165, 105, 5820, 3135}, true),
      Command1("Command1", "Close", {2475, 3495, 795, 300}) {}

void HelpFormModel::Show() {
  if (!loaded_) {
    loaded_ = true;
    changed.Emit();
  }
}

void HelpFormModel::Unload() {
  if (loaded_) {
    loaded_ = false;
    changed.Emit();
  }
}

namespace {
const std::vector<std::string> kBaudItems{"110",   "300",   "1200",  "2400",  "4800",   "9600",
                                          "19200", "38400", "56000", "57600", "128000", "256000"};
const std::string kMonitorTxCaption = "Shut Down if XT is" + std::string(16, ' ') + "or greater";
constexpr bool kOnPanel = true;
constexpr bool kHidden = false;
// A new installation's values, as the settings file would hold them.
const settings::Settings kDesign{};
}  // namespace

CatmuxModel::CatmuxModel()
    : Label1("Label1", "FT-950 Virtual Port", {420, 780, 1380, 315}, kOnPanel),
      Soft1Com("Soft1Com", ComPortItems(), {1980, 705, 2415, 315}),
      Label3("Label3", "Radio Com Port", {540, 1125, 1200, 315}, kOnPanel),
      RadioCom("RadioCom", ComPortItems(), {1980, 1095, 2415, 315}),
      Label4("Label4", "Baud Rate", {2235, 3180, 825, 345}, kOnPanel),
      Baud("Baud", kBaudItems, {3030, 3180, 1245, 315}),
      Label5("Label5", "Data Bits", {45, 3165, 825, 345}, kOnPanel),
      DataBits("DataBits", {"4", "5", "6", "7", "8"}, {840, 3165, 1245, 315}),
      Label6("Label6", "Parity", {285, 3510, 510, 315}, kOnPanel),
      Parity("Parity", {"None", "Odd", "Even", "Mark", "Space"}, {840, 3540, 1245, 315}),
      Label7("Label7", "Stop Bits", {2250, 3585, 735, 315}, kOnPanel),
      StopBits("StopBits", {"1", "2"}, {3015, 3525, 1245, 315}),
      Command1("Command1", "Start", {405, 3930, 945, 375}),
      Command2("Command2", "Stop", {1920, 3915, 945, 375}),
      Command4("Command4", "Close", {3540, 3915, 930, 375}),
      Picture1("Picture1", {3600, 285, 390, 120}),
      Option1{OptionButton("Option1(0)", kDesign.useApp1, {4920, 240, 195, 195}),
              OptionButton("Option1(1)", kDesign.useApp2, {4935, 840, 195, 195})},
      Label8("Label8", "App 1", {5145, 240, 495, 375}, kOnPanel),
      App1Name("App1Name", kDesign.app1Name, {5640, 240, 2235, 375}),
      Label9("Label9", "App 2", {5160, 840, 495, 375}, kOnPanel),
      App2Name("App2Name", kDesign.app2Name, {5640, 840, 4080, 375}),
      Label11("Label11", "Heading", {7965, 285, 660, 375}, kOnPanel),
      Text7("Text7", kDesign.text7, {8655, 255, 1110, 375}),
      Label10("Label10", "Send ASCII to port 1 or port 3", {5640, 1335, 4080, 270}, !kOnPanel),
      Text4("Text4", "", {5640, 1695, 4080, 375}),
      Command9("Command9", "Send to Rigdesk", {5640, 2160, 1665, 330}),
      Command6("Command6", "Send to Radio", {7695, 2160, 1380, 330}),
      Text5("Text5", "", {5640, 2640, 4080, 1200}, true),
      Command7("Command7", "Clear", {9870, 3780, 570, 450}),
      Text6("Text6", "", {5640, 4110, 4080, 1200}, true),
      Text1("Text1", "", {615, 4920, 2865, 630}),
      Text2("Text2", "", {600, 5655, 2865, 630}),
      Text3("Text3", "", {615, 6375, 2865, 630}),
      Check1("Check1", "Monitor data", Check::Clear, {6750, 5415, 2100, 285}, kOnPanel),
      PWROn("PWROn", "Power On/Off", kDesign.pwrOn, {6750, 5685, 1365, 195}, kOnPanel),
      Check2("Check2", "No Translation", kDesign.check2, {6750, 5925, 1365, 195}, kOnPanel),
      MonitorTX("MonitorTX", kMonitorTxCaption, kDesign.monitorTX, {6750, 6165, 3390, 195},
                kOnPanel),
      ShutDwn("ShutDwn", kDesign.shutDwn, {8400, 6135, 630, 285}),
      Ft950Emulation("Ft950Emulation", "FT-950 emulation (standard clients)",
                     CheckOf(kDesign.ft950Emulation), {6750, 6405, 3390, 195}, kOnPanel),
      Shape1("Shape1", ShapeKind::Circle, kIndicatorRed, {5760, -45, 240, 240}, kHidden),
      Shape2("Shape2", ShapeKind::Circle, kIndicatorRed, {6435, -15, 240, 240}, kHidden),
      ModeLabel("ModeLabel", "Mode", {6750, 6690, 600, 315}, kOnPanel),
      ModeChoice(
          "ModeChoice",
          {"Translating", "Translating, FT-950 emulation", "Sharing with App 2", "No Translation"},
          {7350, 6660, 3150, 315}),
      RadioLabel("RadioLabel", "Radio", {8910, 7020, 570, 285}, kOnPanel),
      RadioChoice("RadioChoice", RadioModelItems(), {9480, 7020, 1020, 285}),
      App2Label("App2Label", "App 2", {6750, 7020, 600, 285}, kOnPanel, kHidden),
      App1Lamp("App1Lamp", {150, 780, 165, 165}),
      RadioLamp("RadioLamp", {150, 1170, 165, 165}),
      App2Lamp("App2Lamp", {150, 1560, 165, 165}, kHidden),
      TransmitState("TransmitState", "RX", {210, 1890, 1440, 255}, kOnPanel),
      TrafficCounts("TrafficCounts", "", {210, 2160, 3000, 255}, kOnPanel),
      ModeAdvice("ModeAdvice", "App 1 looks like a standard FT-950 program", {60, 2535, 2820, 510},
                 !kOnPanel, kHidden),
      UseEmulation("UseEmulation", "Use emulation", {2940, 2580, 1530, 420}, kHidden),
      Shape3("Shape3", ShapeKind::Rectangle, kPanelGrey, {60, 705, 3240, 1800}, true),
      Shape4("Shape4", ShapeKind::Rectangle, kPanelGrey, {0, 3090, 12045, 5055}, true),
      Shape5("Shape5", ShapeKind::Rectangle, kPanelGrey, {4365, -15, 12045, 5055}, true),
      Label2("Label2", "App 2 Com Port", {540, 1515, 1200, 315}, kOnPanel, kHidden),
      Soft2Com("Soft2Com", ComPortItems(), {1980, 1485, 2415, 315}, kHidden),
      Ignore2Out("Ignore2Out", "Ignore to", kDesign.ignore2Out, {7350, 7020, 1500, 285}, kOnPanel,
                 kHidden),
      HexX("HexX", "Hex", Check::Clear, {8850, 5415, 735, 285}, kOnPanel),
      Check3("Check3", "Save Data", Check::Clear, {9600, 5415, 1200, 285}, kOnPanel),
      Command3("Command3", "Test", {9180, 2160, 660, 330}),
      Command5("Command5", "Reset", {9900, 2160, 660, 330}),
      MakeCertificate("MakeCertificate", "Make Certificate", {4620, 5415, 1800, 330}),
      Ignore1("Ignore1", "Ignore from", kDesign.ignore1, {}, !kOnPanel, kHidden),
      Ignore1Out("Ignore1Out", "Ignore to", kDesign.ignore1Out, {}, !kOnPanel, kHidden),
      Ignore2("Ignore2", "Ignore From", kDesign.ignore2, {}, !kOnPanel, kHidden),
      KenwoodCB("KenwoodCB", "Kenwood", kDesign.kenwoodCB, {}, !kOnPanel, kHidden),
      File("File", "File"),
      TrafficMenu("TrafficMenu", "Traffic"),
      Exit("Exit", "Exit"),
      EXP("EXP", "Expand"),
      Abt("Abt", "About"),
      Hlp("Hlp", "Help"),
      Timer1("Timer1", 100, true),
      Timer2("Timer2", 1000, false) {
  OptionButton::Group({&Option1[0], &Option1[1]});
  Text5.SetLimit(kMonitorLines, kMonitorCharacters);
  Text6.SetLimit(kMonitorLines, kMonitorCharacters);
}

void CatmuxModel::SetWidth(int twips) {
  if (twips != width_) {
    width_ = twips;
    sizeChanged.Emit();
  }
}

void CatmuxModel::SetHeight(int twips) {
  if (twips != height_) {
    height_ = twips;
    sizeChanged.Emit();
  }
}

std::vector<Control*> CatmuxModel::Controls() {
  return {&Label1,          &Soft1Com,      &Label3,     &RadioCom,       &Label4,     &Baud,
          &Label5,          &DataBits,      &Label6,     &Parity,         &Label7,     &StopBits,
          &Command1,        &Command2,      &Command4,   &Picture1,       &Option1[0], &Label8,
          &App1Name,        &Option1[1],    &Label9,     &App2Name,       &Label11,    &Text7,
          &Label10,         &Text4,         &Command9,   &Command6,       &Text5,      &Command7,
          &Text6,           &Text1,         &Text2,      &Text3,          &Check1,     &PWROn,
          &Check2,          &MonitorTX,     &ShutDwn,    &Ft950Emulation, &Shape1,     &Shape2,
          &ModeLabel,       &ModeChoice,    &App2Label,  &App1Lamp,       &RadioLamp,  &App2Lamp,
          &TransmitState,   &TrafficCounts, &Shape3,     &Shape4,         &Shape5,     &Label2,
          &Soft2Com,        &Ignore2Out,    &HexX,       &Check3,         &Command3,   &Command5,
          &MakeCertificate, &Ignore1,       &Ignore1Out, &Ignore2,        &KenwoodCB,  &RadioLabel,
          &RadioChoice,     &UseEmulation,  &ModeAdvice};
}

}  // namespace vantorel::model
