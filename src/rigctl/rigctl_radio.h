// The radio as a client of Hamlib's NET rigctl protocol sees it (WSJT-X, JTDX,
// fldigi, loggers, `rigctl -m 2`): the values a RigctlSession reads and sets,
// and the small interface the station implements to answer them.
//
// Who calls what: a RigctlSession calls Read and Write, one request at a time
// per client, in the order the client asked. The radio side calls `done`
// exactly once per request: either inside Read/Write, when it answers from a
// state it already knows, or later, when the radio has answered.
//
// Threading: everything on the station's one thread; `done` is never called
// from another thread, and Read/Write never block waiting for the radio. A
// session may be destroyed while a request is outstanding; its `done` then
// does nothing, so the radio side never has to cancel.
#pragma once

#include <cstdint>
#include <functional>

namespace vantorel::rigctl {

// Hamlib's error codes; the client reads "RPRT -n".
enum class RigError : int {
  kOk = 0,
  kInvalidArgument = 1,  // RIG_EINVAL: a value the radio cannot take
  kNotImplemented = 4,   // RIG_ENIMPL
  kTimeout = 5,          // RIG_ETIMEOUT: the radio did not answer
  kProtocol = 8,         // RIG_EPROTO: the radio's answer made no sense
  kRejected = 9,         // RIG_ERJCTED: the radio refused the command
  kNotAvailable = 11,    // RIG_ENAVAIL: no such feature here
  kPowerOff = 20,        // RIG_EPOWER: the radio is switched off
};

enum class Vfo : std::uint8_t { kCurrent, kA, kB };

// The modes a Kenwood HF transceiver has, by Hamlib's mode bits (RIG_MODE_*).
enum class Mode : std::uint32_t {
  kAm = 0x1,
  kCw = 0x2,
  kUsb = 0x4,
  kLsb = 0x8,
  kRtty = 0x10,
  kFm = 0x20,
  kCwReverse = 0x80,
  kRttyReverse = 0x100,
  kDataLsb = 0x400,
  kDataUsb = 0x800,
  kDataFm = 0x1000,
};

// What a client reads or sets, and which RigValue field carries it.
enum class Quantity : std::uint8_t {
  kFrequency,    // hertz, of `vfo`
  kMode,         // mode and passband, of `vfo`
  kVfo,          // vfo: the one the radio receives on
  kSplit,        // number: 0 off, 1 on; vfo: the transmitting VFO
  kPtt,          // number: 0 receive, 1 keyed, 2 keyed with microphone audio, 3 with data audio
  kPowerStatus,  // number: 0 off, 1 on, 2 standby
  kAfGain,       // fraction, 0..1
  kRfGain,       // fraction
  kSquelch,      // fraction
  kRfPower,      // fraction of full power
  kMicGain,      // fraction
  kKeySpeed,     // number: words per minute
  kStrength,     // number: dB over S9 (read only)
};

struct RigValue {
  std::int64_t hertz = 0;
  Mode mode = Mode::kUsb;
  // Hertz. Written: 0 asks for the mode's normal width, -1 leaves it as it is.
  std::int64_t passband = 0;
  Vfo vfo = Vfo::kA;
  int number = 0;
  float fraction = 0;
};

class RigctlRadio {
 public:
  using ReadDone = std::function<void(RigError error, const RigValue& value)>;
  using WriteDone = std::function<void(RigError error)>;

  virtual ~RigctlRadio() = default;

  // `vfo` is the one the client named (its VFO option on), else kCurrent.
  virtual void Read(Quantity quantity, Vfo vfo, ReadDone done) = 0;
  // Only the fields that carry `quantity` are meaningful.
  virtual void Write(Quantity quantity, Vfo vfo, const RigValue& value, WriteDone done) = 0;
};

}  // namespace vantorel::rigctl
