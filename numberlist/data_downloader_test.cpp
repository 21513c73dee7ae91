#include "numberlist/data_downloader.h"

#include <gtest/gtest.h>

#include <QTcpServer>

#include "platform/dispatch/main_thread.h"
#include "platform/net/network_activity_indicator.h"
#include "platform/net/url_error.h"
#include "tests/support/event_loop.h"
#include "tests/support/listservice/list_service.h"

namespace numberlist {

using namespace std::chrono_literals;

namespace {

struct RecordingDelegate : IDownloadDataDelegate {
  void didFinishDownloadData(const fnd::Ref<fnd::Data>& data) override {
    bodies.emplace_back(data->view());
    allOnMainThread = allOnMainThread && dispatch::isMainThread();
    indicatorDuringReport = net::NetworkActivityIndicator::isVisible();
  }
  void didFailDownloadWithError(const fnd::Error& error) override {
    errors.push_back(error);
    allOnMainThread = allOnMainThread && dispatch::isMainThread();
  }
  std::size_t reports() const { return bodies.size() + errors.size(); }

  std::vector<std::string> bodies;
  std::vector<fnd::Error> errors;
  bool allOnMainThread = true;
  bool indicatorDuringReport = false;
};

class DataDownloaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_primary.listen());
    ASSERT_TRUE(m_backup.listen());
    m_primary.setBody("primary list");
    m_backup.setBody("backup list");
  }
  std::string primaryUrl() const { return url(m_primary, ListService::kPrimaryPath); }
  std::string backupUrl() const { return url(m_backup, ListService::kBackupPath); }
  static std::string url(const ListService& service, const char* path) {
    return "http://" + service.hostAndPort().toStdString() + path;
  }
  static std::string refusedUrl() {
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    return "http://127.0.0.1:" + std::to_string(closed.serverPort()) + "/uke_alle/terrorliste.json";
  }
  void download(const std::string& primary, const std::string& backup, std::size_t expectedReports = 1) {
    auto downloader = DataDownloader::initWithDelegate(&m_delegate);
    downloader->startDownloadWithUrl(primary, backup);
    downloader.reset();  // the attempt in flight keeps it alive
    ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return m_delegate.reports() >= expectedReports; }, 30s));
    rp::test::runEventLoopFor(50ms);  // a second, wrong report would arrive here
  }

  ListService m_primary;
  ListService m_backup;
  RecordingDelegate m_delegate;
};

TEST_F(DataDownloaderTest, PrimaryAnswersAndTheBackupIsNeverAsked) {
  download(primaryUrl(), backupUrl());
  EXPECT_EQ(m_delegate.bodies, std::vector<std::string>{"primary list"});
  EXPECT_TRUE(m_delegate.errors.empty());
  EXPECT_EQ(m_primary.requestCount(), 1);
  EXPECT_EQ(m_backup.requestCount(), 0);
  EXPECT_TRUE(m_delegate.allOnMainThread);
}

TEST_F(DataDownloaderTest, RefusedPrimaryFallsBackToTheBackup) {
  download(refusedUrl(), backupUrl());
  EXPECT_EQ(m_delegate.bodies, std::vector<std::string>{"backup list"});
  EXPECT_TRUE(m_delegate.errors.empty());
  EXPECT_EQ(m_backup.requestCount(), 1);
}

TEST_F(DataDownloaderTest, BothFailingReportsOnlyTheSecondError) {
  m_backup.setFaults({.resetConnection = true});
  download(refusedUrl(), backupUrl());
  EXPECT_TRUE(m_delegate.bodies.empty());
  ASSERT_EQ(m_delegate.errors.size(), 1u);
  EXPECT_EQ(m_delegate.errors[0].code(), net::NetworkConnectionLost);
  EXPECT_TRUE(m_delegate.allOnMainThread);
}

TEST_F(DataDownloaderTest, ErrorStatusIsAFailedAttemptSoTheBackupAnswers) {
  m_primary.setFaults({.status = 404});
  download(primaryUrl(), backupUrl());
  EXPECT_EQ(m_delegate.bodies, std::vector<std::string>{"backup list"});
  EXPECT_EQ(m_primary.requestCount(), 1);
  EXPECT_EQ(m_backup.requestCount(), 1);
}

TEST_F(DataDownloaderTest, ErrorStatusAtBothReportsTheLastStatusInItsDescription) {
  m_primary.setFaults({.status = 404});
  m_backup.setFaults({.status = 503});
  download(primaryUrl(), backupUrl());
  EXPECT_TRUE(m_delegate.bodies.empty());
  ASSERT_EQ(m_delegate.errors.size(), 1u);
  EXPECT_EQ(m_delegate.errors[0].code(), net::BadServerResponse);
  EXPECT_NE(m_delegate.errors[0].localizedDescription().find("503"), std::string::npos);
}

TEST_F(DataDownloaderTest, TruncatedBodyAtBothIsAFailureNotAList) {
  m_primary.setFaults({.truncateBody = true});
  m_backup.setFaults({.truncateBody = true});
  download(primaryUrl(), backupUrl());
  EXPECT_TRUE(m_delegate.bodies.empty());
  EXPECT_EQ(m_delegate.errors.size(), 1u);
}

TEST_F(DataDownloaderTest, TwoDownloadsSideBySideEachReportOnce) {
  m_primary.setFaults({.delay = 100ms});
  auto downloader = DataDownloader::initWithDelegate(&m_delegate);
  downloader->startDownloadWithUrl(primaryUrl(), backupUrl());
  downloader->startDownloadWithUrl(refusedUrl(), backupUrl());
  ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return m_delegate.reports() >= 2; }, 30s));
  rp::test::runEventLoopFor(200ms);
  std::vector<std::string> bodies = m_delegate.bodies;
  std::sort(bodies.begin(), bodies.end());
  EXPECT_EQ(bodies, (std::vector<std::string>{"backup list", "primary list"}));
  EXPECT_EQ(m_delegate.reports(), 2u);
}

TEST_F(DataDownloaderTest, IndicatorShowsDuringEachAttemptAndHidesAfterTheReport) {
  std::vector<bool> transitions;
  const int observer =
      net::NetworkActivityIndicator::addObserver([&](bool visible) { transitions.push_back(visible); });
  download(refusedUrl(), backupUrl());
  net::NetworkActivityIndicator::removeObserver(observer);
  // First attempt shown then hidden; the backup attempt shown again, and
  // hidden only after the delegate has had the list.
  EXPECT_EQ(transitions, (std::vector<bool>{true, false, true, false}));
  EXPECT_TRUE(m_delegate.indicatorDuringReport);
  EXPECT_FALSE(net::NetworkActivityIndicator::isVisible());
}

}  // namespace

}  // namespace numberlist
