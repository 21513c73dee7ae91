#include "publish/publisher.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <condition_variable>
#include <mutex>

#include "platform/dispatch/main_thread.h"
#include "tests/support/event_loop.h"

namespace publish {
namespace {

// What every fake target was asked to do, in order, across threads.
struct Journal {
  std::mutex mutex;
  QStringList entries;  // guarded by mutex
  void add(const QString& entry) {
    std::lock_guard lock(mutex);
    entries << entry;
  }
  QStringList all() {
    std::lock_guard lock(mutex);
    return entries;
  }
};

// Holds the worker inside a publication until the test opens it.
struct Gate {
  std::mutex mutex;
  std::condition_variable opened;
  bool open = true;      // guarded by mutex
  bool waiting = false;  // guarded by mutex
  void pass() {
    std::unique_lock lock(mutex);
    waiting = true;
    opened.wait(lock, [this] { return open; });
    waiting = false;
  }
  void set(bool isOpen) {
    {
      std::lock_guard lock(mutex);
      open = isOpen;
    }
    opened.notify_all();
  }
  bool hasWaiter() {
    std::lock_guard lock(mutex);
    return waiting;
  }
};

class FakeTarget final : public PublishTarget {
 public:
  FakeTarget(QString name, Journal& journal, Failure failure = {}, Gate* gate = nullptr)
      : m_name(std::move(name)), m_journal(journal), m_failure(std::move(failure)), m_gate(gate) {}
  QString displayName() const override { return m_name; }
  Failure publish(const ContactSnapshot& contact) override {
    if (m_gate) m_gate->pass();
    m_journal.add(QStringLiteral("%1 publish %2").arg(m_name).arg(contact.numbers.size()));
    return m_failure;
  }
  Failure remove() override {
    m_journal.add(m_name + QStringLiteral(" remove"));
    return m_failure;
  }

 private:
  QString m_name;
  Journal& m_journal;
  Failure m_failure;
  Gate* m_gate;
};

Publisher::SnapshotSource contactOf(int numbers) {
  return [numbers] {
    ContactSnapshot contact{QStringLiteral("Ringeplagvern"), {}, {}};
    contact.numbers.resize(static_cast<std::size_t>(numbers));
    return std::optional<ContactSnapshot>(contact);
  };
}

class PublisherTest : public ::testing::Test {
 protected:
  Publisher::Report recordReports() {
    return [this](const QStringList& failures) {
      EXPECT_TRUE(dispatch::isMainThread());
      m_reports.push_back(failures);
    };
  }
  Journal m_journal;
  std::vector<QStringList> m_reports;
};

TEST_F(PublisherTest, AFailingTargetIsReportedOnceAndTheOthersStillGetTheContact) {
  Publisher::Targets targets;
  targets.push_back(std::make_unique<FakeTarget>("A", m_journal));
  targets.push_back(std::make_unique<FakeTarget>("B", m_journal, QStringLiteral("server down")));
  targets.push_back(std::make_unique<FakeTarget>("C", m_journal));
  Publisher publisher(std::move(targets), recordReports());
  publisher.mirror(contactOf(3));
  ASSERT_TRUE(rp::test::runEventLoopUntil([this] { return m_reports.size() == 1; }));
  EXPECT_EQ(m_reports[0], QStringList{"B: server down"});
  EXPECT_EQ(m_journal.all(), (QStringList{"A publish 3", "B publish 3", "C publish 3"}));

  publisher.mirror([] { return std::optional<ContactSnapshot>(); });
  ASSERT_TRUE(rp::test::runEventLoopUntil([this] { return m_reports.size() == 2; }));
  EXPECT_EQ(m_journal.all().mid(3), (QStringList{"A remove", "B remove", "C remove"}))
      << "a contact that is gone is removed everywhere";
}

TEST_F(PublisherTest, OnlyTheLatestOfTheRoundsAskedForMeanwhileRuns) {
  Gate gate;
  gate.set(false);
  Publisher::Targets targets;
  targets.push_back(std::make_unique<FakeTarget>("A", m_journal, Failure(), &gate));
  Publisher publisher(std::move(targets), recordReports());
  publisher.mirror(contactOf(1));
  ASSERT_TRUE(rp::test::runEventLoopUntil([&gate] { return gate.hasWaiter(); }));
  for (int numbers = 2; numbers <= 5; ++numbers) publisher.mirror(contactOf(numbers));
  gate.set(true);
  ASSERT_TRUE(rp::test::runEventLoopUntil([this] { return m_reports.size() == 2; }));
  rp::test::runEventLoopFor(std::chrono::milliseconds(100));
  EXPECT_EQ(m_journal.all(), (QStringList{"A publish 1", "A publish 5"}));
  EXPECT_EQ(m_reports.size(), 2u);
  EXPECT_TRUE(m_reports[1].isEmpty());
}

TEST_F(PublisherTest, WithoutTargetsNothingRunsAndAGonePublisherReportsNothing) {
  bool asked = false;
  {
    Publisher idle({}, recordReports());
    EXPECT_FALSE(idle.hasTargets());
    idle.mirror([&asked] {
      asked = true;
      return std::optional<ContactSnapshot>();
    });
  }
  {
    Publisher::Targets targets;
    targets.push_back(std::make_unique<FakeTarget>("A", m_journal));
    Publisher brief(std::move(targets), recordReports());
    brief.mirror(contactOf(1));
  }
  rp::test::runEventLoopFor(std::chrono::milliseconds(100));
  EXPECT_FALSE(asked) << "the contact is not even read when nothing is configured";
  EXPECT_TRUE(m_reports.empty()) << "no report reaches the owner after it let the publisher go";
}

}  // namespace
}  // namespace publish
