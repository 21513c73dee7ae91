// covers: table_view.cpp, table_view_cell.cpp, text_field.cpp
// Renders a sample table at twice the point size into a PNG under the build
// directory, for a person to look at, and checks what was drawn.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QPainter>

#include "platform/uikit/table_view.h"
#include "platform/uikit/text_field.h"

namespace {

using uikit::IndexPath;
using uikit::TableView;
using uikit::TableViewCell;

constexpr const char* kFontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
};
constexpr int kScale = 2;
constexpr QColor kCellColor{247, 247, 247};
constexpr QColor kCheckmarkBlue{0x1d, 0x4e, 0x89};

// Counts, choose-all and a row with a field, under one header.
struct SampleTable : uikit::TableViewDataSource, uikit::TableViewDelegate {
  int numberOfRowsInSection(TableView&, int) override { return 5; }
  TableViewCell* cellForRowAtIndexPath(TableView& table, const IndexPath& indexPath) override {
    TableViewCell* cell = table.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) cell = new TableViewCell(TableViewCell::Style::Default, "Cell");
    cell->setBackgroundColor(kCellColor);
    const QStringList labels{"100", "200", "300", "Importer alle", "Telefon"};
    cell->textLabel()->setText(labels[indexPath.row]);
    cell->setAccessoryType(indexPath.row == 1 ? TableViewCell::AccessoryType::Checkmark
                                              : TableViewCell::AccessoryType::None);
    if (indexPath.row == 4) {
      auto* field = new uikit::TextField(cell->contentView());
      field->setPlaceholder("Påkrevd");
      field->setText("22 33 44 55");
      field->setGeometry(110, 7, 195, 29);
    }
    return cell;
  }
  double heightForHeaderInSection(TableView&, int) override { return 34; }
  QWidget* viewForHeaderInSection(TableView&, int) override {
    auto* header = new QWidget;
    header->setStyleSheet("background: rgb(236, 236, 236);");
    auto* label = new QLabel(QString("Antall tlfnummer som importeres").toUpper(), header);
    label->setGeometry(10, 0, 300, 34);
    label->setStyleSheet("background: transparent; color: rgb(125, 125, 125); font-weight: bold; font-size: 13px;");
    return header;
  }
};

class TableSnapshot : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const char* file : kFontFiles) {
      const int id = QFontDatabase::addApplicationFont(file);
      if (id >= 0 && s_family.isEmpty()) s_family = QFontDatabase::applicationFontFamilies(id).value(0);
    }
    if (!s_family.isEmpty()) QApplication::setFont(QFont(s_family));
  }
  static inline QString s_family;
};

TEST_F(TableSnapshot, SampleTableAtTwiceThePointSize) {
  ASSERT_FALSE(s_family.isEmpty()) << "no font found for the rows: install fonts-dejavu-core";
  SampleTable sample;
  TableView table;
  table.resize(320, 260);
  table.setSeparatorColor(QColor(224, 224, 224));
  table.setDelegate(&sample);
  table.setDataSource(&sample);
  table.show();

  QImage image(table.size() * kScale, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(kScale);
  image.fill(Qt::magenta);
  table.render(&image);
  const QString directory = QStringLiteral(RP_SNAPSHOT_DIR);
  QDir().mkpath(directory);
  EXPECT_TRUE(image.save(directory + "/table-sample.png"));

  // The check mark is blue and lies in the checked row's right end only.
  auto bluePixels = [&](const QRect& area) {
    int count = 0;
    for (int y = area.top() * kScale; y <= area.bottom() * kScale; ++y) {
      for (int x = area.left() * kScale; x <= area.right() * kScale; ++x) {
        const QColor pixel = image.pixelColor(x, y);
        if (pixel.blue() > pixel.red() + 60 && pixel.blue() > 100) ++count;
      }
    }
    return count;
  };
  const QRect checked = table.rectForRowAtIndexPath({0, 1});
  EXPECT_GT(bluePixels(QRect(checked.right() - 40, checked.top(), 40, checked.height())), 20);
  EXPECT_EQ(bluePixels(table.rectForRowAtIndexPath({0, 0})), 0);

  // One point of separator colour between rows, the cell colour inside them.
  const QRect first = table.rectForRowAtIndexPath({0, 0});
  EXPECT_EQ(image.pixelColor(160 * kScale, first.bottom() * kScale + 1), QColor(224, 224, 224));
  EXPECT_EQ(image.pixelColor(300 * kScale, first.center().y() * kScale), kCellColor);
  EXPECT_EQ(image.pixelColor(2, 2), QColor(236, 236, 236)) << "the header";
  EXPECT_NE(image.pixelColor(2, image.height() - 2), QColor(Qt::magenta)) << "the table paints below its rows";
}

}  // namespace
