// Whether App 1, while the mode is Translating (the profile built for the
// remote-control program App 1 was set up with, which expects its commands
// echoed), is in fact a standard FT-950 program. Those programs (Hamlib's
// FT-950 backend and everything built on it) open the port by reading the
// radio's auto-information state ("AI;") and its model ("ID;"), then set and
// read back the CAT time-out menu ("EX0271;EX027;"). The remote-control
// program reads none of these: a read of "AI;", or "ID;" followed by any
// EX027 command, is the sign. Under Translating such a program gets echoes
// where it expects answers and reports protocol errors, so the user is told
// once which mode fits; the mode is never switched for them.
//
// Threading: plain value, the program's one thread.
#pragma once

#include <string_view>

namespace vantorel::cat {

class StandardClientSign {
 public:
  // Takes one of App 1's commands as it was cut from its block. True once:
  // for the command that completes the sign.
  bool Take(std::string_view command);
  // App 1's port was closed or made anew: it starts over.
  void Reset() { *this = {}; }

 private:
  bool modelRead_ = false;
  bool told_ = false;
};

}  // namespace vantorel::cat
