#include "platform/foundation/localization.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace fnd {

std::string localizedString(std::string_view key, std::string_view table) {
  const std::string context(table);
  const std::string source(key);
  return QCoreApplication::translate(context.c_str(), source.c_str()).toStdString();
}

bool installTranslations(std::string_view language) {
  static QTranslator* translator = nullptr;  // main thread only, like every screen
  if (translator) {
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
  }
  const QLocale locale = language.empty() ? QLocale() : QLocale(QString::fromUtf8(language.data(), static_cast<qsizetype>(language.size())));
  auto candidate = std::make_unique<QTranslator>();
  if (!candidate->load(locale, QStringLiteral("ringeplagvern"), QStringLiteral("_"), QStringLiteral(":/translations")))
    return false;
  translator = candidate.release();
  QCoreApplication::installTranslator(translator);
  return true;
}

}  // namespace fnd
