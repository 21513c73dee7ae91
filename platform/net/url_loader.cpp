#include "platform/net/url_loader.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include "platform/dispatch/main_thread.h"
#include "platform/net/url_error.h"

namespace net {

namespace {

QNetworkAccessManager& accessManager() {
  static auto* const manager = new QNetworkAccessManager;  // main thread; lives for the process
  return *manager;
}

// Whether the reply is an HTTP answer that arrived whole. An error status
// is still an answer (the reply's error then only names the status), but a
// success status with an error means the body could not be read whole.
bool answeredWhole(const QNetworkReply& reply, const QVariant& status) {
  if (!status.isValid()) return false;
  const QNetworkReply::NetworkError error = reply.error();
  if (error == QNetworkReply::NoError) return true;
  return !UrlResponse::isSuccessStatus(status.toInt()) && error != QNetworkReply::OperationCanceledError &&
         error != QNetworkReply::TimeoutError && error != QNetworkReply::RemoteHostClosedError;
}

UrlErrorCode codeFor(QNetworkReply::NetworkError error) {
  switch (error) {
    case QNetworkReply::ConnectionRefusedError:
      return CannotConnectToHost;
    case QNetworkReply::HostNotFoundError:
      return CannotFindHost;
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:  // nothing but the transfer time-out cancels a reply
      return TimedOut;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::TemporaryNetworkFailureError:
      return NetworkConnectionLost;
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
      return NotConnectedToInternet;
    case QNetworkReply::SslHandshakeFailedError:
      return SecureConnectionFailed;
    case QNetworkReply::ProtocolUnknownError:
      return UnsupportedUrl;
    case QNetworkReply::ProtocolInvalidOperationError:
    case QNetworkReply::ProtocolFailure:
    case QNetworkReply::UnknownContentError:  // a body that could not be decoded
      return BadServerResponse;
    default:
      return Unknown;
  }
}

void start(UrlRequest request, UrlCompletion completion) {
  const QUrl url(QString::fromStdString(request.url), QUrl::StrictMode);
  if (!url.isValid() || url.host().isEmpty()) {
    dispatch::asyncMain([completion, error = urlError(BadUrl, request.url)] { completion({}, {}, error); });
    return;
  }
  QNetworkRequest networkRequest(url);
  networkRequest.setTransferTimeout(static_cast<int>(request.timeout.count()));
  QNetworkReply* reply = accessManager().get(networkRequest);

  // The body limit is watched while bytes arrive, so an endless body never
  // fills memory; `tooLarge` tells the finished handler why the reply ended.
  auto tooLarge = std::make_shared<bool>(false);
  if (request.maximumBodyBytes > 0) {
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [reply, tooLarge, limit = request.maximumBodyBytes](qint64 received, qint64 total) {
                       if (static_cast<std::uint64_t>(std::max(received, total)) > limit && !*tooLarge) {
                         *tooLarge = true;
                         reply->abort();
                       }
                     });
  }
  QObject::connect(reply, &QNetworkReply::finished, reply,
                   [reply, tooLarge, request = std::move(request), completion = std::move(completion)] {
                     reply->deleteLater();
                     const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
                     if (*tooLarge) {
                       completion({}, {}, urlError(DataLengthExceedsMaximum, request.url));
                     } else if (answeredWhole(*reply, status)) {
                       // Whatever its status, an answer that arrived whole is a response.
                       const QByteArray body = reply->readAll();
                       completion(
                           UrlResponse{status.toInt(), request.url},
                           fnd::Data::create(std::string(body.constData(), static_cast<std::size_t>(body.size()))),
                           std::nullopt);
                     } else {
                       completion({}, {}, urlError(codeFor(reply->error()), request.url));
                     }
                   });
}

}  // namespace

void sendAsynchronousRequest(UrlRequest request, UrlCompletion completion) {
  // The access manager lives on the main thread, so the request starts there.
  dispatch::performOnMainThread(
      [request = std::move(request), completion = std::move(completion)]() mutable {
        start(std::move(request), std::move(completion));
      },
      false);
}

}  // namespace net
