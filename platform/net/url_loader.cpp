#include "platform/net/url_loader.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <string>
#include <vector>

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

// Qt's own buffer for the body is bounded so that the network thread stops
// reading while the main thread has not taken what arrived; the body is then
// counted as it is taken, whatever its framing or encoding.
constexpr qint64 kReadBufferBytes = 256 * 1024;

// Why the loader ended a reply itself; the reply only says it was cancelled.
enum class Ending { None, TooLarge, DeadlinePassed };

// One reply's state, shared by its handlers: the body taken so far and why it
// was ended. The body is kept in the pieces it came in and joined once at the
// end, so a growing body is never copied whole while it arrives.
struct Transfer {
  std::vector<QByteArray> pieces;
  std::uint64_t bodyBytes = 0;
  Ending ending = Ending::None;

  fnd::Ref<fnd::Data> joinedBody() const {
    std::string body;
    body.reserve(static_cast<std::size_t>(bodyBytes));
    for (const QByteArray& piece : pieces) body.append(piece.constData(), static_cast<std::size_t>(piece.size()));
    return fnd::Data::create(std::move(body));
  }
};

void end(QNetworkReply& reply, Transfer& transfer, Ending ending) {
  if (transfer.ending != Ending::None) return;
  transfer.ending = ending;
  reply.abort();
}

// Takes what has arrived into the transfer's body; a body over `limit` (0: none) ends the reply.
void takeArrivedBytes(QNetworkReply& reply, Transfer& transfer, std::uint64_t limit) {
  while (transfer.ending == Ending::None && reply.bytesAvailable() > 0) {
    QByteArray piece = reply.read(kReadBufferBytes);
    transfer.bodyBytes += static_cast<std::uint64_t>(piece.size());
    if (limit > 0 && transfer.bodyBytes > limit) {
      transfer.pieces.clear();
      end(reply, transfer, Ending::TooLarge);
      return;
    }
    transfer.pieces.push_back(std::move(piece));
  }
}

void start(UrlRequest request, UrlCompletion completion) {
  const QUrl url(QString::fromStdString(request.url), QUrl::StrictMode);
  if (!url.isValid() || url.host().isEmpty()) {
    dispatch::asyncMain([completion, error = urlError(BadUrl, request.url)] { completion({}, {}, error); });
    return;
  }
  QNetworkRequest networkRequest(url);
  // Silence is timed by Qt; the deadline below bounds the whole exchange, so
  // a server that drips its answer cannot hold the caller for ever.
  networkRequest.setTransferTimeout(static_cast<int>(request.timeout.count()));
  QNetworkReply* reply = accessManager().get(networkRequest);
  reply->setReadBufferSize(kReadBufferBytes);
  auto transfer = std::make_shared<Transfer>();

  QTimer::singleShot(request.timeout, reply, [reply, transfer] { end(*reply, *transfer, Ending::DeadlinePassed); });
  if (const std::uint64_t limit = request.maximumBodyBytes; limit > 0) {
    // A declared length over the limit ends the reply before its body is read.
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, transfer, limit] {
      const QVariant declared = reply->header(QNetworkRequest::ContentLengthHeader);
      if (declared.isValid() && declared.toULongLong() > limit) end(*reply, *transfer, Ending::TooLarge);
    });
  }
  // Qt refuses a body that expands out of all proportion (a compression
  // bomb) with an error but, with a bounded read buffer, may never finish the
  // reply; ending it here reports the error at once.
  QObject::connect(reply, &QNetworkReply::errorOccurred, reply, [reply] {
    QTimer::singleShot(0, reply, [reply] {
      if (!reply->isFinished()) reply->abort();
    });
  });
  QObject::connect(reply, &QNetworkReply::readyRead, reply,
                   [reply, transfer, limit = request.maximumBodyBytes] { takeArrivedBytes(*reply, *transfer, limit); });
  QObject::connect(reply, &QNetworkReply::finished, reply,
                   [reply, transfer, request = std::move(request), completion = std::move(completion)] {
                     reply->deleteLater();
                     takeArrivedBytes(*reply, *transfer, request.maximumBodyBytes);
                     const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
                     if (transfer->ending == Ending::TooLarge) {
                       completion({}, {}, urlError(DataLengthExceedsMaximum, request.url));
                     } else if (transfer->ending == Ending::DeadlinePassed) {
                       completion({}, {}, urlError(TimedOut, request.url));
                     } else if (answeredWhole(*reply, status)) {
                       // Whatever its status, an answer that arrived whole is a response.
                       completion(UrlResponse{status.toInt(), request.url}, transfer->joinedBody(), std::nullopt);
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
