// Port setup: configures and opens App 2's, App 1's and the radio's ports from
// the window's controls, then switches on the radio's auto-information.
//
// Threading: the program's one thread; nothing here waits or yields.
#pragma once

#include <string>

#include "bridge/ports.h"
#include "model/catmux_model.h"
#include "model/platform.h"

namespace vantorel::bridge {

// The settings text of the two application ports.
inline constexpr const char* kAppPortSettings = "19200,N,8,1";

// The radio's settings text from the Baud, Parity, DataBits and StopBits combo
// boxes, as they stand ("4800,E,8,1"); the port judges it.
std::string RadioSettingsText(const model::CatmuxModel& model);

// In this order: App 2's port (only while Ignore2 is clear), App 1's port, the
// radio's port, then "AI1;" to the radio unless Ignore1 is ticked. Each port is
// closed, configured, opened, RTS then DTR raised, and its combo box disabled.
// A port that cannot be opened (or whose RTS cannot be raised) is reported in a
// message box and ends the setup before any later port is touched; a refusal
// after a port has been opened in this run ends the setup silently, but still
// sends "AI1;" to an open radio port. Never throws a SerialError.
void InitPorts(model::CatmuxModel& model, const Ports& ports, model::MessageBoxes& boxes);

}  // namespace vantorel::bridge
