// The listservice program as a person starts it: it serves the file it is
// given on the port it reports, logs each request, and refuses bad arguments.
#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryFile>

#include "platform/net/url_loader.h"
#include "tests/support/event_loop.h"

namespace {

TEST(ListServiceProgram, ServesTheFileAtBothPathsAndLogsEachRequest) {
  QTemporaryFile list;
  ASSERT_TRUE(list.open());
  list.write(R"({"telefonnumre":[{"telefon":"22334455"}]})");
  list.flush();

  QProcess service;
  service.start(LISTSERVICE_PROGRAM, {"--port", "0", list.fileName()});
  ASSERT_TRUE(service.waitForReadyRead(10000));
  const QString banner = QString::fromUtf8(service.readLine());
  const QRegularExpressionMatch address = QRegularExpression("http://([0-9.]+:[0-9]+)").match(banner);
  ASSERT_TRUE(address.hasMatch()) << banner.toStdString();

  for (const char* path : {"/uke_alle/terrorliste.json", "/iPhoneApp/ringeplagvern/updateData.php"}) {
    std::optional<int> status;
    std::string body;
    net::sendAsynchronousRequest({"http://" + address.captured(1).toStdString() + path},
                                 [&](const std::optional<net::UrlResponse>& response, const fnd::Ref<fnd::Data>& data,
                                     const std::optional<fnd::Error>&) {
                                   status = response ? response->statusCode : -1;
                                   if (data) body = data->view();
                                 });
    ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return status.has_value(); }));
    EXPECT_EQ(*status, 200) << path;
    EXPECT_EQ(body, R"({"telefonnumre":[{"telefon":"22334455"}]})");
    ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return service.canReadLine() || service.waitForReadyRead(10); }));
    EXPECT_TRUE(service.readLine().contains(QByteArray(path) + " -> 200"));
  }
  service.kill();
  service.waitForFinished();
}

TEST(ListServiceProgram, RefusesNumbersItCannotUse) {
  QTemporaryFile list;
  ASSERT_TRUE(list.open());
  const QStringList refused[] = {{"--port", "70000"}, {"--port", "abc"}, {"--status", "0"}, {"--delay-ms", "soon"}};
  for (const QStringList& options : refused) {
    QProcess service;
    service.start(LISTSERVICE_PROGRAM, options + QStringList{list.fileName()});
    ASSERT_TRUE(service.waitForFinished(10000)) << options.join(' ').toStdString();
    EXPECT_EQ(service.exitCode(), 2) << options.join(' ').toStdString();
    EXPECT_TRUE(service.readAllStandardError().contains("wants a whole number")) << options.join(' ').toStdString();
  }
}

TEST(ListServiceProgram, RefusesAMissingFileAndANonLoopbackAddress) {
  QProcess missing;
  missing.start(LISTSERVICE_PROGRAM, {"/no/such/list.json"});
  ASSERT_TRUE(missing.waitForFinished(10000));
  EXPECT_NE(missing.exitCode(), 0);
  EXPECT_TRUE(missing.readAllStandardError().contains("cannot read"));

  QTemporaryFile list;
  ASSERT_TRUE(list.open());
  QProcess outside;
  outside.start(LISTSERVICE_PROGRAM, {"--address", "192.0.2.1", list.fileName()});
  ASSERT_TRUE(outside.waitForFinished(10000));
  EXPECT_NE(outside.exitCode(), 0);
  EXPECT_TRUE(outside.readAllStandardError().contains("not a loopback address"));
}

}  // namespace
