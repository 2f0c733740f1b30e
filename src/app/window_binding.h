// The window's controls as the station's settings, and its buttons and timer
// as the station's commands: a tick of a switch changes the station's options
// at once, Test, Reset, the two Send buttons and Clear act on the ports and
// the monitor, and Timer2 drives the transmit supervision.
//
// Threading: the program's one thread only.
#pragma once

#include "app/station_view.h"
#include "model/attachments.h"
#include "model/catmux_model.h"
#include "settings/settings.h"
#include "station/station.h"

namespace vantorel::app {

// The station's options as the form's switches hold them.
[[nodiscard]] station::Options OptionsFromForm(const model::CatmuxModel& model);
// What the settings file keeps, as the form holds it now.
[[nodiscard]] settings::Settings SettingsFromForm(const model::CatmuxModel& model);
// Puts settings into the form's controls.
void ApplySettings(const settings::Settings& settings, model::CatmuxModel& model);
// The ports Start opens, from the port and line boxes as they stand.
[[nodiscard]] station::PortSetup PortSetupFromForm(const model::CatmuxModel& model);

// The mode box's choice for the switches as they stand.
[[nodiscard]] model::ModeChoiceItem ModeOfSwitches(const model::CatmuxModel& model);

// "m:ss" for a number of seconds.
[[nodiscard]] std::string MinutesAndSeconds(long seconds);

class WindowBinding {
 public:
  WindowBinding(model::CatmuxModel& model, station::Station& station, const StationView& view);
  WindowBinding(const WindowBinding&) = delete;
  WindowBinding& operator=(const WindowBinding&) = delete;

  void Command3_Click();  // Test
  void Command5_Click();  // Reset
  void Command6_Click();  // Send to Radio
  void Command7_Click();  // Clear
  void Command9_Click();  // Send to Rigdesk
  void Ignore2_Click();
  void Check3_Click();
  void Timer1_Timer();
  void Timer2_Timer();

 private:
  void PushOptions();
  // The mode box chose: the switches follow.
  void ModeChosen();
  // The switches changed: the mode box and App 2's controls follow.
  void FollowSwitches();
  // The transmitter and the traffic counts, as the station has them now;
  // whether that changed what the window shows.
  bool RefreshStatus();

  bool choosing_ = false;
  model::CatmuxModel& model_;
  station::Station& station_;
  const StationView& view_;
  model::Attachments attached_;
};

}  // namespace vantorel::app
