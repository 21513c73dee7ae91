// covers: url_loader.cpp, http_exchange.cpp, network_activity_indicator.cpp
#include "platform/net/url_loader.h"

#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <thread>

#include "platform/dispatch/main_thread.h"
#include "platform/net/network_activity_indicator.h"
#include "platform/net/url_error.h"
#include "tests/support/event_loop.h"
#include "tests/support/listservice/list_service.h"

using namespace std::chrono_literals;

namespace net {
namespace {

struct Outcome {
  bool done = false;
  bool onMainThread = false;
  std::optional<UrlResponse> response;
  fnd::Ref<fnd::Data> body;
  std::optional<fnd::Error> error;
};

Outcome load(UrlRequest request) {
  Outcome outcome;
  sendAsynchronousRequest(std::move(request),
                          [&outcome](const std::optional<UrlResponse>& response, const fnd::Ref<fnd::Data>& body,
                                     const std::optional<fnd::Error>& error) {
                            outcome = {true, dispatch::isMainThread(), response, body, error};
                          });
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return outcome.done; }, 20s));
  return outcome;
}

class UrlLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_service.listen());
    m_service.setBody(R"({"telefonnumre":[]})");
  }
  std::string url(const char* path = ListService::kPrimaryPath) const {
    return "http://" + m_service.hostAndPort().toStdString() + path;
  }
  ListService m_service;
};

TEST_F(UrlLoaderTest, AnswerOfAnyStatusIsAResponseWithItsBody) {
  Outcome ok = load({url()});
  ASSERT_TRUE(ok.response);
  EXPECT_FALSE(ok.error);
  EXPECT_EQ(ok.response->statusCode, 200);
  EXPECT_EQ(ok.body->view(), R"({"telefonnumre":[]})");
  EXPECT_TRUE(ok.onMainThread);

  Outcome missing = load({url("/elsewhere")});
  ASSERT_TRUE(missing.response);
  EXPECT_EQ(missing.response->statusCode, 404);
  EXPECT_EQ(missing.body->view(), "Not Found");

  m_service.setFaults({.status = 500});
  EXPECT_EQ(load({url()}).response->statusCode, 500);
}

TEST_F(UrlLoaderTest, TransportFailuresAreErrorsWithNorwegianDescriptions) {
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
  const std::string refusedUrl = "http://127.0.0.1:" + std::to_string(closed.serverPort()) + "/x";
  closed.close();
  Outcome refused = load({refusedUrl});
  ASSERT_TRUE(refused.error);
  EXPECT_FALSE(refused.response);
  EXPECT_EQ(refused.error->domain(), "NSURLErrorDomain");
  EXPECT_EQ(refused.error->code(), CannotConnectToHost);
  EXPECT_EQ(refused.error->localizedDescription(), "Kunne ikke koble til tjeneren.");
  EXPECT_TRUE(refused.onMainThread);

  m_service.setFaults({.resetConnection = true});
  EXPECT_EQ(load({url()}).error->code(), NetworkConnectionLost);

  m_service.setFaults({.truncateBody = true});
  Outcome truncated = load({url()});
  ASSERT_TRUE(truncated.error) << "a body shorter than promised must not pass as the list";
  EXPECT_EQ(truncated.error->code(), NetworkConnectionLost);

  EXPECT_EQ(load({"not a url"}).error->code(), BadUrl);
}

// Answers each request with the same bytes, as they stand, and closes the connection.
class RawAnswerServer {
 public:
  explicit RawAnswerServer(QByteArray answer) : m_answer(std::move(answer)) {
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
      while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
          socket->write(m_answer);
          socket->disconnectFromHost();
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
      }
    });
  }
  bool listen() { return m_server.listen(QHostAddress::LocalHost); }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(m_server.serverPort()) + "/list"; }

 private:
  QByteArray m_answer;
  QTcpServer m_server;
};

TEST(UrlLoader, AnAnswerWhoseBodyCannotBeReadIsAnErrorNotAResponse) {
  RawAnswerServer server(
      "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: 12\r\nConnection: close\r\n\r\nnot gzip at all");
  ASSERT_TRUE(server.listen());
  Outcome corrupt = load({server.url()});
  EXPECT_FALSE(corrupt.response) << "body: " << (corrupt.body ? std::string(corrupt.body->view()) : "none");
  ASSERT_TRUE(corrupt.error);
  EXPECT_EQ(corrupt.error->code(), BadServerResponse);
}

TEST_F(UrlLoaderTest, SlowServerTimesOut) {
  m_service.setFaults({.delay = 3s});
  Outcome slow = load({url(), 300ms});
  ASSERT_TRUE(slow.error);
  EXPECT_EQ(slow.error->code(), TimedOut);
}

TEST_F(UrlLoaderTest, BodyOverTheLimitIsRefusedBeforeItFillsMemory) {
  m_service.setBody(QByteArray(4 * 1024 * 1024, 'x'));
  Outcome large = load({url(), UrlRequest::kDefaultTimeout, 64 * 1024});
  ASSERT_TRUE(large.error);
  EXPECT_EQ(large.error->code(), DataLengthExceedsMaximum);
  Outcome fits = load({url(), UrlRequest::kDefaultTimeout, 4 * 1024 * 1024});
  ASSERT_TRUE(fits.response);
  EXPECT_EQ(fits.body->length(), 4u * 1024 * 1024);
}

TEST_F(UrlLoaderTest, RequestFromAWorkerThreadCompletesOnTheMainThread) {
  Outcome outcome;
  std::thread([&] {
    sendAsynchronousRequest({url()},
                            [&outcome](const std::optional<UrlResponse>& response, const fnd::Ref<fnd::Data>& body,
                                       const std::optional<fnd::Error>& error) {
                              outcome = {true, dispatch::isMainThread(), response, body, error};
                            });
  }).join();
  ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return outcome.done; }));
  EXPECT_TRUE(outcome.onMainThread);
  EXPECT_TRUE(outcome.response);
}

TEST(NetworkActivityIndicator, TellsObserversOfEachChangeOnly) {
  std::vector<bool> seen;
  const int id = NetworkActivityIndicator::addObserver([&](bool visible) { seen.push_back(visible); });
  NetworkActivityIndicator::setVisible(true);
  NetworkActivityIndicator::setVisible(true);
  NetworkActivityIndicator::setVisible(false);
  NetworkActivityIndicator::removeObserver(id);
  NetworkActivityIndicator::setVisible(true);
  NetworkActivityIndicator::setVisible(false);
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace net
