#pragma once
// One HTTP request of any method, sent and answered on the calling thread,
// which blocks (running a local event loop) until the answer or a transport
// failure. For workers that talk to a server in order, such as a CardDAV
// collection. REQUIRES: not the main thread, whose events must not run nested.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <chrono>
#include <optional>

namespace net {

struct HttpRequest {
  static constexpr std::chrono::milliseconds kDefaultTimeout{30'000};

  QByteArray method = "GET";
  QString url;
  QList<QPair<QByteArray, QByteArray>> headers;
  QByteArray body;
  // Sent with the first request, without waiting to be asked.
  QString user;
  QString password;
  std::chrono::milliseconds timeout = kDefaultTimeout;
};

struct HttpAnswer {
  int statusCode = 0;
  QList<QPair<QByteArray, QByteArray>> headers;
  QByteArray body;

  // The header's value (names compared without case), or empty.
  QByteArray header(const QByteArray& name) const;
};

struct HttpExchange {
  std::optional<HttpAnswer> answer;  // set when the server answered, with any status
  QString transportError;            // otherwise: why no answer came
};

HttpExchange exchange(const HttpRequest& request);

}  // namespace net
