// App 1's commands through the FT-950 emulation to a simulated Kenwood of
// each model, for the emulation's tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "cat/ft950_emulation.h"
#include "radio_steps.h"
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

// App 1's commands through the emulation to a simulated radio, whose replies
// come straight back, message by message: no time passes, so a read not
// answered by then would have stalled.
struct Chain {
  explicit Chain(const vantorel::testing::SimulatedModel& model)
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
