#include "platform/uikit/table_layout.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using uikit::IndexPath;
using uikit::TableLayout;

TEST(TableLayout, EqualRowsFollowTheirSectionsHeaders) {
  TableLayout layout;
  layout.reset({{3, 34}, {0, 20}, {2, 0}}, 44);
  EXPECT_DOUBLE_EQ(layout.contentHeight(), 34 + 3 * 44 + 20 + 2 * 44);
  EXPECT_DOUBLE_EQ(layout.rowTop({0, 0}), 34);
  EXPECT_DOUBLE_EQ(layout.headerTop(1), 34 + 3 * 44);
  EXPECT_DOUBLE_EQ(layout.rowTop({2, 1}), 34 + 3 * 44 + 20 + 44);
  EXPECT_FALSE(layout.rowAt(10)) << "over a header";
  EXPECT_EQ(layout.rowAt(34 + 44), (IndexPath{0, 1}));
  EXPECT_EQ(layout.rowAt(34 + 3 * 44 + 20), (IndexPath{2, 0})) << "the empty section's header lies between";
  EXPECT_FALSE(layout.rowAt(layout.contentHeight()));
  EXPECT_FALSE(layout.contains({1, 0}));

  const TableLayout::Span span = layout.itemsBetween(100, 200);
  EXPECT_EQ(span.rows, (std::vector<IndexPath>{{0, 1}, {0, 2}, {2, 0}})) << "section 2 begins at 186";
  EXPECT_EQ(span.headers, std::vector<int>{1}) << "section 1's header lies at 166 to 186";
}

TEST(TableLayout, MeasuredRowsAgreeWithAPlainSum) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> height(10, 90);
  const std::vector<TableLayout::SectionShape> shapes{{40, 30}, {0, 25}, {1, 0}, {300, 12}};
  std::map<IndexPath, double> heights;
  for (int section = 0; section < 4; ++section) {
    for (int row = 0; row < shapes[section].rowCount; ++row) heights[{section, row}] = height(random);
  }
  int asked = 0;
  TableLayout layout;
  layout.reset(shapes, 44, [&](const IndexPath& indexPath) {
    ++asked;
    return heights.at(indexPath);
  });
  EXPECT_EQ(asked, 0) << "nothing is measured before it is needed";
  EXPECT_EQ(layout.rowAt(31), (IndexPath{0, 0}));
  EXPECT_LE(asked, 2);

  // Every row's top and the row found under a point inside it match a sum kept by hand.
  double y = 0;
  for (int section = 0; section < 4; ++section) {
    EXPECT_NEAR(layout.headerTop(section), y, 1e-6);
    y += shapes[section].headerHeight;
    for (int row = 0; row < shapes[section].rowCount; ++row) {
      const IndexPath indexPath{section, row};
      ASSERT_NEAR(layout.rowTop(indexPath), y, 1e-6) << section << "," << row;
      ASSERT_EQ(layout.rowAt(y + heights[indexPath] / 2), indexPath);
      y += heights[indexPath];
    }
  }
  EXPECT_NEAR(layout.contentHeight(), y, 1e-6);
  EXPECT_EQ(asked, 341) << "each row is measured once";
}

TEST(TableLayout, UnmeasuredRowsCountAtTheStandInHeight) {
  TableLayout layout;
  layout.reset({{1000, 0}}, 44, [](const IndexPath&) { return 10.0; });
  EXPECT_DOUBLE_EQ(layout.contentHeight(), 44000);
  const TableLayout::Span span = layout.itemsBetween(0, 100);
  EXPECT_EQ(span.rows.size(), 10u);
  EXPECT_DOUBLE_EQ(layout.contentHeight(), 100 + 990 * 44.0);
}

}  // namespace
