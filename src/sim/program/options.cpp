#include "sim/program/options.h"

namespace vantorel::sim::program {
namespace {

std::string ModelList() {
  std::string list;
  for (const std::string_view name : ModelNames()) {
    list += list.empty() ? "" : ", ";
    list += name;
  }
  return list;
}

// The value of "--name VALUE" or "--name=VALUE" at arguments[i] (i moves past
// a separate value); nullopt when the argument is another one.
std::optional<std::string_view> Value(const std::vector<std::string_view>& arguments,
                                      std::size_t& i, std::string_view name) {
  const std::string_view argument = arguments[i];
  if (argument == name) {
    if (i + 1 == arguments.size()) {
      return std::string_view();
    }
    return arguments[++i];
  }
  if (argument.size() > name.size() && argument.starts_with(name) && argument[name.size()] == '=') {
    return argument.substr(name.size() + 1);
  }
  return std::nullopt;
}

}  // namespace

std::string Usage() {
  std::string models;
  for (const std::string_view name : ModelNames()) {
    std::string line = "                  " + std::string(name);
    line.resize(28, ' ');
    models += line + std::string(FindModel(name)->title) + "\n";
  }
  return "Usage: vantorel-sim [--model NAME] [--link PATH] [--trace]\n"
         "\n"
         "Serves a simulated Kenwood radio on a new pseudo-terminal until interrupted\n"
         "(Ctrl+C) or terminated. Each model answers its own ID and command forms and\n"
         "refuses the others with \"?;\".\n"
         "\n"
         "  --model NAME  the radio (the first when not given):\n" +
         models +
         "  --link PATH   make PATH a symbolic link to the radio's port (a link already\n"
         "                there is replaced, any other file is refused); print PATH\n"
         "                instead of the device path\n"
         "  --trace       write every command and answer to standard error\n"
         "  --version     print the version\n"
         "  --help        print this text\n"
         "\n"
         "Example: vantorel-sim --model ts890 --link /tmp/radio &\n"
         "         rigctl -m 2041 -r /tmp/radio f\n";
}

ParsedOptions ParseOptions(const std::vector<std::string_view>& arguments) {
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--version") {
      options.version = true;
    } else if (argument == "--trace") {
      options.trace = true;
    } else if (const auto link = Value(arguments, i, "--link")) {
      if (link->empty()) {
        return {std::nullopt, "--link needs a path"};
      }
      options.link = *link;
    } else if (const auto model = Value(arguments, i, "--model")) {
      options.model = FindModel(*model);
      if (options.model == nullptr) {
        return {std::nullopt,
                "--model takes one of " + ModelList() + ", not '" + std::string(*model) + "'"};
      }
    } else {
      return {std::nullopt, "unknown argument '" + std::string(argument) + "'"};
    }
  }
  return {options, {}};
}

}  // namespace vantorel::sim::program
