// One client of the NET rigctl server (rigctld's protocol, as Hamlib 4.5.4
// speaks it): takes the bytes the client sent, in pieces of any size, and
// gives back the text to send it, each answer whole and in the order asked,
// answered from a RigctlRadio.
//
// `rigctl -m 2` of Hamlib 4.5.4 (and so WSJT-X, JTDX and fldigi through
// Hamlib) opens with \chk_vfo and \dump_state, then reads v, f, f, s, m, m and
// \get_powerstat; before each M it asks \get_lock_mode and leaves M out while
// the mode is locked. Some answers it gives from its own cache, so a command
// given to it does not always reach the server.
//
// Requests are carried out one at a time: while the radio has not answered,
// further input waits (at most kMostWaitingInput bytes; a client that sends
// more without reading its answers is dropped). Commands rigctld knows but
// this server does not carry out are answered "RPRT -11" (not available)
// after their inputs are read; characters and names rigctld does not know are
// answered with nothing, as rigctld does. Unlike rigctld, every request the
// radio fails is answered with its RPRT: rigctld 4.5.4 answers nothing at all
// to a read while it believes the radio off, or after a port error
// (RIG_EIO), and leaves the client to its time-out.
//
// Where rigctld 4.5.4 keeps something for all clients together that is really
// each client's own, it is kept per client here: the answer separator (rigctld
// lets one client's ';' leak into the next connection's answers), the VFO
// option, and whether \chk_vfo was asked (which chooses the long
// \dump_state). What rigctld means to share, \set_lock_mode, is in
// ServerState.
//
// Threading: the station's one thread. `send` and `close` are called from
// Receive or from a radio's completion; they must not destroy the session
// there and then (a Qt owner uses deleteLater).
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "rigctl/request_framer.h"
#include "rigctl/rig_description.h"
#include "rigctl/rigctl_radio.h"

namespace vantorel::rigctl {

// What rigctld keeps once for all its clients.
struct ServerState {
  RigDescription description = kKenwoodTransceiver;
  // \set_lock_mode 1: set_mode is then answered RPRT 0 and changes nothing.
  bool modeLocked = false;
  // \set_separator stores it and \get_separator reads it; rigctld 4.5.4 uses
  // it for nothing else.
  char separator = '\n';
};

class RigctlSession {
 public:
  static constexpr std::size_t kMostWaitingInput = 64 * 1024;

  struct Links {
    std::function<void(std::string_view text)> send;
    // The client said 'q' (after its "RPRT 0" was sent), or was dropped.
    std::function<void()> close;
  };

  RigctlSession(RigctlRadio& radio, ServerState& server, Links links);

  void Receive(std::string_view bytes);

  // The last PTT this client asked for keys the radio: when its link goes,
  // the owner unkeys.
  [[nodiscard]] bool Keyed() const { return keyed_; }

 private:
  void Pump();
  void Execute(const Request& request);
  void Carry(const Request& request);
  // The commands answered from the server's own state; false for the others.
  bool AnswerHere(const Request& request);

  // The extended form's label, the text, and the separator.
  void Value(std::string_view label, std::string_view text);
  // As rigctld writes some values: with '\n' whatever the separator.
  void Line(std::string_view label, std::string_view text);
  // Ends the answer as rigctld does, sends it, and takes the next request.
  void Finish(RigError error);

  [[nodiscard]] std::string_view Label(std::size_t index) const { return current_->labels[index]; }
  // The mode and the passband, then the end of the answer.
  void ShowMode(std::size_t label, const RigValue& value);

  // A failed read or write ends the answer with its "RPRT"; `then` and
  // `next` go on with the request and end it.
  using Then = std::function<void(const RigValue& value)>;
  void Read(Quantity quantity, Vfo vfo, Then then);
  void Write(Quantity quantity, Vfo vfo, const RigValue& value, std::function<void()> next = {});
  void Transmitting(std::function<void(Vfo transmit)> then);
  // The client's VFO when it named one, else the current.
  [[nodiscard]] Vfo TargetVfo(const Request& request) const;
  // "M", "X" and "K": checks the mode (and frequency) words and sets them.
  void SetMode(const Request& request, Vfo vfo);
  void GetLevel(const Request& request);
  void SetLevel(const Request& request);
  void GetVfoInfo(const Request& request);

  RigctlRadio& radio_;
  ServerState& server_;
  Links links_;
  RequestFramer framer_;
  std::string input_;
  std::size_t taken_ = 0;  // of input_, already framed
  const CommandSpec* current_ = nullptr;
  std::string answer_;
  bool pending_ = false;
  bool pumping_ = false;
  bool closed_ = false;
  bool checkedVfo_ = false;
  bool keyed_ = false;
  // Completions hold it weakly: a completion after the session is gone does nothing.
  std::shared_ptr<int> alive_ = std::make_shared<int>();
};

}  // namespace vantorel::rigctl
