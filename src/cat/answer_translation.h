// Changeoutput: the radio's Kenwood answers rewritten into Yaesu answers for App 1.
//
// Keeps no state between calls. The rebuilt "IF" status answer and a few table
// entries are written straight to App 1 (when its port is open) before the
// returned text, which the caller writes afterwards.
//
// Threading: runs whole on the program's one thread; it never yields.
#pragma once

#include <stdexcept>
#include <string>

#include "cat/cat_ports.h"

namespace vantorel::cat {

// A value field the 16-bit arithmetic of the answers cannot hold (such as 1E9).
class AnswerOverflow : public std::overflow_error {
 public:
  AnswerOverflow() : std::overflow_error("Overflow") {}
};

// Translates oneData in place and returns the same final text. Throws
// AnswerOverflow for a value field that does not fit a 16-bit number, and lets
// a refused direct write to App 1 through; either way oneData is left as it
// was, and the receive path reports the failure.
std::string Changeoutput(std::string& oneData, CatPorts& ports);

}  // namespace vantorel::cat
