// "sim:kenwood" (or "sim:ts890" and the other models): the simulated Kenwood
// radio inside the program, for trying the program with no radio on the desk
// and for the end-to-end tests. What the station writes goes to the radio; its
// answers and auto-information reports come back as received text on the next
// pass of the event loop, never inside Write, as a radio's answer comes a
// moment after the command.
//
// The radio itself is shared (the factory keeps it), so it keeps its state from
// one Start to the next, as a radio on the desk would. The line settings are
// checked and kept; they mean nothing here.
//
// Threading: the program's one thread.
#pragma once

#include <memory>
#include <string>

#include "ports/buffered_port.h"
#include "sim/kenwood_radio.h"

namespace vantorel::ports {

class SimPort final : public BufferedPort {
 public:
  SimPort(std::string name, std::shared_ptr<sim::KenwoodRadio> radio);

  void Open() override;
  void Close() override;
  [[nodiscard]] bool IsOpen() const override { return open_; }
  void RTSEnable(bool /*enable*/) override {}
  void DTREnable(bool /*enable*/) override {}
  void Break(bool /*enable*/) override {}

 protected:
  void DeviceWrite(std::string_view bytes) override;
  [[nodiscard]] std::size_t DeviceUnsent() const override { return 0; }
  bool WaitForArrival(std::chrono::microseconds most) override;

 private:
  void Deliver();

  std::shared_ptr<sim::KenwoodRadio> radio_;
  bool open_ = false;
  std::string answers_;  // said by the radio, not yet arrived
  bool deliveryPosted_ = false;
};

}  // namespace vantorel::ports
