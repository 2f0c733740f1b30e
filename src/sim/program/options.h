// vantorel-sim's command line.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/radio_model.h"

namespace vantorel::sim::program {

// The usage text, naming every model the radio can be.
std::string Usage();

struct Options {
  std::filesystem::path link;
  const RadioModel* model = &LenientModel();
  bool trace = false;
  bool help = false;
  bool version = false;
};

// The options, or the reason the command line is not understood.
struct ParsedOptions {
  std::optional<Options> options;
  std::string error;
};

ParsedOptions ParseOptions(const std::vector<std::string_view>& arguments);

}  // namespace vantorel::sim::program
