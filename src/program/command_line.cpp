#include "program/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

#include "version.h"

namespace vantorel::program {
namespace {

struct Options {
  QCommandLineOption help{{"h", "help"}, "Show this text and end."};
  QCommandLineOption version{{"v", "version"}, "Show the program's version and end."};
  QCommandLineOption folder{
      "folder",
      "Keep Catmux.ini, TEST.TXT and the capture files in DIR (made when missing) "
      "instead of the current folder.",
      "DIR"};
  QCommandLineOption monitor{
      "monitor",
      "Log App 1's traffic as the monitor shows it: as text or as hexadecimal byte values.",
      "text|hex"};
  QCommandLineOption makeCertificate{
      "make-certificate",
      "Make this station's private key and certificate for tls: and tls-listen: ports "
      "(vantorel.key, vantorel.crt) in the folder and end. An existing pair is never replaced."};
  QCommandLineOption screenshots{"screenshot-demo", "Save pictures of the window into DIR.", "DIR"};
  QCommandLineOption init{
      "init",
      "Write a complete Catmux.ini into the folder and end: what a first run offers (App 1 on "
      "a virtual port, the simulated radio), with the values the options below give. An "
      "existing file is left as it is unless --force is given."};
  QCommandLineOption app1{"app1", "With --init: App 1's port (line 1).", "NAME"};
  QCommandLineOption radio{"radio", "With --init: the radio's port (line 3).", "NAME"};
  QCommandLineOption baud{"baud", "With --init: the radio's speed (line 4).", "N"};
  QCommandLineOption dataBits{"data-bits", "With --init: the radio's data bits (line 5).", "N"};
  QCommandLineOption parity{"parity", "With --init: None, Odd, Even, Mark or Space (line 6).", "P"};
  QCommandLineOption stopBits{"stop-bits", "With --init: the radio's stop bits (line 7).", "N"};
  QCommandLineOption emulation{"emulation",
                               "With --init: App 1 is a standard FT-950 program (line 24 True)."};
  QCommandLineOption force{"force", "With --init: write over an existing Catmux.ini."};

  // The options that only --init takes, with where each value goes.
  [[nodiscard]] std::vector<
      std::pair<const QCommandLineOption*, std::optional<std::string> InitValues::*>>
  InitTexts() const {
    return {{&app1, &InitValues::app1},     {&radio, &InitValues::radio},
            {&baud, &InitValues::baud},     {&dataBits, &InitValues::dataBits},
            {&parity, &InitValues::parity}, {&stopBits, &InitValues::stopBits}};
  }
};

QString Description(Program program) {
  if (program == Program::Window) {
    return "Joins a program that speaks Yaesu FT-950 CAT to a Kenwood transceiver, and\n"
           "shares the radio's CAT port with a second program. Reads its settings from\n"
           "Catmux.ini in the folder and presses Start when the file is complete.";
  }
  return "Vantorel without a window: reads Catmux.ini in the folder, opens the radio's\n"
         "and App 1's ports, and routes, translates and supervises until SIGTERM or\n"
         "SIGINT; SIGHUP reads the file again and restarts the bridge. Logs to standard\n"
         "error (the journal under systemd).";
}

// The answer to the command line itself: no log line, the program's output.
void Print(FILE* stream, const QString& text) { QTextStream(stream) << text; }

}  // namespace

const char* ProgramName(Program program) {
  return program == Program::Window ? "vantorel" : "vantorel-nox";
}

CommandLine ReadCommandLine(Program program, int argc, char** argv) {
  const Options options;
  QCommandLineParser parser;
  parser.setApplicationDescription(Description(program));
  parser.addOption(options.help);
  parser.addOption(options.version);
  parser.addOption(options.folder);
  if (program == Program::Service) {
    parser.addOption(options.monitor);
    parser.addOption(options.makeCertificate);
    parser.addOption(options.init);
    for (const auto& [option, value] : options.InitTexts()) {
      parser.addOption(*option);
    }
    parser.addOption(options.emulation);
    parser.addOption(options.force);
  } else {
    QCommandLineOption hidden = options.screenshots;
    hidden.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(hidden);
  }

  QStringList arguments;
  for (int i = 0; i < argc; ++i) {
    arguments << QString::fromLocal8Bit(argv[i]);
  }
  QString refusal;
  if (!parser.parse(arguments)) {
    refusal = parser.errorText();
  } else if (!parser.positionalArguments().isEmpty()) {
    refusal = "Unexpected argument '" + parser.positionalArguments().constFirst() + "'.";
  } else if (program == Program::Service && parser.isSet(options.monitor) &&
             parser.value(options.monitor) != "text" && parser.value(options.monitor) != "hex") {
    refusal = "--monitor takes 'text' or 'hex', not '" + parser.value(options.monitor) + "'.";
  } else if (parser.isSet(options.folder) && parser.value(options.folder).isEmpty()) {
    refusal = "--folder needs a folder.";
  } else if (program == Program::Service && !parser.isSet(options.init)) {
    for (const QString& name : parser.optionNames()) {
      if (options.emulation.names().contains(name) || options.force.names().contains(name) ||
          std::ranges::any_of(options.InitTexts(), [&name](const auto& entry) {
            return entry.first->names().contains(name);
          })) {
        refusal = "--" + name + " is only taken with --init.";
        break;
      }
    }
  }

  const bool answers =
      !refusal.isEmpty() || parser.isSet(options.help) || parser.isSet(options.version);
  if (!answers) {
    RunOptions run;
    if (parser.isSet(options.folder)) {
      run.folder = parser.value(options.folder).toLocal8Bit().toStdString();
    }
    if (program == Program::Service && parser.isSet(options.monitor)) {
      run.monitor = parser.value(options.monitor) == "hex" ? MonitorForm::Hex : MonitorForm::Text;
    }
    run.makeCertificate = program == Program::Service && parser.isSet(options.makeCertificate);
    if (program == Program::Service && parser.isSet(options.init)) {
      InitValues& init = run.init.emplace();
      for (const auto& [option, value] : options.InitTexts()) {
        if (parser.isSet(*option)) {
          init.*value = parser.value(*option).toLocal8Bit().toStdString();
        }
      }
      init.emulation = parser.isSet(options.emulation);
      init.force = parser.isSet(options.force);
    }
    if (program == Program::Window && parser.isSet(options.screenshots)) {
      run.screenshotFolder = parser.value(options.screenshots).toStdString();
    }
    return {run, 0};
  }

  // The usage line names the program as it was called, which takes an
  // application object.
  std::unique_ptr<QCoreApplication> core;
  if (QCoreApplication::instance() == nullptr) {
    core = std::make_unique<QCoreApplication>(argc, argv);
  }
  if (!refusal.isEmpty()) {
    Print(stderr, QString(ProgramName(program)) + ": " + refusal + "\n\n" + parser.helpText());
    return {std::nullopt, kUsageStatus};
  }
  if (parser.isSet(options.help)) {
    Print(stdout, parser.helpText());
  } else {
    Print(stdout, QString(ProgramName(program)) + " " + kVersion + "\n");
  }
  return {std::nullopt, 0};
}

}  // namespace vantorel::program
