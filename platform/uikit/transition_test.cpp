#include "platform/uikit/transition.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "tests/support/event_loop.h"

namespace {

using uikit::TransitionOption;

class Transition : public testing::Test {
 protected:
  void SetUp() override {
    m_window.resize(320, 200);
    auto* layout = new QVBoxLayout(m_view);
    layout->addWidget(m_result);
    layout->addWidget(m_button);
    m_view->setGeometry(10, 10, 300, 120);
    m_window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
  }

  bool transitionEnds() {
    return rp::test::runEventLoopUntil([&] { return !uikit::isTransitionRunning(m_view); }, std::chrono::seconds(2));
  }

  QWidget m_window;
  QWidget* m_view = new QWidget(&m_window);
  QLabel* m_result = new QLabel("Trykk ovenfor og skriv inn nummer for å søke");
  QPushButton* m_button = new QPushButton("Legg til nytt nummer");
};

TEST_F(Transition, TheChangesAreMadeBeforeItReturnsAndTheViewStaysUsable) {
  std::vector<QString> order;
  uikit::transitionWithView(m_view, 0.25, TransitionOption::FlipFromRight, [&] {
    order.push_back(m_result->text());
    m_result->setText("Ingen treff");
    order.push_back(m_result->text());
  });
  EXPECT_EQ(order.size(), 2u) << "the block ran exactly once";
  EXPECT_EQ(m_result->text(), "Ingen treff");
  EXPECT_TRUE(uikit::isTransitionRunning(m_view));

  QSignalSpy clicks(m_button, &QPushButton::clicked);
  QTest::mouseClick(m_button, Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 1) << "the real children take input during the flip";

  EXPECT_TRUE(transitionEnds());
  EXPECT_EQ(m_result->text(), "Ingen treff");
}

TEST_F(Transition, ANewTransitionEndsTheRunningOne) {
  uikit::transitionWithView(m_view, 1.0, TransitionOption::FlipFromLeft, [&] { m_result->setText("En"); });
  uikit::transitionWithView(m_view, 0.2, TransitionOption::CurlUp, [&] { m_result->setText("To"); });
  int overlays = 0;
  for (QObject* child : m_view->children()) {
    if (auto* widget = qobject_cast<QWidget*>(child);
        widget && widget->isVisible() && widget != m_result && widget != m_button) {
      ++overlays;
    }
  }
  EXPECT_EQ(overlays, 1);
  EXPECT_EQ(m_result->text(), "To");
  EXPECT_TRUE(transitionEnds());
}

TEST_F(Transition, WithoutAnimationOnlyTheBlockRuns) {
  uikit::transitionWithView(m_view, 0.25, TransitionOption::None, [&] { m_result->setText("Ingen kategori"); });
  EXPECT_EQ(m_result->text(), "Ingen kategori");
  EXPECT_FALSE(uikit::isTransitionRunning(m_view));

  m_view->hide();
  uikit::transitionWithView(m_view, 0.25, TransitionOption::FlipFromRight, [&] { m_result->setText("Skjult"); });
  EXPECT_EQ(m_result->text(), "Skjult");
  EXPECT_FALSE(uikit::isTransitionRunning(m_view)) << "nothing to see on a hidden view";
}

}  // namespace
