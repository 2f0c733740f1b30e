// The traffic monitor: App 1's received text appended to the monitor box Text5,
// as characters or, with HexX ticked, as hexadecimal byte values.
//
// Threading: the program's one thread; nothing here yields.
#pragma once

#include <string>
#include <string_view>

#include "model/catmux_model.h"

namespace vantorel::bridge {

// Two upper-case hex digits per byte, no separators; a line feed ("0A") is
// followed by CR LF so the hex view starts a new line where the data does.
std::string HexForm(std::string_view block);

// Appends App 1's block to Text5: its hex form with HexX ticked, else the text
// itself, glued to what the box already holds. The caller tests Check1.
void MonitorApp1Block(model::CatmuxModel& model, std::string_view block);

}  // namespace vantorel::bridge
