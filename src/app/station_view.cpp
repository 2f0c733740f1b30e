#include "app/station_view.h"

#include <string>

#include "station/monitor.h"
#include "station/traffic.h"

namespace vantorel::app {

using station::PortRole;
using station::PortState;

void StationView::LatestText(PortRole from, std::string_view text) {
  switch (from) {
    case PortRole::App1:
      model_.Text1.SetText(std::string(text));
      break;
    case PortRole::App2:
      model_.Text2.SetText(std::string(text));
      break;
    case PortRole::Radio:
      model_.Text3.SetText(std::string(text));
      break;
  }
}

void StationView::Message(station::Topic topic, std::string_view text) {
  boxes_.MsgBox(std::string(text), topic);
}

void StationView::Note(station::Topic topic, std::string_view text) { log_(topic, text); }

void StationView::PortStateChanged(PortRole role, PortState state, std::string_view reason) {
  model_.Timer1.Wake();  // the counts start again at a Start; a keyed radio may be unkeyed
  model::ComboBox& box = role == PortRole::App1   ? model_.Soft1Com
                         : role == PortRole::App2 ? model_.Soft2Com
                                                  : model_.RadioCom;
  // A port in use (open, or coming back after a loss) keeps its box locked;
  // a closed or failed one gives it back, so the user can pick another.
  box.SetEnabled(state == PortState::Closed || state == PortState::Failed ||
                 state == PortState::Refused);

  model::Lamp& lamp = role == PortRole::App1   ? model_.App1Lamp
                      : role == PortRole::App2 ? model_.App2Lamp
                                               : model_.RadioLamp;
  using Light = model::Lamp::State;
  switch (state) {
    case PortState::Closed:
      lamp.SetValue(Light::Off);
      lamp.SetToolTipText("Closed");
      break;
    case PortState::Open:
      lamp.SetValue(Light::On);
      lamp.SetToolTipText("Open");
      break;
    case PortState::Reconnecting:
      lamp.SetValue(Light::Waiting);
      lamp.SetToolTipText("Coming back: " + std::string(reason));
      break;
    case PortState::Failed:
      lamp.SetValue(Light::Failed);
      lamp.SetToolTipText("Failed: " + std::string(reason));
      break;
    case PortState::Refused:
      lamp.SetValue(Light::Failed);
      lamp.SetToolTipText("Could not be opened: " + std::string(reason));
      break;
  }
}

void StationView::CaptureStopped() {
  untickingCapture_ = true;
  model_.Check3.SetValue(Check::Clear);
  untickingCapture_ = false;
}

void StationView::Traffic(const station::TrafficLine& line) {
  if (line.source == station::TrafficSource::Radio &&
      line.direction == station::Direction::ToVantorel && model_.Check1.Ticked()) {
    model_.Text6.Append(model_.HexX.Ticked() ? station::HexForm(line.text) : line.text);
  }
  model_.Traffic.Add(line);
}

void StationView::SuggestEmulation(std::string_view advice) {
  log_(station::Topic::Routing, advice);
  model_.ModeAdvice.SetToolTipText(std::string(advice));
  model_.UseEmulation.SetToolTipText("Sets the Mode to \"Translating, FT-950 emulation\"");
  model_.ModeAdvice.SetVisible(true);
  model_.UseEmulation.SetVisible(true);
}

}  // namespace vantorel::app
