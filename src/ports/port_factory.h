// Makes the port a name in a port box stands for.
//
// Threading: the program's one thread.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "sim/kenwood_radio.h"
#include "station/serial_port.h"

namespace vantorel::ports {

class QtPortFactory final : public station::PortFactory {
 public:
  // `folder` is the program's settings folder, where the encrypted kinds find
  // the station's key, certificate and trusted/ (tls_identity.h).
  explicit QtPortFactory(std::filesystem::path folder = std::filesystem::current_path())
      : folder_(std::move(folder)) {}

  // By the name's beginning (either case):
  //   "pty:PATH"                   a pseudo-terminal of ours linked at PATH (PtyPort)
  //   "sim:kenwood"                the simulated radio inside the program (SimPort);
  //   "sim:ts890", "sim:ts2000"..  the same as one model (sim::ModelNames())
  //   "tcp:HOST:PORT"              a raw TCP connection to a network serial port (TcpPort)
  //   "tcp-listen:[ADDRESS:]PORT"  an application connecting to us (TcpListenPort)
  //   "tls:HOST:PORT"              the radio at a Vantorel at the site, encrypted (TlsPort)
  //   "tls-listen:[ADDRESS:]PORT"  the Vantorel at home connecting to us, encrypted (TlsListenPort)
  //   "COMn"                       the system's n-th serial port (DevicePort)
  //   "/..."                       a device path used as it stands (DevicePort)
  // Throws SerialError for a name whose form is known but whose rest is not
  // ("pty:" without a path, "tcp:" without a port, "sim:" of another radio).
  [[nodiscard]] std::shared_ptr<station::SerialPort> Make(const std::string& name) override;
  //   "rigctld:[ADDRESS:]PORT"     Hamlib's NET rigctl protocol (RigctldServer)
  [[nodiscard]] std::unique_ptr<station::RigctlServer> MakeRigctlServer(
      const std::string& name, station::RigctlServerLinks links) override;

  // The radio behind every "sim:MODEL" port this factory makes, one per model
  // (`model` one of sim::ModelNames(), else std::invalid_argument). It keeps its
  // state from one Start to the next, as a radio on the desk would.
  [[nodiscard]] std::shared_ptr<sim::KenwoodRadio> SimulatedRadio(
      std::string_view model = "kenwood");

  [[nodiscard]] const std::filesystem::path& Folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
  std::map<std::string, std::shared_ptr<sim::KenwoodRadio>> radios_;
};

}  // namespace vantorel::ports
