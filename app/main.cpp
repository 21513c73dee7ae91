// Ringeplagvern: protects the user from telemarketers' calls by keeping their
// numbers in one contact of the address book.
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

#include "app/app_delegate.h"
#include "app/application_lifecycle.h"
#include "app/bundle_info.h"
#include "app/first_paint.h"
#include "app/list_service_options.h"
#include "app/protection_publishing.h"
#include "app/single_instance.h"
#include "platform/dispatch/process_heap.h"
#include "platform/dispatch/termination_signals.h"
#include "platform/foundation/localization.h"

namespace {

struct Options {
  app::ListServiceConfig config;
  bool quitAfterFirstPaint = false;
  std::string language;  // empty: the system's
  publish::PublishConfig publishing;
};

// The languages the texts can be shown in: Norwegian, the texts' own, and
// those with a translation in the resources.
const QStringList kLanguages{QStringLiteral("nb"), QStringLiteral("en")};

constexpr const char* kFilesHelp =
    "\nFiles (~/.config is $XDG_CONFIG_HOME, ~/.local/share is $XDG_DATA_HOME when set):\n"
    "  ~/.config/Ringeplagvern/defaults.conf       settings (read and written)\n"
    "  ~/.config/Ringeplagvern/listservice.conf    list service hosts (read)\n"
    "  ~/.config/Ringeplagvern/ratingprompt.conf   rating prompt addresses (read)\n"
    "  ~/.config/Ringeplagvern/publish.conf        places the protection contact is mirrored to (read)\n"
    "  ~/.local/share/Ringeplagvern/Ringeplagvern.sqlite\n"
    "                                              the number list (read and written; used from\n"
    "                                              ~/Documents/Ringeplagvern.sqlite when that exists)\n"
    "  ~/.local/share/Ringeplagvern/writer.lock    held while the program runs (written)\n"
    "  ~/.local/share/AddressBook/AddressBook.sqlite\n"
    "                                              the address book with the protection contact\n"
    "                                              (read and written; $RP_ADDRESSBOOK_FILE moves it)\n"
    "  ~/.cache/                                   geocoding cache (read and written)\n";

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
  const app::ListServiceOptions listService;
  listService.addTo(parser);
  const QCommandLineOption language("lang",
                                    "Language of the texts, nb (Norwegian) or en (English); by default the "
                                    "system's, Norwegian when it has no translation.",
                                    "nb|en");
  parser.addOption(language);
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
  const QString help =
      parser.helpText().replace("<executable_name>", QFileInfo(arguments.first()).fileName()) + kFilesHelp;
  if (!parser.parse(arguments)) {
    std::fprintf(stderr, "%s\n%s", qPrintable(parser.errorText()), qPrintable(help));
    std::exit(2);
  }
  if (parser.isSet("help") || parser.isSet("help-all")) {
    std::printf("%s", qPrintable(help));
    std::exit(0);
  }
  if (parser.isSet("version")) {
    const app::BundleInfo bundle = app::BundleInfo::main();
    std::printf("%s %s (build %s)\n", qPrintable(bundle.displayName), qPrintable(bundle.shortVersion),
                qPrintable(bundle.buildNumber));
    std::exit(0);
  }

  if (parser.isSet(language) && !kLanguages.contains(parser.value(language))) {
    std::fprintf(stderr, "--lang wants one of %s, not '%s'\n%s", qPrintable(kLanguages.join(", ")),
                 qPrintable(parser.value(language)), qPrintable(help));
    std::exit(2);
  }
  Options options{listService.configFrom(parser), parser.isSet(quitAfterPaint),
                  parser.isSet(language) ? parser.value(language).toStdString() : std::string(),
                  publish::PublishConfig::load()};
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
  app::SingleInstance instance;
  if (!instance.claim()) return 0;
  app::setActiveListServiceConfig(options.config);
  app::setActivePublishConfig(options.publishing);
  fnd::installTranslations(options.language);
  if (!options.language.empty() && fnd::languageInUse() != options.language)
    std::fprintf(stderr, "Ringeplagvern: no '%s' translation in this build; the texts stay Norwegian\n",
                 options.language.c_str());

  app::RingeplagvernAppDelegate delegate;
  app::connectLifecycle(delegate);
  dispatch::quitOnTerminationSignals();  // a signal ends the application like any other quit
  if (options.quitAfterFirstPaint) app::quitAfterFirstPaint(*delegate.window());
  delegate.didFinishLaunchingWithOptions();
  return QApplication::exec();
}
