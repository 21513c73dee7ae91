#include "platform/uikit/navigation_bar.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "tests/support/event_loop.h"

namespace {

using uikit::BarButtonItem;
using uikit::NavigationBar;
using uikit::NavigationItem;

void runDeferredDeletions() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class NavigationBarTest : public testing::Test {
 protected:
  void SetUp() override {
    m_bar.resize(320, NavigationBar::kHeight);
    m_item->setRightBarButtonItem(&m_refresh);
    m_bar.setItem(m_item);
    m_bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_bar));
  }

  bool fadesFinish() {
    return rp::test::runEventLoopUntil([&] { return !m_bar.isAnimating(); }, std::chrono::seconds(2));
  }

  NavigationBar m_bar;
  NavigationItem* m_item = new NavigationItem("Ringeplagvern");
  BarButtonItem m_refresh{BarButtonItem::SystemItem::Refresh};
};

TEST_F(NavigationBarTest, ClickingAnEnabledButtonTriggersItsItemOnly) {
  EXPECT_EQ(m_bar.topItem(), m_item);
  EXPECT_EQ(m_item->parent(), &m_bar) << "a parentless item belongs to the bar";
  QAbstractButton* button = m_bar.buttonForItem(&m_refresh);
  ASSERT_NE(button, nullptr);
  EXPECT_GT(button->x(), 320 / 2) << "the right item stands at the right";
  QSignalSpy triggered(&m_refresh, &BarButtonItem::triggered);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(triggered.count(), 1);

  m_refresh.setEnabled(false);
  EXPECT_FALSE(button->isEnabled());
  QTest::mouseClick(button, Qt::LeftButton);
  m_refresh.trigger();
  EXPECT_EQ(triggered.count(), 1) << "a disabled item does nothing";

  m_refresh.setEnabled(true);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(triggered.count(), 2);
}

TEST_F(NavigationBarTest, AReplacedButtonFadesOutAndItsOwnedItemGoesAway) {
  QPointer<QAbstractButton> refreshButton = m_bar.buttonForItem(&m_refresh);
  QPointer<BarButtonItem> search = new BarButtonItem("Søk", BarButtonItem::Style::Bordered, m_item);
  m_item->setRightBarButtonItem(search, true);
  EXPECT_EQ(m_bar.buttonForItem(&m_refresh), nullptr);
  ASSERT_NE(m_bar.buttonForItem(search), nullptr);
  EXPECT_TRUE(m_bar.isAnimating());
  EXPECT_TRUE(fadesFinish());
  runDeferredDeletions();
  EXPECT_TRUE(refreshButton.isNull()) << "the old button is gone after its fade";

  // The search button's own action puts the refresh button back, as when a
  // search is made: its item goes away, the refresh item stays.
  QObject::connect(search, &BarButtonItem::triggered, [&] { m_item->setRightBarButtonItem(&m_refresh, true); });
  QTest::mouseClick(m_bar.buttonForItem(search), Qt::LeftButton);
  EXPECT_NE(m_bar.buttonForItem(&m_refresh), nullptr);
  EXPECT_TRUE(fadesFinish());
  runDeferredDeletions();
  EXPECT_TRUE(search.isNull()) << "an item handed over goes away when it leaves";
  EXPECT_EQ(m_item->rightBarButtonItem(), &m_refresh);

  // A parentless item is kept by the navigation item, to be put back later.
  QPointer<BarButtonItem> kept = new BarButtonItem("Ferdig", BarButtonItem::Style::Done);
  m_item->setLeftBarButtonItem(kept);
  EXPECT_EQ(kept->parent(), m_item);
  m_item->setLeftBarButtonItem(nullptr);
  runDeferredDeletions();
  ASSERT_FALSE(kept.isNull());
  m_item->setLeftBarButtonItem(kept);
  EXPECT_NE(m_bar.buttonForItem(kept), nullptr);
}

TEST_F(NavigationBarTest, ItemsChangedWithoutAnimationShowAtOnce) {
  BarButtonItem close(BarButtonItem::SystemItem::Close);
  EXPECT_EQ(close.title(), "Lukk");
  m_item->setLeftBarButtonItem(&close);
  EXPECT_FALSE(m_bar.isAnimating());
  QAbstractButton* left = m_bar.buttonForItem(&close);
  ASSERT_NE(left, nullptr);
  EXPECT_LT(left->geometry().right(), 320 / 2);
  m_item->setLeftBarButtonItem(nullptr);
  EXPECT_EQ(m_bar.buttonForItem(&close), nullptr);

  NavigationItem other("Innstillinger");
  m_bar.setItem(&other);
  EXPECT_EQ(m_bar.buttonForItem(&m_refresh), nullptr) << "the new item has no buttons";
}

TEST_F(NavigationBarTest, DrawsItsBackgroundImageStretchedUnderOtherChildren) {
  const QImage plain = m_bar.grab().toImage();
  const QColor gradient = plain.pixelColor(60, 22);
  EXPECT_GT(gradient.blue(), gradient.red() + 40) << "blue without an image";

  QPixmap red(4, 4);
  red.fill(Qt::red);
  m_bar.setBackgroundImage(red, NavigationBar::BarMetrics::Default);
  EXPECT_FALSE(m_bar.backgroundImage(NavigationBar::BarMetrics::Default).isNull());
  EXPECT_TRUE(m_bar.backgroundImage(NavigationBar::BarMetrics::LandscapePhone).isNull());
  const QImage drawn = m_bar.grab().toImage();
  EXPECT_EQ(drawn.pixelColor(2, 2), QColor(Qt::red));
  EXPECT_EQ(drawn.pixelColor(317, 41), QColor(Qt::red));

  QPushButton settings("i", &m_bar);
  settings.setGeometry(100, 7, 30, 30);
  settings.show();
  QSignalSpy clicked(&settings, &QPushButton::clicked);
  QTest::mouseClick(&settings, Qt::LeftButton);
  EXPECT_EQ(clicked.count(), 1);
}

}  // namespace
