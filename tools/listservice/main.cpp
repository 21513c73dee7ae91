// listservice: serves a number-list file on a loopback address at the list
// service's two paths, for trying the application and for tests.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <optional>

#include "tests/support/listservice/list_service.h"

namespace {

// The option's value as a whole number within [lowest, highest]; none (after
// saying why) when it is not one.
std::optional<int> numberOption(const QCommandLineParser& parser, const QCommandLineOption& option, int lowest,
                                int highest) {
  bool ok = false;
  const int value = parser.value(option).toInt(&ok);
  if (ok && value >= lowest && value <= highest) return value;
  std::fprintf(stderr, "listservice: --%s wants a whole number from %d to %d, not '%s'\n",
               qPrintable(option.names().first()), lowest, highest, qPrintable(parser.value(option)));
  return std::nullopt;
}

constexpr int kHighestPort = 65535;
constexpr int kFirstStatus = 100;
constexpr int kLastStatus = 599;
constexpr int kLongestDelayMs = 10 * 60 * 1000;

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  QCoreApplication::setApplicationName("listservice");
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Serves FILE as the number list at /uke_alle/terrorliste.json and "
      "/iPhoneApp/ringeplagvern/updateData.php over HTTP/1.1, logging each request.\n"
      "Example: listservice --port 8470 resources/sample/numberlist.json");
  parser.addHelpOption();
  parser.addPositionalArgument("FILE", "The number-list file to serve.");
  const QCommandLineOption address("address", "Loopback address to listen on (default 127.0.0.1).", "ip", "127.0.0.1");
  const QCommandLineOption port("port", "Port to listen on; 0 picks a free one (default 8470).", "port", "8470");
  const QCommandLineOption status("status", "Answer the list paths with this HTTP status.", "code", "200");
  const QCommandLineOption delay("delay-ms", "Wait this long before each answer.", "ms", "0");
  const QCommandLineOption reset("reset", "Close each connection without an answer.");
  const QCommandLineOption truncate("truncate", "Send only half of the body, then close.");
  const QCommandLineOption notJson("not-json", "Answer with an HTML page instead of the list.");
  parser.addOptions({address, port, status, delay, reset, truncate, notJson});
  parser.process(application);

  if (parser.positionalArguments().size() != 1) {
    std::fprintf(stderr, "listservice: give exactly one FILE to serve (see --help)\n");
    return 2;
  }
  const std::optional<int> portNumber = numberOption(parser, port, 0, kHighestPort);
  const std::optional<int> statusCode = numberOption(parser, status, kFirstStatus, kLastStatus);
  const std::optional<int> delayMs = numberOption(parser, delay, 0, kLongestDelayMs);
  if (!portNumber || !statusCode || !delayMs) return 2;
  QFile file(parser.positionalArguments().first());
  if (!file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "listservice: cannot read %s: %s\n", qPrintable(file.fileName()),
                 qPrintable(file.errorString()));
    return 1;
  }
  const QHostAddress host(parser.value(address));
  if (!host.isLoopback()) {
    std::fprintf(stderr, "listservice: %s is not a loopback address\n", qPrintable(parser.value(address)));
    return 2;
  }

  ListService service;
  service.setBody(file.readAll());
  ListService::Faults faults;
  faults.status = *statusCode;
  faults.delay = std::chrono::milliseconds(*delayMs);
  faults.resetConnection = parser.isSet(reset);
  faults.truncateBody = parser.isSet(truncate);
  faults.notJson = parser.isSet(notJson);
  service.setFaults(faults);
  QObject::connect(&service, &ListService::requestLogged, [](const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
  });
  if (!service.listen(host, static_cast<quint16>(*portNumber))) {
    std::fprintf(stderr, "listservice: cannot listen on %s:%s\n", qPrintable(parser.value(address)),
                 qPrintable(parser.value(port)));
    return 1;
  }
  std::printf("listservice: serving %s on http://%s\n", qPrintable(file.fileName()), qPrintable(service.hostAndPort()));
  std::fflush(stdout);
  return QCoreApplication::exec();
}
