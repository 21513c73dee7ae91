#include "platform/uikit/switch.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include "tests/support/event_loop.h"

namespace {

using uikit::Switch;

// Presses at `from`, moves to `to` with the button held, releases there.
void drag(Switch& control, QPoint from, QPoint to) {
  QTest::mousePress(&control, Qt::LeftButton, Qt::NoModifier, from);
  for (const QPoint at : {from + (to - from) / 2, to}) {
    QMouseEvent move(QEvent::MouseMove, at, control.mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&control, &move);
  }
  QTest::mouseRelease(&control, Qt::LeftButton, Qt::NoModifier, to);
}

class SwitchTest : public testing::Test {
 protected:
  void SetUp() override {
    m_control.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_control));
  }
  Switch m_control;
  QSignalSpy m_changes{&m_control, &Switch::valueChanged};
};

TEST_F(SwitchTest, OnlyTheUsersOwnChangesAreReported) {
  EXPECT_EQ(m_control.sizeHint(), QSize(51, 31));
  m_control.setOn(true);
  m_control.setOn(false, true);
  EXPECT_TRUE(m_control.isAnimating());
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return !m_control.isAnimating(); }, std::chrono::seconds(2)));
  EXPECT_FALSE(m_control.isOn());
  EXPECT_EQ(m_changes.count(), 0) << "setOn is not the user's change";

  QTest::mouseClick(&m_control, Qt::LeftButton);
  ASSERT_EQ(m_changes.count(), 1);
  EXPECT_TRUE(m_changes.takeFirst().at(0).toBool());
  EXPECT_TRUE(m_control.isOn());

  m_control.setFocus();
  QTest::keyClick(&m_control, Qt::Key_Space);
  ASSERT_EQ(m_changes.count(), 1);
  EXPECT_FALSE(m_changes.takeFirst().at(0).toBool());
  EXPECT_FALSE(m_control.isOn());
}

TEST_F(SwitchTest, ADragDecidesByWhereTheThumbIsLetGo) {
  drag(m_control, QPoint(12, 15), QPoint(48, 15));
  ASSERT_EQ(m_changes.count(), 1);
  EXPECT_TRUE(m_changes.takeFirst().at(0).toBool());
  EXPECT_TRUE(m_control.isOn());

  // Back less than half the way: the switch stays on, and the drag is no tap.
  drag(m_control, QPoint(40, 15), QPoint(34, 15));
  EXPECT_TRUE(m_control.isOn());
  EXPECT_EQ(m_changes.count(), 0);

  // Each drag across the middle is one change, reported with the new state.
  drag(m_control, QPoint(40, 15), QPoint(0, 15));
  drag(m_control, QPoint(10, 15), QPoint(45, 15));
  EXPECT_TRUE(m_control.isOn());
  ASSERT_EQ(m_changes.count(), 2);
  EXPECT_FALSE(m_changes.at(0).at(0).toBool());
  EXPECT_TRUE(m_changes.at(1).at(0).toBool());
}

TEST_F(SwitchTest, ADisabledSwitchIgnoresTheUser) {
  m_control.setEnabled(false);
  QTest::mouseClick(&m_control, Qt::LeftButton);
  drag(m_control, QPoint(12, 15), QPoint(48, 15));
  EXPECT_FALSE(m_control.isOn());
  EXPECT_EQ(m_changes.count(), 0);
}

}  // namespace
