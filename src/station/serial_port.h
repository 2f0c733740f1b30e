// One serial port as the station uses it: App 1's port, App 2's port or the
// radio's port. Behind it sits a device (QSerialPort), a pseudo-terminal the
// program made, a network connection or the simulated radio; the station never
// asks which. Tests use an in-memory fake.
//
// Threading: every call runs on the program's one thread and returns without
// handling events. The receive event and the news are raised from the event
// loop, never from inside one of these calls. The receive event is raised
// again while characters remain waiting after a handler that took some, so a
// burst of several radio answers is routed without new characters arriving.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "station/event_loop.h"
#include "station/line_settings.h"
#include "station/rigctl_server.h"

namespace vantorel::station {

// A refusal by the serial layer; what() is the description shown to the user.
class SerialError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What happened to a port's far end, told once per change.
enum class PortChange {
  Lost,      // the device or connection went away; the port is closed now
  Restored,  // it came back on its own and the port is open again
  PeerGone,  // the port stays open, but the program on its far end let go
  PeerBack,  // a program took the far end again
  Overflow,  // a queue is past its bound (a far end that reads nothing, input
             // that comes faster than it is read): the oldest is dropped
  Notice,    // something worth a line in the log (a second client refused, ...)
};

struct PortNews {
  PortChange change;
  std::string reason;     // for Lost and Overflow: why, in words for the user
  bool retrying = false;  // for Lost: the port keeps trying to come back
};

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // The name the user gave the port ("/dev/ttyUSB0", "COM3", ...).
  [[nodiscard]] virtual const std::string& Name() const = 0;

  // The line's speed, parity, data bits and stop bits, for the next open and
  // at once while open; a device that cannot take them throws SerialError.
  // Ports without a line of their own (a network connection, the simulated
  // radio) have no use for them.
  virtual void Settings(const LineSettings& line) = 0;
  // Received NULs are dropped before anyone sees them (App 1's and App 2's ports).
  virtual void NullDiscard(bool discard) = 0;

  // Throws SerialError with the system's reason when the device is missing or in use.
  virtual void Open() = 0;
  // Open(), for a port set up while the program runs: one whose device or
  // connection is away now counts as lost instead, and is tried again as a
  // port lost while open is (Restored when it is back). Returns why it is not
  // open yet. A kind that has nothing to try again throws as Open() does.
  virtual std::optional<std::string> OpenOrKeepTrying() {
    Open();
    return std::nullopt;
  }
  // Closes, stops any attempt to come back, and forgets unread input.
  virtual void Close() = 0;
  [[nodiscard]] virtual bool IsOpen() const = 0;
  // Raising RTS or DTR on a line without modem-control lines (a
  // pseudo-terminal, a network connection) is not refused.
  virtual void RTSEnable(bool enable) = 0;
  virtual void DTREnable(bool enable) = 0;
  // Sets or ends a break on the line. A line that cannot carry one has none to
  // end: only a port that lost its device fails here, and it reports that
  // loss through its news, once.
  virtual void Break(bool enable) = 0;

  // Received characters waiting; 0 for a closed port (InBufferCount).
  [[nodiscard]] virtual std::size_t Waiting() const = 0;
  // Takes everything waiting now.
  virtual std::string ReadWaiting() = 0;
  // Takes the waiting text up to and including the first `terminator`. When no
  // terminator is waiting, waits (without handling events) for more as long as
  // each character comes within `gap` of the one before, and never past
  // `deadline`. Nothing is taken when no terminator came: what arrived stays
  // waiting.
  virtual std::optional<std::string> ReadThrough(char terminator, std::chrono::microseconds gap,
                                                 Clock::time_point deadline) = 0;
  // Drops the first `count` waiting characters.
  virtual void Discard(std::size_t count) = 0;

  // Queues the text for sending and returns at once; a closed port skips it.
  // A far end that reads slowly never makes this fail: the text waits, and
  // when too much waits the oldest whole messages go (PortChange::Overflow).
  virtual void Write(std::string_view text) = 0;
  // Characters still to be sent; 0 for a closed port (OutBufferCount).
  [[nodiscard]] virtual std::size_t Unsent() const = 0;
  // Queues the text ahead of everything not yet handed to the device (behind
  // text given here earlier), and never drops it to make room: an unkey must
  // neither wait behind traffic nor be lost from a full queue. A closed port
  // skips it.
  virtual void WriteFirst(std::string_view text) = 0;
  // Characters given to WriteFirst that have not been sent yet; 0 for a
  // closed port.
  [[nodiscard]] virtual std::size_t UnsentFirst() const = 0;

  // Characters arrived (the receive event).
  virtual void OnReceive(std::function<void()> handler) = 0;
  virtual void OnNews(std::function<void(const PortNews&)> handler) = 0;
};

// Makes the port a name stands for: "COM3", a device path beginning with "/",
// or one of the other forms the program knows. Throws SerialError for a name
// that stands for no port at all ("COM0").
class PortFactory {
 public:
  virtual ~PortFactory() = default;
  [[nodiscard]] virtual std::shared_ptr<SerialPort> Make(const std::string& name) = 0;
  // The NET rigctl server a "rigctld:[ADDRESS:]PORT" name stands for; throws
  // SerialError for a name that stands for none, or where there are none.
  [[nodiscard]] virtual std::unique_ptr<RigctlServer> MakeRigctlServer(const std::string& name,
                                                                       RigctlServerLinks links) {
    (void)links;
    throw SerialError("No server of Hamlib's network protocol here for \"" + name + "\"");
  }
};

}  // namespace vantorel::station
