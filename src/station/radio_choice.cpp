// Which radio dialect the receiver works with: the model the user pinned, or
// the one learned from the radio while App 1 is emulating or extra
// applications are served (they speak the model's forms too). Part of Receiver
// (station/receive.h); apart from the passes because it runs only when the
// radio's port opens and while the radio is learned.
#include "station/receive.h"

namespace vantorel::station {

void Receiver::ChooseRadio() {
  if (ctx_.mode != Mode::Emulating && !ctx_.applications.Any()) {
    return;  // only the emulation and the extra applications speak the model's own forms
  }
  if (learning_.Learning()) {
    return;  // the radio's answers to the reads already sent are coming
  }
  if (const cat::RadioDialect* pinned = cat::FindRadioDialect(ctx_.options.radioModel)) {
    RadioKnown(*pinned, "The radio is taken as a Kenwood " + std::string(pinned->name) +
                            ", as the settings name it");
    return;
  }
  ctx_.ports.Write(PortRole::Radio, learning_.Start(*ctx_.radio, ctx_.loop.Now()));
}

bool Receiver::TakeLearning(const std::string& message) {
  if (!learning_.Learning()) {
    return false;
  }
  // Framed, the radio's text is one message; unframed, it is taken whole when
  // it holds nothing but answers to the learning's reads.
  bool taken = false;
  std::string_view rest = message;
  for (auto end = rest.find(ctx_.radio->terminator); end != std::string_view::npos;
       end = rest.find(ctx_.radio->terminator)) {
    taken = learning_.Take(rest.substr(0, end + 1));
    if (!taken) {
      break;
    }
    rest.remove_prefix(end + 1);
  }
  if (!learning_.Learning()) {
    RadioKnown(learning_.Learned(), learning_.Summary());
  }
  return taken && rest.empty();
}

void Receiver::ExpireLearning() {
  if (learning_.Expire(ctx_.loop.Now())) {
    RadioKnown(learning_.Learned(), learning_.Summary());
  }
}

void Receiver::RadioKnown(const cat::RadioDialect& radio, const std::string& why) {
  ctx_.radio = &radio;
  for (const auto& dialect : app1Dialects_) {
    dialect->FollowRadio(radio);
  }
  ctx_.applications.FollowRadio(radio);
  ctx_.events.Note(Topic::Routing, why);
  // App 1's commands that waited for the radio go on now, unless its pass is
  // running (it goes on with them itself).
  if (ctx_.mode == Mode::Emulating && ctx_.ports.IsOpen(PortRole::Radio)) {
    SendWaitingApp1Commands();
  }
}

}  // namespace vantorel::station
