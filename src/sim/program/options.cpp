#include "sim/program/options.h"

namespace vantorel::sim::program {

ParsedOptions ParseOptions(const std::vector<std::string_view>& arguments) {
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--trace") {
      options.trace = true;
    } else if (argument == "--link") {
      if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
        return {std::nullopt, "--link needs a path"};
      }
      options.link = arguments[++i];
    } else if (argument.starts_with("--link=") && argument.size() > 7) {
      options.link = argument.substr(7);
    } else {
      return {std::nullopt, "unknown argument '" + std::string(argument) + "'"};
    }
  }
  return {options, {}};
}

}  // namespace vantorel::sim::program
