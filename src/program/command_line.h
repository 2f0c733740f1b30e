// The command line of both programs, read with QCommandLineParser:
//
//   vantorel      [--folder DIR]                       (the window)
//   vantorel-nox  [--folder DIR] [--monitor text|hex]  (the service without a window)
//   vantorel-nox  [--folder DIR] --make-certificate    (the station's TLS pair, then the end)
//   vantorel-nox  [--folder DIR] --init [--app1 NAME] [--radio NAME] [--baud N]
//                 [--data-bits N] [--parity P] [--stop-bits N] [--emulation] [--force]
//                                                      (a new Catmux.ini, then the end)
//   both          --help, --version
//
// The window also takes the hidden --screenshot-demo DIR of
// scripts/screenshots.sh. --help and --version are answered on standard output
// with exit status 0; an unknown option, a missing value or a stray argument
// gets the reason and the usage on standard error and exit status 2 (not the
// 1 that QCommandLineParser::process would give).
//
// The arguments are read before the window's application object exists, so
// --help works without a display; Qt's own window-system options are
// therefore not taken here (the QT_* environment variables do the same).
//
// Threading: the program's one thread, at start.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vantorel::program {

enum class Program { Window, Service };

// What vantorel-nox logs of App 1's traffic: nothing, or the monitor's text
// or hexadecimal form.
enum class MonitorForm { Off, Text, Hex };

inline constexpr int kUsageStatus = 2;

// vantorel-nox --init: what the command line gave for a new settings file;
// everything else is what a first run offers.
struct InitValues {
  std::optional<std::string> app1;
  std::optional<std::string> radio;
  std::optional<std::string> baud;
  std::optional<std::string> dataBits;
  std::optional<std::string> parity;
  std::optional<std::string> stopBits;
  bool emulation = false;  // App 1 is a standard FT-950 program
  bool force = false;      // an existing file is written over
};

struct RunOptions {
  std::optional<std::filesystem::path> folder;  // unset: the current folder
  MonitorForm monitor = MonitorForm::Off;
  std::optional<std::string> screenshotFolder;  // the window's pictures
  bool makeCertificate = false;                 // vantorel-nox: make the pair and end
  std::optional<InitValues> init;               // vantorel-nox: write Catmux.ini and end
};

struct CommandLine {
  std::optional<RunOptions> run;  // set: the program runs with these
  int exitStatus = 0;             // else: it ends at once with this status
};

// The program's name as it is installed ("vantorel", "vantorel-nox").
[[nodiscard]] const char* ProgramName(Program program);

// Reads argv (argv[0] first) and answers --help, --version and a refusal
// itself. Needs no application object; makes a core one for the answer when
// none exists yet.
CommandLine ReadCommandLine(Program program, int argc, char** argv);

}  // namespace vantorel::program
