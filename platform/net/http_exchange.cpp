#include "platform/net/http_exchange.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace net {

QByteArray HttpAnswer::header(const QByteArray& name) const {
  for (const auto& [key, value] : headers)
    if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
  return {};
}

HttpExchange exchange(const HttpRequest& request) {
  // A manager per exchange: managers belong to the thread that made them, and
  // the workers that call this are not Qt threads of their own.
  QNetworkAccessManager manager;
  QNetworkRequest networkRequest(QUrl(request.url));
  networkRequest.setTransferTimeout(static_cast<int>(request.timeout.count()));
  networkRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
  for (const auto& [name, value] : request.headers) networkRequest.setRawHeader(name, value);
  if (!request.user.isEmpty() || !request.password.isEmpty()) {
    const QByteArray credentials = (request.user + QLatin1Char(':') + request.password).toUtf8().toBase64();
    networkRequest.setRawHeader("Authorization", "Basic " + credentials);
  }

  QNetworkReply* reply = manager.sendCustomRequest(networkRequest, request.method, request.body);
  QEventLoop loop;
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);

  HttpExchange result;
  const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  if (status.isValid()) {
    HttpAnswer answer;
    answer.statusCode = status.toInt();
    for (const auto& [name, value] : reply->rawHeaderPairs()) answer.headers.append({name, value});
    answer.body = reply->readAll();
    result.answer = std::move(answer);
  } else {
    result.transportError =
        reply->error() == QNetworkReply::OperationCanceledError ? QStringLiteral("timed out") : reply->errorString();
  }
  delete reply;
  return result;
}

}  // namespace net
