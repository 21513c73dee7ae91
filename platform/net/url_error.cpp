#include "platform/net/url_error.h"

#include <QtGlobal>

#include "platform/foundation/exception.h"
#include "platform/foundation/localization.h"
#include "platform/foundation/number.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/foundation/string_object.h"

namespace net {

namespace {

const char* descriptionFor(UrlErrorCode code) {
  switch (code) {
    case Cancelled:
      return QT_TRANSLATE_NOOP("Localizable", "Forespørselen ble avbrutt.");
    case BadUrl:
      return QT_TRANSLATE_NOOP("Localizable", "Nettadressen er ugyldig.");
    case TimedOut:
      return QT_TRANSLATE_NOOP("Localizable", "Tidsavbrudd: tjeneren svarte ikke i tide.");
    case UnsupportedUrl:
      return QT_TRANSLATE_NOOP("Localizable", "Nettadressen støttes ikke.");
    case CannotFindHost:
      return QT_TRANSLATE_NOOP("Localizable", "Fant ingen tjener med dette navnet.");
    case CannotConnectToHost:
      return QT_TRANSLATE_NOOP("Localizable", "Kunne ikke koble til tjeneren.");
    case NetworkConnectionLost:
      return QT_TRANSLATE_NOOP("Localizable", "Nettverksforbindelsen ble brutt.");
    case NotConnectedToInternet:
      return QT_TRANSLATE_NOOP("Localizable", "Det ser ut til at du ikke er koblet til Internett.");
    case BadServerResponse:
      return QT_TRANSLATE_NOOP("Localizable", "Tjeneren ga et ugyldig svar.");
    case SecureConnectionFailed:
      return QT_TRANSLATE_NOOP("Localizable", "Det oppstod en feil i den sikre forbindelsen til tjeneren.");
    case DataLengthExceedsMaximum:
      return QT_TRANSLATE_NOOP("Localizable", "Svaret fra tjeneren er for stort.");
    case Unknown:
      break;
  }
  return QT_TRANSLATE_NOOP("Localizable", "Det oppstod en ukjent nettverksfeil.");
}

fnd::Error makeError(long code, std::string_view description, std::string_view url) {
  auto userInfo = fnd::ObjectDictionary::createMutable();
  userInfo->setObject(fnd::String::create(description).get(), fnd::kLocalizedDescriptionKey);
  userInfo->setObject(fnd::String::create(url).get(), kFailingUrlKey);
  return fnd::Error(std::string(kUrlErrorDomain), code, userInfo->copy());
}

}  // namespace

fnd::Error urlError(UrlErrorCode code, std::string_view url) {
  return makeError(code, fnd::localizedString(descriptionFor(code)), url);
}

fnd::Error httpStatusError(int statusCode, std::string_view url) {
  const std::string format = fnd::localizedString(QT_TRANSLATE_NOOP("Localizable", "Tjeneren svarte med feilkode %d."));
  return makeError(BadServerResponse, fnd::formatString(format.c_str(), statusCode), url);
}

}  // namespace net
