// The traffic monitor's hexadecimal form of App 1's received text.
//
// Threading: the program's one thread; nothing here yields.
#pragma once

#include <string>
#include <string_view>

namespace vantorel::station {

// Two upper-case hex digits per byte, no separators; a line feed ("0A") is
// followed by CR LF so the hex view starts a new line where the data does.
std::string HexForm(std::string_view block);

}  // namespace vantorel::station
