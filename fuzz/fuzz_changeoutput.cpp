// libFuzzer target for Changeoutput. The first byte sets the ports; the rest
// is one block of radio text. Only the documented overflow may escape (a
// refused write is the caller's to report, so the fuzzer's App 1 port never
// refuses), and a failed call must leave the text as it was.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cat/answer_translation.h"
#include "fuzz_ports.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) {
    return 0;
  }
  vantorel::fuzz::FuzzPorts ports(data[0] & 1U);
  const std::string radio(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string oneData = radio;
  try {
    const std::string result = vantorel::cat::Changeoutput(oneData, ports);
    if (result != oneData || result.find("TX") != std::string::npos) {
      __builtin_trap();
    }
  } catch (const vantorel::cat::AnswerOverflow&) {
    if (oneData != radio) {
      __builtin_trap();
    }
  }
  return 0;
}
