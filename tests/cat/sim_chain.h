// App 1's commands through the FT-950 emulation to a simulated Kenwood of
// each model, for the emulation's tests.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cat/ft950_emulation.h"
#include "recording_ports.h"
#include "sim/kenwood_radio.h"

namespace vantorel::cat::testing {

// Cuts a text into its ";"-ended pieces.
inline std::vector<std::string> Pieces(std::string_view text) {
  std::vector<std::string> pieces;
  for (auto end = text.find(';'); end != std::string_view::npos; end = text.find(';')) {
    pieces.emplace_back(text.substr(0, end + 1));
    text.remove_prefix(end + 1);
  }
  return pieces;
}

// A simulated model and the dialect the emulation learns for it.
struct Model {
  std::string sim;
  std::string_view dialect;
};
inline void PrintTo(const Model& model, std::ostream* out) { *out << model.sim; }

inline const Model kModels[] = {
    {"kenwood", "TS-590S"},  {"ts890", "TS-890S"},  {"ts990", "TS-990S"}, {"ts590", "TS-590S"},
    {"ts590sg", "TS-590SG"}, {"ts2000", "TS-2000"}, {"ts480", "TS-480"}};

// App 1's commands through the emulation to a simulated radio, whose replies
// come straight back, message by message: no time passes, so a read not
// answered by then would have stalled.
struct Chain {
  explicit Chain(const Model& model)
      : radio(*sim::FindModel(model.sim)), emulation(*FindRadioDialect(model.dialect)) {}

  std::string Send(std::string_view app1) {
    emulation.Take(app1);
    std::string got;
    while (const auto command = emulation.NextCommand()) {
      const CommandResult out = emulation.Command(*command, ctx);
      got += out.toApp;
      notes += out.note;
      for (const std::string& sent : Pieces(out.toRadio)) {
        const std::string reply = radio.Receive(sent);
        refusals += reply == "?;" ? 1 : 0;
        unanswered += reply.empty() ? 1 : 0;  // a setting, to the radio
        for (const std::string& piece : Pieces(reply)) {
          got += emulation.Answer(piece, ctx);
        }
      }
    }
    return got;
  }

  sim::KenwoodRadio radio;
  KeyingState keying;
  RecordingPorts ports;
  DialectContext ctx{.keying = keying, .ports = ports, .now = {}};
  Ft950Emulation emulation;
  std::string notes;
  int refusals = 0;
  int unanswered = 0;
};

}  // namespace vantorel::cat::testing
