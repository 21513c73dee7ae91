#include "platform/uikit/table_view.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>

#include "platform/uikit/text_field.h"
#include "tests/support/event_loop.h"

namespace {

using uikit::IndexPath;
using uikit::TableView;
using uikit::TableViewCell;

constexpr int kWidth = 320;
constexpr int kHeight = 480;
constexpr int kRowHeight = 44;

// Rows labelled "section.row", made through the reuse pool when a reuse
// identifier is set; a row in `fieldRows` holds a text field.
struct Rows : uikit::TableViewDataSource {
  std::vector<int> rowCounts{100};
  QString identifier = QStringLiteral("Cell");
  std::set<int> fieldRows;
  int cellsMade = 0;
  int cellsAskedFor = 0;

  int numberOfSectionsInTableView(TableView&) override { return static_cast<int>(rowCounts.size()); }
  int numberOfRowsInSection(TableView&, int section) override { return rowCounts[section]; }
  TableViewCell* cellForRowAtIndexPath(TableView& table, const IndexPath& indexPath) override {
    ++cellsAskedFor;
    TableViewCell* cell = table.dequeueReusableCellWithIdentifier(identifier);
    if (!cell) {
      ++cellsMade;
      cell = new TableViewCell(TableViewCell::Style::Default, identifier);
      new uikit::TextField(cell->contentView());
    }
    auto* field = cell->contentView()->findChild<uikit::TextField*>();
    field->setGeometry(150, 5, 150, 30);
    field->setVisible(fieldRows.count(indexPath.row) > 0);
    cell->textLabel()->setText(QString("%1.%2").arg(indexPath.section).arg(indexPath.row));
    return cell;
  }
};

struct Delegate : uikit::TableViewDelegate {
  double headerHeight = 0;
  int headersMade = 0;
  std::vector<IndexPath> selected;
  double heightForHeaderInSection(TableView&, int) override { return headerHeight; }
  QWidget* viewForHeaderInSection(TableView&, int section) override {
    ++headersMade;
    auto* header = new QLabel(QString("Header %1").arg(section));
    header->setObjectName("header");
    return header;
  }
  void didSelectRowAtIndexPath(TableView&, const IndexPath& indexPath) override { selected.push_back(indexPath); }
};

class TableViewTest : public testing::Test {
 protected:
  void SetUp() override {
    m_window.resize(kWidth, kHeight);
    auto* layout = new QVBoxLayout(&m_window);
    layout->setContentsMargins(0, 0, 0, 0);
    m_table = new TableView(&m_window);
    layout->addWidget(m_table);
    m_window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
  }

  void attach() {
    m_table->setDelegate(&m_delegate);
    m_table->setDataSource(&m_rows);
  }

  void scrollTo(int offset) { m_table->verticalScrollBar()->setValue(offset); }
  int offset() const { return m_table->verticalScrollBar()->value(); }
  int liveCells() const { return static_cast<int>(m_table->viewport()->findChildren<TableViewCell*>().size()); }
  QString label(const IndexPath& indexPath) const {
    TableViewCell* cell = m_table->cellForRowAtIndexPath(indexPath);
    return cell ? cell->textLabel()->text() : QString();
  }

  QWidget m_window;
  TableView* m_table = nullptr;
  Rows m_rows;
  Delegate m_delegate;
};

TEST_F(TableViewTest, MakesCellsOnlyForTheRowsOnScreen) {
  attach();
  const int onScreen = (kHeight + kRowHeight - 1) / kRowHeight;
  EXPECT_EQ(m_rows.cellsMade, onScreen);
  EXPECT_EQ(label({0, 0}), "0.0");
  EXPECT_EQ(label({0, onScreen - 1}), QString("0.%1").arg(onScreen - 1));
  EXPECT_EQ(m_table->cellForRowAtIndexPath({0, onScreen}), nullptr);
  EXPECT_EQ(m_table->cellForRowAtIndexPath({0, 500}), nullptr) << "no such row";
  EXPECT_EQ(m_table->rectForRowAtIndexPath({0, 3}), QRect(0, 3 * kRowHeight, kWidth, kRowHeight));
  const auto visible = m_table->indexPathsForVisibleRows();
  ASSERT_EQ(static_cast<int>(visible.size()), onScreen);
  EXPECT_EQ(visible.front(), (IndexPath{0, 0}));
  EXPECT_EQ(visible.back(), (IndexPath{0, onScreen - 1}));
  TableViewCell* cell = m_table->cellForRowAtIndexPath({0, 2});
  EXPECT_EQ(m_table->indexPathForCell(cell), (IndexPath{0, 2}));
  EXPECT_EQ(cell->geometry(), QRect(0, 2 * kRowHeight, kWidth, kRowHeight - 1)) << "one point left for the separator";
}

TEST_F(TableViewTest, CellsThatLeaveTheScreenComeBackThroughTheReusePool) {
  attach();
  const QPointer<TableViewCell> first = m_table->cellForRowAtIndexPath({0, 0});
  const int made = m_rows.cellsMade;
  scrollTo(20 * kRowHeight);
  EXPECT_EQ(m_table->cellForRowAtIndexPath({0, 0}), nullptr);
  EXPECT_EQ(label({0, 20}), "0.20");
  EXPECT_LE(m_rows.cellsMade, made + 1) << "the cells of the rows that left were used again";
  ASSERT_TRUE(first);
  EXPECT_TRUE(m_table->indexPathForCell(first)) << "the first row's cell now shows another row";

  // A cell in the pool comes out of it exactly once.
  scrollTo(60 * kRowHeight);
  const int pooled = m_table->dequeueReusableCellWithIdentifier("Cell") ? 1 : 0;
  EXPECT_EQ(m_table->dequeueReusableCellWithIdentifier("Other"), nullptr);
  EXPECT_LE(pooled, 1);
}

TEST_F(TableViewTest, CellsWithoutAnIdentifierAreDeletedNotReused) {
  m_rows.identifier.clear();
  attach();
  const QPointer<TableViewCell> first = m_table->cellForRowAtIndexPath({0, 0});
  scrollTo(30 * kRowHeight);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(first.isNull());
  EXPECT_EQ(m_table->dequeueReusableCellWithIdentifier(QString()), nullptr);
  EXPECT_LE(liveCells(), 12);
}

TEST_F(TableViewTest, HeadersScrollWithTheContentAndAreMadeWhenTheyReturn) {
  m_delegate.headerHeight = 34;
  m_rows.rowCounts = {20, 20};
  attach();
  auto headers = [this] { return m_table->viewport()->findChildren<QLabel*>("header"); };
  ASSERT_EQ(headers().size(), 1);
  EXPECT_EQ(headers().front()->geometry(), QRect(0, 0, kWidth, 34));
  EXPECT_EQ(m_table->rectForRowAtIndexPath({0, 0}).top(), 34);
  EXPECT_EQ(m_table->rectForRowAtIndexPath({1, 0}).top(), 34 + 20 * kRowHeight + 34);

  scrollTo(10);
  EXPECT_EQ(headers().front()->y(), -10) << "plain headers do not float";
  scrollTo(15 * kRowHeight);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_EQ(headers().size(), 1);
  EXPECT_EQ(headers().front()->text(), "Header 1");
  EXPECT_EQ(headers().front()->y(), 34 + 20 * kRowHeight - 15 * kRowHeight);
  scrollTo(0);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(m_delegate.headersMade, 3) << "a header coming back is asked for again";
  EXPECT_EQ(headers().front()->text(), "Header 0");
}

TEST_F(TableViewTest, ATapSelectsTheRowUnderItAfterScrolling) {
  m_delegate.headerHeight = 34;
  attach();
  scrollTo(130);
  // Content y 130 + 50 = 180 lies in row (180 - 34) / 44 = 3.
  QTest::mouseClick(m_table->viewport(), Qt::LeftButton, {}, QPoint(60, 50));
  ASSERT_EQ(m_delegate.selected, (std::vector<IndexPath>{{0, 3}}));
  TableViewCell* cell = m_table->cellForRowAtIndexPath({0, 3});
  EXPECT_TRUE(cell->isHighlighted()) << "briefly";
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return !cell->isHighlighted(); }, std::chrono::seconds(2)));

  // A press that lands on a cell's label reaches the table as well.
  QWidget* label = m_table->cellForRowAtIndexPath({0, 5})->textLabel();
  QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(m_delegate.selected.back(), (IndexPath{0, 5}));
}

TEST_F(TableViewTest, ADragScrollsAndSelectsNothing) {
  attach();
  QWidget* viewport = m_table->viewport();
  QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(100, 400));
  for (int step = 1; step <= 10; ++step) {
    QTest::mouseMove(viewport, QPoint(100, 400 - step * 30), 16);
  }
  QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(100, 100), 16);
  EXPECT_TRUE(m_delegate.selected.empty());
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return !m_table->isScrollAnimating(); }, std::chrono::seconds(10)));
  EXPECT_GT(offset(), 150) << "the content followed the finger upwards";
}

TEST_F(TableViewTest, TheWheelScrolls) {
  attach();
  QWheelEvent wheel(QPointF(100, 100), m_table->viewport()->mapToGlobal(QPointF(100, 100)), QPoint(), QPoint(0, -120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(m_table->viewport(), &wheel);
  EXPECT_GT(offset(), 0);
}

TEST_F(TableViewTest, ATapOnAFieldInACellFocusesTheFieldAndSelectsNoRow) {
  m_rows.fieldRows = {2};
  attach();
  auto* field = m_table->cellForRowAtIndexPath({0, 2})->contentView()->findChild<uikit::TextField*>();
  ASSERT_TRUE(field && field->isVisible());
  EXPECT_EQ(field->parentWidget()->parentWidget(), m_table->cellForRowAtIndexPath({0, 2}));
  QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(field->hasFocus());
  EXPECT_TRUE(field->isEditing());
  EXPECT_TRUE(m_delegate.selected.empty());
  QTest::keyClicks(field, "42");
  EXPECT_EQ(field->text(), "42");
}

TEST_F(TableViewTest, ScrollsARowIntoPlaceWithOrWithoutAnimation) {
  attach();
  m_table->scrollToRowAtIndexPath({0, 50}, TableView::ScrollPosition::Top, true);
  EXPECT_TRUE(m_table->isScrollAnimating());
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return !m_table->isScrollAnimating(); }, std::chrono::seconds(2)));
  EXPECT_EQ(m_table->rectForRowAtIndexPath({0, 50}).top(), 0);
  EXPECT_EQ(label({0, 50}), "0.50");

  m_table->scrollToRowAtIndexPath({0, 50}, TableView::ScrollPosition::Bottom, false);
  EXPECT_EQ(m_table->rectForRowAtIndexPath({0, 50}).bottom(), m_table->viewport()->height() - 1);
  m_table->scrollToRowAtIndexPath({0, 50}, TableView::ScrollPosition::Middle, false);
  EXPECT_NEAR(m_table->rectForRowAtIndexPath({0, 50}).center().y(), m_table->viewport()->height() / 2, 1);
  const int before = offset();
  m_table->scrollToRowAtIndexPath({0, 49}, TableView::ScrollPosition::None, false);
  EXPECT_EQ(offset(), before) << "a row already in view does not move";

  m_table->scrollToRowAtIndexPath({0, 99}, TableView::ScrollPosition::Top, false);
  EXPECT_EQ(offset(), 100 * kRowHeight - m_table->viewport()->height()) << "never past the end";
  m_table->scrollToRowAtIndexPath({0, 100}, TableView::ScrollPosition::Top, false);
  EXPECT_EQ(offset(), 100 * kRowHeight - m_table->viewport()->height()) << "a row that does not exist is ignored";
}

TEST_F(TableViewTest, ReloadFollowsAChangingRowCount) {
  attach();
  scrollTo(90 * kRowHeight);
  m_rows.rowCounts = {5};
  m_table->reloadData();
  EXPECT_EQ(offset(), 0);
  EXPECT_EQ(m_table->indexPathsForVisibleRows().size(), 5u);
  EXPECT_EQ(label({0, 4}), "0.4");
  EXPECT_EQ(m_table->cellForRowAtIndexPath({0, 5}), nullptr);

  m_rows.rowCounts = {0};
  m_table->reloadData();
  EXPECT_TRUE(m_table->indexPathsForVisibleRows().empty());
  m_rows.rowCounts = {3, 4};
  m_table->reloadData();
  EXPECT_EQ(label({1, 3}), "1.3");
  EXPECT_EQ(m_table->numberOfRowsInSection(1), 4);
}

// Heights from the delegate, one row in ten twice as high.
struct TallRows : Delegate {
  int asked = 0;
  double heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) override {
    ++asked;
    return indexPath.row % 10 == 0 ? 2 * kRowHeight : kRowHeight;
  }
};

TEST_F(TableViewTest, AHundredThousandRowsCostOnlyTheRowsOnScreen) {
  m_rows.rowCounts = {100000};
  attach();
  const int onScreen = static_cast<int>(m_table->indexPathsForVisibleRows().size());
  EXPECT_EQ(m_rows.cellsAskedFor, onScreen);
  m_table->scrollToRowAtIndexPath({0, 99999}, TableView::ScrollPosition::Bottom, false);
  EXPECT_EQ(label({0, 99999}), "0.99999");
  EXPECT_EQ(m_table->rectForRowAtIndexPath({0, 99999}).bottom(), m_table->viewport()->height() - 1);
  EXPECT_LE(liveCells(), onScreen + 1);
  EXPECT_LE(m_rows.cellsAskedFor, 3 * onScreen);

  TallRows tall;
  m_table->scrollToRowAtIndexPath({0, 0}, TableView::ScrollPosition::Top, false);
  m_table->setDelegate(&tall);
  EXPECT_LE(tall.asked, 2 * onScreen) << "a reload measures no row off screen";
  m_table->scrollToRowAtIndexPath({0, 50000}, TableView::ScrollPosition::Top, false);
  EXPECT_EQ(m_table->rectForRowAtIndexPath({0, 50000}).height(), 2 * kRowHeight);
  EXPECT_EQ(m_table->rectForRowAtIndexPath({0, 50000}).top(), 0);
  EXPECT_LE(liveCells(), onScreen + 1);
}

}  // namespace
