#include "publish/carddav_target.h"

#include <QUrl>

#include "platform/files/whole_file.h"
#include "platform/net/http_exchange.h"
#include "publish/localized_text.h"
#include "publish/vcard_writer.h"

namespace publish {

namespace {

constexpr int kNotFound = 404;
constexpr int kGone = 410;
constexpr int kPreconditionFailed = 412;

bool succeeded(int status) { return status >= 200 && status <= 299; }

// What a person can do about each answer, in one line.
Failure failureFor(const net::HttpExchange& exchange) {
  if (!exchange.answer)
    return localizedText(QT_TRANSLATE_NOOP("Localizable", "ingen forbindelse med tjeneren (%1)"))
        .arg(exchange.transportError);
  const int status = exchange.answer->statusCode;
  switch (status) {
    case 401:
      return localizedText(
          QT_TRANSLATE_NOOP("Localizable", "tjeneren godtok ikke brukernavnet eller passordet (HTTP 401)"));
    case 403:
      return localizedText(QT_TRANSLATE_NOOP("Localizable", "tjeneren nektet tilgang til adresseboken (HTTP 403)"));
    case kNotFound:
      return localizedText(QT_TRANSLATE_NOOP("Localizable", "tjeneren fant ikke adresseboken (HTTP 404)"));
    case kPreconditionFailed:
      return localizedText(QT_TRANSLATE_NOOP(
          "Localizable",
          "kortet på tjeneren er endret av noen andre siden forrige lagring, og ble ikke overskrevet (HTTP 412)"));
    case 507:
      return localizedText(QT_TRANSLATE_NOOP("Localizable", "tjeneren har ikke plass til kortet (HTTP 507)"));
    default:
      return localizedText(QT_TRANSLATE_NOOP("Localizable", "tjeneren svarte HTTP %1")).arg(status);
  }
}

net::HttpRequest request(const CardDavSettings& settings, QByteArray method, const QString& url) {
  net::HttpRequest request;
  request.method = std::move(method);
  request.url = url;
  request.user = settings.user;
  request.password = settings.password;
  return request;
}

}  // namespace

CardDavTarget::CardDavTarget(CardDavSettings settings) : m_settings(std::move(settings)) {
  QString collection = m_settings.collectionUrl;
  if (!collection.endsWith(QLatin1Char('/'))) collection += QLatin1Char('/');
  m_resourceUrl = collection + QString::fromLatin1(kResourceName);
}

// Shown and logged, so a password written into the address stays out of it.
QString CardDavTarget::displayName() const {
  return QStringLiteral("CardDAV %1").arg(QUrl(m_settings.collectionUrl).toDisplayString(QUrl::RemoveUserInfo));
}

CardDavTarget::Written CardDavTarget::put(const QByteArray& card, const QByteArray& condition, const QByteArray& tag) {
  net::HttpRequest put = request(m_settings, "PUT", m_resourceUrl);
  put.headers = {{"Content-Type", "text/vcard; charset=utf-8"}, {condition, tag}};
  put.body = card;
  const net::HttpExchange answer = net::exchange(put);
  if (!answer.answer || !succeeded(answer.answer->statusCode))
    return {answer.answer ? answer.answer->statusCode : 0, failureFor(answer)};
  QByteArray eTag = answer.answer->header("ETag");
  if (eTag.isEmpty()) {
    // A server that changed the card as it stored it may leave the tag out; ask for it.
    const net::HttpExchange head = net::exchange(request(m_settings, "HEAD", m_resourceUrl));
    if (head.answer && succeeded(head.answer->statusCode)) eTag = head.answer->header("ETag");
  }
  return {answer.answer->statusCode, storeETag(eTag)};
}

// A card removed on the server holds nothing to protect; a new one may take its place.
bool CardDavTarget::resourceIsGone() {
  const net::HttpExchange head = net::exchange(request(m_settings, "HEAD", m_resourceUrl));
  return head.answer && (head.answer->statusCode == kNotFound || head.answer->statusCode == kGone);
}

Failure CardDavTarget::publish(const ContactSnapshot& contact) {
  const QByteArray card = QByteArray::fromStdString(vCardForContact(contact));
  const QByteArray eTag = storedETag();
  if (eTag.isEmpty()) return put(card, "If-None-Match", "*").failure;
  Written written = put(card, "If-Match", eTag);
  if (written.status == kPreconditionFailed && resourceIsGone()) written = put(card, "If-None-Match", "*");
  return written.failure;
}

Failure CardDavTarget::remove() {
  const QByteArray eTag = storedETag();
  // Without a tag this installation wrote nothing there that is still its own.
  if (eTag.isEmpty()) return {};
  net::HttpRequest deletion = request(m_settings, "DELETE", m_resourceUrl);
  deletion.headers = {{"If-Match", eTag}};
  const net::HttpExchange answer = net::exchange(deletion);
  const bool alreadyGone =
      answer.answer && (answer.answer->statusCode == kNotFound || answer.answer->statusCode == kGone);
  if (!alreadyGone && (!answer.answer || !succeeded(answer.answer->statusCode))) return failureFor(answer);
  return storeETag({});
}

// The state file holds the resource's address and its tag, one per line: a
// tag read for another address is no tag at all.
QByteArray CardDavTarget::storedETag() const {
  const std::optional<std::string> state = files::readWholeFile(m_settings.stateFile.toStdString());
  if (!state) return {};
  const QList<QByteArray> lines = QByteArray::fromStdString(*state).split('\n');
  if (lines.size() < 2 || QString::fromUtf8(lines[0]) != m_resourceUrl) return {};
  return lines[1];
}

Failure CardDavTarget::storeETag(const QByteArray& eTag) {
  if (eTag.isEmpty()) return QString::fromStdString(files::removeFileIfPresent(m_settings.stateFile.toStdString()));
  const QByteArray state = m_resourceUrl.toUtf8() + '\n' + eTag + '\n';
  const std::string failure = files::writeFileAtomically(m_settings.stateFile.toStdString(), state.toStdString());
  if (failure.empty()) return {};
  return localizedText(
             QT_TRANSLATE_NOOP("Localizable", "kortet ble lagret, men merket for neste lagring kunne ikke skrives: %1"))
      .arg(QString::fromStdString(failure));
}

}  // namespace publish
