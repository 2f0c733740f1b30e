// vantorel-sim's loop: the simulated radio served on a pseudo-terminal.
//
// One thread and one poll(). While an application has the terminal side open,
// the loop sleeps until the line or the stop descriptor has something; while
// none has, it looks again every pty::kClientCheckInterval instead of watching
// the line, which reports hang-up all the time then. An application that goes
// away takes its unread answers and its half-sent command with it.
#pragma once

#include <ostream>

#include "pty/pty_endpoint.h"
#include "sim/kenwood_radio.h"

namespace vantorel::sim::program {

// Serves until `stopFd` becomes readable. With a `trace`, every piece the
// computer sends and every answer are written there, one line each.
// Throws std::system_error when waiting fails for a reason other than a signal.
void Serve(pty::PtyEndpoint& line, KenwoodRadio& radio, int stopFd, std::ostream* trace);

}  // namespace vantorel::sim::program
