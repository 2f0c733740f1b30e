// One serial port as the program uses it: App 1's port, App 2's port or the
// radio's port. The operations carry the names the rest of the program uses
// for them; a QSerialPort implementation sits behind it in the running
// program, an in-memory fake in tests.
//
// Threading: every call runs on the program's one thread. The receive event is
// raised from the event loop, never from inside one of these calls, and again
// while characters remain waiting after a handler has returned, so a burst of
// several radio answers is routed without waiting for new characters.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vantorel::bridge {

// A refusal by the serial layer; what() is the description shown to the user.
class SerialError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Event codes reported by CommEvent.
inline constexpr int kCommEventReceive = 2;

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Selects the system's n-th serial port (only while closed). Refuses a number
  // the layer cannot name at once; a number that names no device makes the
  // later open fail.
  virtual void CommPort(int number) = 0;
  // Selects a device by path, used as it stands (/dev/ttyUSB0, /dev/pts/7).
  virtual void CommDevice(const std::string& path) = 0;
  // "19200,N,8,1": baud, parity letter, data bits, stop bits. A malformed or
  // unsupported text is refused at once with a description.
  virtual void Settings(const std::string& settings) = 0;
  virtual void RThreshold(int characters) = 0;
  virtual void InputLen(int characters) = 0;
  virtual void OutBufferSize(int characters) = 0;
  virtual void NullDiscard(bool discard) = 0;

  [[nodiscard]] virtual bool PortOpen() const = 0;
  // True opens with the values set before (throws when the device is missing or
  // in use); false closes.
  virtual void PortOpen(bool open) = 0;
  // Raising RTS or DTR on a device without modem-control lines (a
  // pseudo-terminal) is not an error.
  virtual void RTSEnable(bool enable) = 0;
  virtual void DTREnable(bool enable) = 0;
  virtual void Break(bool enable) = 0;

  // Received characters waiting; 0 for a closed port.
  [[nodiscard]] virtual int InBufferCount() const = 0;
  // Characters still waiting to be sent; 0 for a closed port.
  [[nodiscard]] virtual int OutBufferCount() const = 0;
  // Removes and returns the next waiting character(s), at most InputLen; "" when none.
  virtual std::string Input() = 0;
  // Queues the text for sending and returns at once.
  virtual void Output(std::string_view text) = 0;
  // The code of the event being reported, inside the receive event.
  [[nodiscard]] virtual int CommEvent() const = 0;

  // The receive event handler (MSComm1_OnComm and its siblings).
  virtual void OnComm(std::function<void()> handler) = 0;
  // Called from the event loop when the device went away (a USB adapter pulled
  // out) and the port has closed itself, with a description of why.
  virtual void OnLost(std::function<void(const std::string& reason)> handler) = 0;
};

}  // namespace vantorel::bridge
