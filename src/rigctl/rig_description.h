// What the server tells its clients about the radio: the text of \dump_state,
// which `rigctl -m 2` (and so WSJT-X, JTDX, fldigi through Hamlib) reads
// at open to learn the radio's ranges, modes and which levels it may ask for,
// and a short \dump_caps.
//
// A client refuses on its own what \dump_state does not announce: a level
// missing from the "get level" mask is answered "Feature not available" by
// `rigctl -m 2` without asking the server.
//
// Threading: constant data and pure functions.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vantorel::rigctl {

struct FrequencyRange {
  std::int64_t lowHertz;
  std::int64_t highHertz;
  std::uint32_t modes;          // Mode bits
  int lowPowerMilliwatts = -1;  // -1 on receive ranges
  int highPowerMilliwatts = -1;
};

// A tuning step or a filter width, for a set of modes.
struct ModeWidth {
  std::uint32_t modes;
  long hertz;
};

struct RigDescription {
  int hamlibModel;  // Hamlib's model number, shown by clients
  std::string_view modelName;
  std::string_view maker;
  std::string_view info;  // the answer to '_' (get_info)
  std::span<const FrequencyRange> receive;
  std::span<const FrequencyRange> transmit;
  std::span<const ModeWidth> tuningSteps;
  std::span<const ModeWidth> filters;  // each mode's first is its normal width
  int maxRitHertz;
  int maxXitHertz;
  // `rigctl -m 2` waits this plus 500 ms for each answer: room for a radio
  // several programs share.
  int timeoutMilliseconds;
};

// A Kenwood HF transceiver (TS-480 to TS-890S class) as Vantorel serves it:
// 30 kHz to 60 MHz, the amateur bands up to 6 m on transmit, the modes of
// hamlib_names.h.
extern const RigDescription kKenwoodTransceiver;

// Every mode the radio receives in (the union of the receive ranges' modes).
std::uint32_t Modes(const RigDescription& description);

// rigctld 4.5.4's \dump_state: protocol 1 and the fixed lines; `withSettings`
// adds the "key=value" lines up to "done" that rigctld sends once a client has
// asked \chk_vfo (`rigctl -m 2` always does; an older client does not and
// would not expect them).
std::string DumpState(const RigDescription& description, bool withSettings);
std::string DumpCaps(const RigDescription& description);

}  // namespace vantorel::rigctl
