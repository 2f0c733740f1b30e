#include "ports/log.h"

#include <QString>
#include <QtGlobal>
#include <cstdlib>

namespace vantorel::ports {

Q_LOGGING_CATEGORY(logPorts, "vantorel.ports")
Q_LOGGING_CATEGORY(logRouting, "vantorel.routing")
Q_LOGGING_CATEGORY(logSupervision, "vantorel.supervision")
Q_LOGGING_CATEGORY(logSettings, "vantorel.settings")
Q_LOGGING_CATEGORY(logWindow, "vantorel.window")

namespace {

const QLoggingCategory& CategoryOf(station::Topic topic) {
  switch (topic) {
    case station::Topic::Ports:
      return logPorts();
    case station::Topic::Routing:
      return logRouting();
    case station::Topic::Supervision:
      return logSupervision();
    case station::Topic::Settings:
      break;
  }
  return logSettings();
}

QString OneLine(std::string_view text) {
  QString line = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  line.replace(QLatin1String("\r\n"), QLatin1String(" "));
  line.replace(QLatin1Char('\r'), QLatin1Char(' '));
  line.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return line;
}

}  // namespace

void Log(station::Topic topic, Severity severity, std::string_view text) {
  Log(CategoryOf(topic), severity, text);
}

void Log(const QLoggingCategory& category, Severity severity, std::string_view text) {
  const QString line = OneLine(text);
  switch (severity) {
    case Severity::Info:
      qCInfo(category).noquote() << line;
      break;
    case Severity::Warning:
      qCWarning(category).noquote() << line;
      break;
    case Severity::Critical:
      qCCritical(category).noquote() << line;
      break;
  }
}

void SetUpLogging() {
  // Info lines are the program's own account of what it does; show them.
  QLoggingCategory::setFilterRules(QStringLiteral("vantorel.*.info=true"));
  if (std::getenv("JOURNAL_STREAM") != nullptr) {
    qSetMessagePattern(
        QStringLiteral("%{if-debug}<7>%{endif}%{if-info}<6>%{endif}%{if-warning}<4>%{endif}"
                       "%{if-critical}<2>%{endif}%{if-fatal}<0>%{endif}%{category}: %{message}"));
  } else if (std::getenv("QT_MESSAGE_PATTERN") == nullptr) {
    qSetMessagePattern(
        QStringLiteral("%{time yyyy-MM-dd hh:mm:ss.zzz} %{if-info}info%{endif}"
                       "%{if-warning}warning%{endif}%{if-critical}error%{endif}"
                       "%{if-debug}debug%{endif} %{category}: %{message}"));
  }
}

}  // namespace vantorel::ports
