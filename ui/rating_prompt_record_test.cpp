#include "ui/rating_prompt_record.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "platform/defaults/user_defaults.h"

namespace ui {

namespace {

constexpr double kDay = 86400.0;
constexpr double kStart = 1'800'000'000.0;

using Event = RatingPromptRecord::Event;
using Record = RatingPromptRecord;

class RatingPromptRecordTest : public testing::Test {
 protected:
  QString filePath() const { return m_directory.filePath("defaults.conf"); }
  void reopen() { m_store = std::make_unique<defaults::UserDefaults>(filePath()); }

  // A version first used `days` ago with `uses` counted uses.
  void storeEligible(double days, std::int64_t uses) {
    m_store->setString(Record::kCurrentVersion, "3.0");
    m_store->setDouble(Record::kFirstUseDate, kStart - days * kDay);
    m_store->setInteger(Record::kUseCount, uses);
  }

  QTemporaryDir m_directory;
  std::unique_ptr<defaults::UserDefaults> m_store = std::make_unique<defaults::UserDefaults>(filePath());
  Record m_record{*m_store};
};

TEST_F(RatingPromptRecordTest, CountingKeepsThePerVersionRecordAcrossARestart) {
  m_record.count(Event::Use, "3.0", kStart, false);
  reopen();
  EXPECT_EQ(m_store->stringForKey(Record::kCurrentVersion), "3.0");
  EXPECT_EQ(m_store->doubleForKey(Record::kFirstUseDate), kStart);
  EXPECT_EQ(m_store->integerForKey(Record::kUseCount), 1);

  Record reopened(*m_store);
  reopened.count(Event::Use, "3.0", kStart + kDay, false);
  reopened.count(Event::SignificantEvent, "3.0", kStart + 2 * kDay, false);
  EXPECT_EQ(m_store->doubleForKey(Record::kFirstUseDate), kStart) << "the first use stays the first";
  EXPECT_EQ(m_store->integerForKey(Record::kUseCount), 2);
  EXPECT_EQ(m_store->integerForKey(Record::kSignificantEventCount), 1);
}

TEST_F(RatingPromptRecordTest, ANewVersionStartsAfreshWhicheverEventComesFirst) {
  storeEligible(40, 50);
  m_store->setInteger(Record::kSignificantEventCount, 7);
  m_store->setBool(Record::kRatedCurrentVersion, true);
  m_store->setBool(Record::kDeclinedToRate, true);
  m_store->setDouble(Record::kReminderRequestDate, kStart - kDay);

  m_record.count(Event::Use, "3.1", kStart, false);
  EXPECT_EQ(m_store->stringForKey(Record::kCurrentVersion), "3.1");
  EXPECT_EQ(m_store->doubleForKey(Record::kFirstUseDate), kStart);
  EXPECT_EQ(m_store->integerForKey(Record::kUseCount), 1);
  EXPECT_EQ(m_store->integerForKey(Record::kSignificantEventCount), 0);
  EXPECT_FALSE(m_store->boolForKey(Record::kRatedCurrentVersion));
  EXPECT_FALSE(m_store->boolForKey(Record::kDeclinedToRate));
  EXPECT_EQ(m_store->doubleForKey(Record::kReminderRequestDate), 0.0);

  m_record.count(Event::SignificantEvent, "3.2", kStart + kDay, false);
  EXPECT_EQ(m_store->doubleForKey(Record::kFirstUseDate), 0.0) << "no use of 3.2 yet";
  EXPECT_EQ(m_store->integerForKey(Record::kUseCount), 0);
  EXPECT_EQ(m_store->integerForKey(Record::kSignificantEventCount), 1);
  m_record.count(Event::Use, "3.2", kStart + 2 * kDay, false);
  EXPECT_EQ(m_store->doubleForKey(Record::kFirstUseDate), kStart + 2 * kDay) << "the first use sets the date";
  EXPECT_EQ(m_store->integerForKey(Record::kUseCount), 1);
}

TEST_F(RatingPromptRecordTest, EveryThresholdIsInclusiveOfTimeAndExclusiveOfCounts) {
  const RatingThresholds standard;
  storeEligible(30, 21);
  EXPECT_TRUE(m_record.conditionsMet(standard, kStart)) << "exactly 30 days is enough";
  EXPECT_FALSE(m_record.conditionsMet(standard, kStart - 1));

  m_store->setInteger(Record::kUseCount, 20);
  EXPECT_FALSE(m_record.conditionsMet(standard, kStart)) << "20 uses is not more than 20";
  m_store->setInteger(Record::kUseCount, 21);

  RatingThresholds events = standard;
  events.significantEventsUntilPrompt = 2;
  m_store->setInteger(Record::kSignificantEventCount, 2);
  EXPECT_FALSE(m_record.conditionsMet(events, kStart));
  m_store->setInteger(Record::kSignificantEventCount, 3);
  EXPECT_TRUE(m_record.conditionsMet(events, kStart));

  m_record.storeReminderRequest(kStart);
  EXPECT_FALSE(m_record.conditionsMet(standard, kStart + kDay - 1));
  EXPECT_TRUE(m_record.conditionsMet(standard, kStart + kDay));
}

TEST_F(RatingPromptRecordTest, AChoiceEndsTheVersionUnlessDebugging) {
  storeEligible(31, 21);
  m_record.storeDeclined();
  EXPECT_FALSE(m_record.conditionsMet({}, kStart));
  m_store->setBool(Record::kDeclinedToRate, false);
  m_record.storeRated();
  EXPECT_FALSE(m_record.conditionsMet({}, kStart));

  RatingThresholds debug;
  debug.debug = true;
  EXPECT_TRUE(m_record.conditionsMet(debug, kStart));
  reopen();
  EXPECT_TRUE(m_store->boolForKey(Record::kRatedCurrentVersion)) << "a choice is written to disk at once";
}

}  // namespace

}  // namespace ui
