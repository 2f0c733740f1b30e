// A server of Hamlib's NET rigctl protocol ("rigctld:[ADDRESS:]PORT"), as the
// station needs it: it listens, serves every client that connects with a
// session of its own over one radio, and says when a client goes.
//
// Threading: the program's one thread; the links are called from the event
// loop, never from inside Listen or Close.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "rigctl/rigctl_radio.h"

namespace vantorel::station {

struct RigctlServerLinks {
  rigctl::RigctlRadio& radio;
  // A client connected (true) or went away; `keyed` when its last PTT asked
  // for transmit and the radio may still be keyed by it.
  std::function<void(bool connected, bool keyed, std::string_view who)> client;
  // A request of a client was answered: for the traffic count.
  std::function<void()> request;
};

class RigctlServer {
 public:
  virtual ~RigctlServer() = default;
  // Starts listening; throws SerialError with the system's reason.
  virtual void Listen() = 0;
  // Stops listening and lets every client go (without telling `client`).
  virtual void Close() = 0;
  [[nodiscard]] virtual bool IsListening() const = 0;
  [[nodiscard]] virtual std::size_t Clients() const = 0;
};

}  // namespace vantorel::station
