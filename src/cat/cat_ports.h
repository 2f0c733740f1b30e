// The two ports a translation may write to while it runs.
//
// The command translation answers App 1 at once for a few commands and sends
// extra commands to the radio before its caller sends the translated text; the
// answer translation writes a few rebuilt answers straight to App 1. Both reach
// the ports only through this interface, so the bridge plugs in the real serial
// ports and tests record every write in order.
//
// Threading: called on the program's one thread, from inside a receive pass.
#pragma once

#include <string_view>

namespace vantorel::cat {

enum class CatPort { App1, Radio };

class CatPorts {
 public:
  virtual ~CatPorts() = default;
  // Whether the port is open at this moment; a write to a closed port is skipped.
  [[nodiscard]] virtual bool IsOpen(CatPort port) const = 0;
  // Queues the text for sending. May throw (a refused write); the caller decides
  // whether that fault is skipped or reported.
  virtual void Write(CatPort port, std::string_view text) = 0;
  // The same, ahead of everything else waiting to go, and never dropped: for
  // the commands that take the radio out of transmit.
  virtual void WriteFirst(CatPort port, std::string_view text) { Write(port, text); }
};

}  // namespace vantorel::cat
