// "rigctld:[ADDRESS:]PORT": a TCP server of Hamlib's NET rigctl protocol, on
// 127.0.0.1 unless an address is given, each client with a RigctlSession of
// its own over the one radio, and one ServerState for all of them.
//
// A client that goes away, or is dropped, is told to the station with
// whether its last PTT keyed the radio, so the station can unkey it.
//
// Threading: the program's one thread; sockets are deleted later, never in
// their own handlers.
#pragma once

#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <map>
#include <memory>

#include "ports/network_address.h"
#include "rigctl/rigctl_session.h"
#include "station/rigctl_server.h"

namespace vantorel::ports {

class RigctldServer final : public station::RigctlServer {
 public:
  RigctldServer(NetworkAddress address, station::RigctlServerLinks links);
  ~RigctldServer() override;
  RigctldServer(const RigctldServer&) = delete;
  RigctldServer& operator=(const RigctldServer&) = delete;

  void Listen() override;
  void Close() override;
  [[nodiscard]] bool IsListening() const override { return server_ && server_->isListening(); }
  [[nodiscard]] std::size_t Clients() const override { return clients_.size(); }

 private:
  struct Client {
    QTcpSocket* socket;  // deleted later by Qt; owned through its parent-less deleteLater
    std::unique_ptr<rigctl::RigctlSession> session;
    std::string who;
  };
  void TakeConnections();
  void Gone(QTcpSocket* socket);

  NetworkAddress address_;
  station::RigctlServerLinks links_;
  rigctl::ServerState state_;
  std::unique_ptr<QTcpServer> server_;
  std::map<QTcpSocket*, Client> clients_;
  QObject context_;  // the connections' receiver: they end with it
};

}  // namespace vantorel::ports
