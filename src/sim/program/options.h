// vantorel-sim's command line.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::sim::program {

inline constexpr std::string_view kUsage =
    "Usage: vantorel-sim [--link PATH] [--trace]\n"
    "\n"
    "Serves a simulated Kenwood TS-590S on a new pseudo-terminal until\n"
    "interrupted (Ctrl+C) or terminated.\n"
    "\n"
    "  --link PATH  make PATH a symbolic link to the radio's port (a link already\n"
    "               there is replaced, any other file is refused); print PATH\n"
    "               instead of the device path\n"
    "  --trace      write every command and answer to standard error\n"
    "  --help       print this text\n"
    "\n"
    "Example: vantorel-sim --link /tmp/radio &  rigctl -m 2031 -r /tmp/radio f\n";

struct Options {
  std::filesystem::path link;
  bool trace = false;
  bool help = false;
};

// The options, or the reason the command line is not understood.
struct ParsedOptions {
  std::optional<Options> options;
  std::string error;
};

ParsedOptions ParseOptions(const std::vector<std::string_view>& arguments);

}  // namespace vantorel::sim::program
