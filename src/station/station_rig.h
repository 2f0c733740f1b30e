// The radio as the NET rigctl server's clients see it: their reads and
// settings in the radio dialect in hand, through the radio shared with the
// other applications (RadioRequests), so what several clients poll reaches
// the radio once while it is fresh.
//
// The current VFO's frequency, mode, split and transmit state come from the
// radio's status answer, one read for all of them. Keying goes through the
// station's keying (KeyDown/KeyUp), so the transmit time-out comes however a
// client keyed; the owner hears of every change to log who keyed.
//
// Threading: the program's one thread; completions come from RadioRequests.
#pragma once

#include <functional>
#include <memory>

#include "cat/radio_dialect.h"
#include "rigctl/rig_description.h"
#include "rigctl/rigctl_radio.h"
#include "station/radio_requests.h"

namespace vantorel::station {

class StationRig final : public rigctl::RigctlRadio {
 public:
  struct Context {
    RadioRequests& requests;
    const cat::RadioDialect* const& radio;
    ApplicationId owner;
    // A client asked for transmit (true) or receive: the owner keys or
    // unkeys through the station's keying and returns at once.
    std::function<void(bool keyed)> keying;
  };
  explicit StationRig(Context context) : ctx_(std::move(context)) {}

  void Read(rigctl::Quantity quantity, rigctl::Vfo vfo, ReadDone done) override;
  void Write(rigctl::Quantity quantity, rigctl::Vfo vfo, const rigctl::RigValue& value,
             WriteDone done) override;

 private:
  // Reads one kind of the radio's answer; `then` gets its value (the
  // characters in the form's placeholders) or the error.
  using Value = std::function<void(rigctl::RigError error, std::string_view value)>;
  void ReadKey(cat::RadioKey key, Value then);
  void ReadStatus(ReadDone done,
                  std::function<void(std::string_view status, rigctl::RigValue&)> fill);
  void SetKey(cat::RadioKey key, std::string_view value, WriteDone done);
  [[nodiscard]] const cat::RadioDialect& Radio() const { return *ctx_.radio; }

  Context ctx_;
};

}  // namespace vantorel::station
