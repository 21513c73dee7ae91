#include "platform/foundation/localization.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace fnd {

namespace {

constexpr std::string_view kKeyLanguage = "nb";

// The translator in use, if any; main thread only, like every screen.
QTranslator*& installedTranslator() {
  static QTranslator* translator = nullptr;
  return translator;
}

// The keys are Bokmål, which Nynorsk and plain "Norwegian" readers read too;
// such a user must never get another language from a fallback in their
// locale's list of languages.
bool readsTheKeys(const QLocale& locale) {
  const QLocale::Language language = locale.language();
  return language == QLocale::NorwegianBokmal || language == QLocale::NorwegianNynorsk;
}

}  // namespace

std::string localizedString(std::string_view key, std::string_view table) {
  const std::string context(table);
  const std::string source(key);
  return QCoreApplication::translate(context.c_str(), source.c_str()).toStdString();
}

bool installTranslations(std::string_view language) {
  QTranslator*& translator = installedTranslator();
  if (translator) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
  }
  const QLocale locale = language.empty()
                             ? QLocale::system()
                             : QLocale(QString::fromUtf8(language.data(), static_cast<qsizetype>(language.size())));
  if (readsTheKeys(locale)) return false;
  auto candidate = std::make_unique<QTranslator>();
  if (!candidate->load(locale, QStringLiteral("ringeplagvern"), QStringLiteral("_"), QStringLiteral(":/translations")))
    return false;
  translator = candidate.release();
  QCoreApplication::installTranslator(translator);
  return true;
}

std::string languageInUse() {
  const QTranslator* translator = installedTranslator();
  if (!translator) return std::string(kKeyLanguage);
  return QLocale(translator->language()).bcp47Name().section(u'-', 0, 0).toStdString();
}

}  // namespace fnd
