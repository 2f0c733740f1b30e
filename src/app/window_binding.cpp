#include "app/window_binding.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "cat/radio_dialect.h"
#include "supervision/transmit_supervision.h"

namespace vantorel::app {

station::Options OptionsFromForm(const model::CatmuxModel& model) {
  station::Options options = settings::ToOptions(SettingsFromForm(model));
  options.monitor = model.Check1.Ticked();
  options.monitorHex = model.HexX.Ticked();
  return options;
}

settings::Settings SettingsFromForm(const model::CatmuxModel& model) {
  settings::Settings s;
  s.soft1Com = model.Soft1Com.Text();
  s.soft2Com = model.Soft2Com.Text();
  s.radioCom = model.RadioCom.Text();
  s.baud = model.Baud.Text();
  s.dataBits = model.DataBits.Text();
  s.parity = model.Parity.Text();
  s.stopBits = model.StopBits.Text();
  s.ignore1 = model.Ignore1.Value();
  s.ignore1Out = model.Ignore1Out.Value();
  s.ignore2 = model.Ignore2.Value();
  s.ignore2Out = model.Ignore2Out.Value();
  s.kenwoodCB = model.KenwoodCB.Value();
  s.app1Name = model.App1Name.Text();
  s.app2Name = model.App2Name.Text();
  s.pwrOn = model.PWROn.Value();
  s.check2 = model.Check2.Value();
  s.monitorTX = model.MonitorTX.Value();
  s.shutDwn = model.ShutDwn.Text();
  s.useApp1 = model.Option1[0].Value();
  s.useApp2 = model.Option1[1].Value();
  s.text7 = model.Text7.Text();
  s.ft950Emulation = model.Ft950Emulation.Ticked();
  s.radioModel = model.RadioChoice.Items()[model.RadioChoice.Index()];
  return s;
}

void ApplySettings(const settings::Settings& s, model::CatmuxModel& model) {
  model.Soft1Com.SetText(s.soft1Com);
  model.Soft2Com.SetText(s.soft2Com);
  model.RadioCom.SetText(s.radioCom);
  model.Baud.SetText(s.baud);
  model.DataBits.SetText(s.dataBits);
  model.Parity.SetText(s.parity);
  model.StopBits.SetText(s.stopBits);
  model.Ignore1.SetValue(s.ignore1);
  model.Ignore1Out.SetValue(s.ignore1Out);
  model.Ignore2.SetValue(s.ignore2);
  model.Ignore2Out.SetValue(s.ignore2Out);
  model.KenwoodCB.SetValue(s.kenwoodCB);
  model.App1Name.SetText(s.app1Name);
  model.App2Name.SetText(s.app2Name);
  model.PWROn.SetValue(s.pwrOn);
  model.Check2.SetValue(s.check2);
  model.MonitorTX.SetValue(s.monitorTX);
  model.ShutDwn.SetText(s.shutDwn);
  model.Option1[0].SetValue(s.useApp1);
  model.Option1[1].SetValue(s.useApp2);
  model.Text7.SetText(s.text7);
  model.Ft950Emulation.SetValue(CheckOf(s.ft950Emulation));
  // A name the list does not have reads as "auto", its first item.
  const cat::RadioDialect* radio = cat::FindRadioDialect(s.radioModel);
  const auto& items = model.RadioChoice.Items();
  const auto item = std::find(items.begin(), items.end(), radio ? radio->name : items.front());
  model.RadioChoice.SetIndex(static_cast<std::size_t>(item - items.begin()));
}

station::PortSetup PortSetupFromForm(const model::CatmuxModel& model) {
  return settings::ToPortSetup(SettingsFromForm(model));
}

model::ModeChoiceItem ModeOfSwitches(const model::CatmuxModel& model) {
  using Item = model::ModeChoiceItem;
  if (model.Check2.Ticked()) {
    return Item::NoTranslation;
  }
  if (!model.Ignore2.Ticked()) {
    return Item::Sharing;
  }
  return model.Ft950Emulation.Ticked() ? Item::Ft950Emulation : Item::Translating;
}

std::string MinutesAndSeconds(long seconds) {
  const long rest = seconds % 60;
  return std::to_string(seconds / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

WindowBinding::WindowBinding(model::CatmuxModel& model, station::Station& station,
                             const StationView& view)
    : model_(model), station_(station), view_(view) {
  for (model::CheckBox* box :
       {&model_.Ignore1, &model_.Ignore1Out, &model_.Ignore2, &model_.Ignore2Out, &model_.KenwoodCB,
        &model_.PWROn, &model_.Check2, &model_.MonitorTX, &model_.Check1, &model_.HexX,
        &model_.Ft950Emulation}) {
    attached_.Connect(box->changed, [this] { PushOptions(); });
  }
  // The limit is read on every tick: an edit counts from the next one.
  attached_.Connect(model_.ShutDwn.replaced, [this] { PushOptions(); });
  attached_.Attach(model_.Command3.onClick, [this] { Command3_Click(); });
  attached_.Attach(model_.Command5.onClick, [this] { Command5_Click(); });
  attached_.Attach(model_.Command6.onClick, [this] { Command6_Click(); });
  attached_.Attach(model_.Command7.onClick, [this] { Command7_Click(); });
  attached_.Attach(model_.Command9.onClick, [this] { Command9_Click(); });
  attached_.Attach(model_.Ignore2.onClick, [this] { Ignore2_Click(); });
  attached_.Attach(model_.Check3.onClick, [this] { Check3_Click(); });
  attached_.Attach(model_.Timer2.onTimer, [this] { Timer2_Timer(); });
  attached_.Attach(model_.Timer1.onTimer, [this] { Timer1_Timer(); });
  attached_.Attach(model_.ModeChoice.onChange, [this] { ModeChosen(); });
  attached_.Attach(model_.RadioChoice.onChange, [this] { PushOptions(); });
  // The station tells every port's traffic while the Traffic window is open.
  attached_.Attach(model_.TrafficMenu.onClick, [this] { model_.Traffic.SetOpen(true); });
  attached_.Connect(model_.Traffic.changed,
                    [this] { station_.WatchTraffic(model_.Traffic.Open()); });
  // Only the user switches the mode, with this button or the Mode box.
  attached_.Attach(model_.UseEmulation.onClick, [this] {
    model_.ModeChoice.SetIndex(static_cast<std::size_t>(model::ModeChoiceItem::Ft950Emulation));
  });
  for (model::CheckBox* box : {&model_.Check2, &model_.Ignore2, &model_.Ft950Emulation}) {
    attached_.Connect(box->changed, [this] { FollowSwitches(); });
  }
  model_.TrafficCounts.SetToolTipText("Messages from App 1 and from the radio since Start");
  model_.ModeChoice.SetToolTipText(
      "Translating: App 1 speaks FT-950, the radio Kenwood.\n"
      "FT-950 emulation: the same for standard FT-950 clients (Hamlib and the like).\n"
      "Sharing: App 1 and App 2 share the radio, untranslated.\n"
      "No Translation: App 1 and the radio joined untranslated.");
  model_.RadioChoice.SetToolTipText(
      "The Kenwood the FT-950 emulation speaks to: auto learns it from the radio at every "
      "Start and reconnect; a model by name is taken as it is.");
  model_.TransmitState.SetToolTipText(
      "RX, or TX with the seconds keyed against the transmit time limit");
  // The boxes the window names by their fixed names say what they show.
  const std::pair<model::TextBox*, const char*> shows[] = {
      {&model_.Text1, "App 1's latest text (monitoring: as sent to the radio)"},
      {&model_.Text2, "App 2's text waiting for the radio"},
      {&model_.Text3, "The radio's latest text"},
      {&model_.Text5, "App 1's traffic while Monitor data is ticked"},
      {&model_.Text6, "The radio's traffic while Monitor data is ticked"},
  };
  for (const auto& [box, text] : shows) {
    box->SetPlaceholder(text);
    box->SetToolTipText(text);
  }
  FollowSwitches();
  PushOptions();
}

void WindowBinding::ModeChosen() {
  if (choosing_) {
    return;
  }
  using Item = model::ModeChoiceItem;
  const auto item = static_cast<Item>(model_.ModeChoice.Index());
  choosing_ = true;
  model_.Check2.SetValue(CheckOf(item == Item::NoTranslation));
  model_.Ignore2.SetValue(CheckOf(item != Item::Sharing));
  if (item == Item::Sharing) {
    model_.Ignore2Out.SetValue(Check::Clear);  // sharing: App 2 hears the radio's answers
  }
  if (item != Item::NoTranslation && item != Item::Sharing) {
    model_.Ft950Emulation.SetValue(CheckOf(item == Item::Ft950Emulation));
  }
  // As a complete settings file sets it.
  model_.KenwoodCB.SetValue(settings::KenwoodCBFor(model_.Ignore2.Value(), model_.Check2.Value()));
  choosing_ = false;
  FollowSwitches();
}

void WindowBinding::FollowSwitches() {
  if (choosing_) {
    return;
  }
  choosing_ = true;
  model_.ModeChoice.SetIndex(static_cast<std::size_t>(ModeOfSwitches(model_)));
  choosing_ = false;
  // The advice to choose the emulation is for the Translating mode only.
  if (ModeOfSwitches(model_) != model::ModeChoiceItem::Translating) {
    model_.ModeAdvice.SetVisible(false);
    model_.UseEmulation.SetVisible(false);
  }
  // App 2's port and whether it hears the radio matter only while it is in use.
  const bool app2InUse = !model_.Ignore2.Ticked();
  for (model::Control* control :
       std::initializer_list<model::Control*>{&model_.Label2, &model_.Soft2Com, &model_.App2Lamp,
                                              &model_.App2Label, &model_.Ignore2Out}) {
    control->SetVisible(app2InUse);
  }
}

bool WindowBinding::RefreshStatus() {
  const station::StationState& state = station_.state();
  std::string transmit = "RX";
  if (state.keying.TXOn) {
    const auto limit =
        static_cast<long>(std::ceil(supervision::ShutdownLimit(station_.options().transmitLimit)));
    transmit = "TX " + MinutesAndSeconds(state.keying.TXTime) + " / " +
               MinutesAndSeconds(std::max(0L, limit));
  } else if (state.keying.radioKeyed) {
    transmit = "TX";
  }
  std::string counts = "App 1: " + std::to_string(state.app1Messages) +
                       "  Radio: " + std::to_string(state.radioMessages);
  const bool changed =
      transmit != model_.TransmitState.Caption() || counts != model_.TrafficCounts.Caption();
  model_.TransmitState.SetCaption(transmit);
  model_.TransmitState.SetAlert(transmit != "RX");
  model_.TrafficCounts.SetCaption(std::move(counts));
  return changed;
}

void WindowBinding::PushOptions() {
  station_.SetOptions(OptionsFromForm(model_));
  model_.Timer1.Wake();  // a new mode may start learning the radio, which ends on time
}

void WindowBinding::Command3_Click() { station_.SendTest(); }

void WindowBinding::Command5_Click() { station_.SendReset(); }

void WindowBinding::Command6_Click() { station_.SendToRadio(model_.Text4.Text()); }

void WindowBinding::Command9_Click() { station_.SendToApp1(model_.Text4.Text()); }

void WindowBinding::Command7_Click() {
  model_.Text5.SetText("");
  model_.Text6.SetText("");
}

// Translating mode always starts framing the radio's text at ";"; the user may
// untick KenwoodCB afterwards.
void WindowBinding::Ignore2_Click() {
  if (model_.Ignore2.Ticked()) {
    model_.KenwoodCB.SetValue(Check::Ticked);
  }
}

void WindowBinding::Check3_Click() {
  if (!view_.UntickingCapture()) {
    station_.SwitchCapture(model_.Check3.Ticked());
  }
}

// Timer1 rests once a tick finds nothing to do and nothing new to show; the
// station's traffic and port changes and the options wake it (StationView,
// PushOptions), and Timer2's tick whenever it is wanted.
void WindowBinding::Timer1_Timer() {
  station_.Timer1_Timer();
  if (!RefreshStatus() && !station_.ShortTickWanted()) {
    model_.Timer1.Rest();
  }
}

void WindowBinding::Timer2_Timer() {
  station_.Timer2_Timer();
  RefreshStatus();
  if (station_.ShortTickWanted()) {
    model_.Timer1.Wake();
  }
}

}  // namespace vantorel::app
