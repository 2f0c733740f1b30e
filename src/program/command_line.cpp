#include "program/command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>
#include <cstdio>
#include <memory>

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
