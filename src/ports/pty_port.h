// "pty:PATH": a virtual serial port the program makes itself. It creates a
// pseudo-terminal, links the terminal side at PATH, and an application opens
// PATH as its serial port (under Wine, a dosdevices link to PATH makes it a
// COM port). No socat or other helper is needed.
//
// A stale link at PATH is replaced (told as a Notice); anything else there is
// refused at Open and left untouched (see pty::PtyEndpoint). The link goes when
// the port closes, if it still points here. A link removed while the port is
// open is made again within kLinkCheckInterval, and told once; something else
// put at PATH meanwhile is left alone, and told once. The application may
// close its end and open it again any number of times: its leaving is told as
// PeerGone, its return as PeerBack, and what the station sends meanwhile goes
// nowhere, as on a serial cable with nothing plugged in. The line settings are
// checked and kept; a pseudo-terminal has no speed of its own.
//
// Threading: the program's one thread. While an application is there, the line
// is watched by the event loop; while none is, a timer looks for one every
// pty::kClientCheckInterval (the line reports hang-up all the time then, and
// watching it would spin).
#pragma once

#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "ports/buffered_port.h"
#include "pty/pty_endpoint.h"

namespace vantorel::ports {

// How often an open port looks whether its link is still there.
inline constexpr std::chrono::milliseconds kLinkCheckInterval{1000};

class PtyPort final : public BufferedPort {
 public:
  // The terminal side gets `access` (pty:PATH?group=NAME&mode=OCTAL).
  PtyPort(std::string name, std::filesystem::path link, pty::TerminalAccess access = {});
  ~PtyPort() override;

  // Makes the pseudo-terminal and the link; throws SerialError naming the path
  // and the reason when the link cannot be made.
  void Open() override;
  void Close() override;
  [[nodiscard]] bool IsOpen() const override { return line_.has_value(); }
  void RTSEnable(bool /*enable*/) override {}
  void DTREnable(bool /*enable*/) override {}
  void Break(bool /*enable*/) override {}

 protected:
  void DeviceWrite(std::string_view bytes) override;
  [[nodiscard]] bool GathersWrites() const override { return true; }
  [[nodiscard]] std::size_t DeviceUnsent() const override { return unsent_.size(); }
  void Pull() override;
  bool WaitForArrival(std::chrono::microseconds most) override;

 private:
  void LookForApplication();
  void ApplicationCame();
  void ApplicationLeft();
  // Watches the line while an application is there, else looks on a timer.
  void Watch();
  void Flush();
  void CheckLink();

  std::filesystem::path link_;
  pty::TerminalAccess access_;
  std::optional<pty::PtyEndpoint> line_;
  std::unique_ptr<QSocketNotifier> readable_;
  std::unique_ptr<QSocketNotifier> writable_;
  QTimer lookForApplication_;
  QTimer linkCheck_;
  bool linkTaken_ = false;  // told that the link is no longer ours
  bool application_ = false;
  std::string unsent_;
};

}  // namespace vantorel::ports
