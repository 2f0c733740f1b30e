// The station's events shown on the window: the latest texts in Text1 to
// Text3, the monitor in Text5, the VFO-B lamp Shape1, the port boxes locked
// while their port is open, and messages in message boxes. Notes for a log go
// to the log function.
//
// Threading: the program's one thread only.
#pragma once

#include <functional>
#include <string_view>

#include "app/message_boxes.h"
#include "model/catmux_model.h"
#include "station/station_events.h"

namespace vantorel::app {

using LogLine = std::function<void(station::Topic, std::string_view)>;

class StationView final : public station::StationEvents {
 public:
  StationView(model::CatmuxModel& model, MessageBoxes& boxes, LogLine log)
      : model_(model), boxes_(boxes), log_(std::move(log)) {}

  void LatestText(station::PortRole from, std::string_view text) override;
  void TranslatedText(std::string_view text) override { model_.Text1.Append(text); }
  void Monitor(std::string_view piece) override { model_.Text5.Append(piece); }
  void Message(station::Topic topic, std::string_view text) override;
  void Note(station::Topic topic, std::string_view text) override;
  void PortStateChanged(station::PortRole role, station::PortState state,
                        std::string_view reason) override;
  void App1VfoChanged(bool vfoB) override { model_.Shape1.SetVisible(vfoB); }
  void CaptureStopped() override;
  // The advice and its button in the status area, and a line in the log.
  void SuggestEmulation(std::string_view advice) override;
  // Into the Traffic window's list; the radio's messages also into Text6, as
  // Text5 shows App 1's, while the monitor is on.
  void Traffic(const station::TrafficLine& line) override;
  // Timer1 rests while it has nothing to do: the counts change with the
  // traffic, and the extra applications need its ticks once they open.
  void TrafficArrived() override { model_.Timer1.Wake(); }
  void ApplicationStateChanged(std::string_view /*name*/, station::PortState /*state*/,
                               std::string_view /*reason*/) override {
    model_.Timer1.Wake();
  }

  // True while the view itself unticks "Save Data": that is no user's click.
  [[nodiscard]] bool UntickingCapture() const { return untickingCapture_; }

 private:
  model::CatmuxModel& model_;
  MessageBoxes& boxes_;
  LogLine log_;
  bool untickingCapture_ = false;
};

}  // namespace vantorel::app
