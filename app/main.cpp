// Ringeplagvern: protects the user from telemarketers' calls by keeping their
// numbers in one contact of the address book.
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

#include "app/app_delegate.h"
#include "app/application_lifecycle.h"
#include "app/first_paint.h"
#include "app/list_service_config.h"
#include "app/protection_publishing.h"
#include "app/single_instance.h"
#include "platform/dispatch/process_heap.h"
#include "platform/dispatch/termination_signals.h"
#include "platform/foundation/localization.h"

namespace {

struct Options {
  ListServiceConfig config;
  bool quitAfterFirstPaint = false;
  publish::PublishConfig publishing;
};

// Parsed before the window system is reached, so that --help works anywhere.
Options optionsFromCommandLine(int argc, char** argv) {
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(
      "Ringeplagvern keeps telemarketers' numbers in one protection contact of your address book.\n"
      "The number list is fetched from the list service; settings and data live under your user "
      "configuration and data folders.");
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption listHost("list-host", "Host[:port] of the list service's primary address.", "host");
  const QCommandLineOption backupHost("backup-host", "Host[:port] of the list service's backup address.", "host");
  parser.addOption(listHost);
  parser.addOption(backupHost);
  publish::addPublishOptions(parser);
  // Qt's own window-system option, passed on to the application object.
  QCommandLineOption platform("platform", "Qt window-system plugin (e.g. offscreen).", "name");
  platform.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOption(platform);
  // For start-up measurements: a whole run from process start to the first paint.
  QCommandLineOption quitAfterPaint("quit-after-first-paint", "Quit once the window has been painted.");
  quitAfterPaint.setFlags(QCommandLineOption::HiddenFromHelp);
  parser.addOption(quitAfterPaint);
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const QString help = parser.helpText().replace("<executable_name>", QFileInfo(arguments.first()).fileName());
  if (!parser.parse(arguments)) {
    std::fprintf(stderr, "%s\n%s", qPrintable(parser.errorText()), qPrintable(help));
    std::exit(2);
  }
  if (parser.isSet("help")) {
    std::printf("%s", qPrintable(help));
    std::exit(0);
  }
  if (parser.isSet("version")) {
    std::printf("Ringeplagvern %s\n", PROJECT_VERSION);
    std::exit(0);
  }

  const auto option = [&parser](const QCommandLineOption& which) -> std::optional<std::string> {
    if (!parser.isSet(which)) return std::nullopt;
    return parser.value(which).toStdString();
  };
  Options options{ListServiceConfig::load(), parser.isSet(quitAfterPaint)};
  options.config.overrideHosts(option(listHost), option(backupHost));
  options.publishing = publish::PublishConfig::load();
  publish::applyPublishOptions(parser, options.publishing);
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  dispatch::shareOneHeapAcrossThreads();
  const Options options = optionsFromCommandLine(argc, argv);
  QApplication application(argc, argv);
  QApplication::setApplicationName("Ringeplagvern");
  QApplication::setApplicationVersion(PROJECT_VERSION);
  // One copy writes the user's list and contact at a time; a second start hands over and ends.
  SingleInstance instance;
  if (!instance.claim()) return 0;
  setActiveListServiceConfig(options.config);
  setActivePublishConfig(options.publishing);
  fnd::installTranslations();

  RingeplagvernAppDelegate delegate;
  connectLifecycle(delegate);
  dispatch::quitOnTerminationSignals();  // a signal ends the application like any other quit
  if (options.quitAfterFirstPaint) quitAfterFirstPaint(*delegate.window());
  delegate.didFinishLaunchingWithOptions();
  return QApplication::exec();
}
