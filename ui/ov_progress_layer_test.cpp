#include "ui/ov_progress_layer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace ui {

namespace {

// The bar drawn on black at its fixed size.
QImage drawBar(double progress) {
  OVProgressLayer layer;
  layer.setBounds(QRectF(0, 0, 210, 20));
  layer.setTheProgress(progress);
  QImage image(240, 20, QImage::Format_ARGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  layer.draw(painter);
  return image;
}

constexpr int kMiddleRow = 10;

bool lit(const QImage& image, int x) { return image.pixelColor(x, kMiddleRow).lightness() > 128; }

// The rightmost lit pixel of the middle row: the outline's right edge.
int rightmostLitPixel(double progress) {
  const QImage image = drawBar(progress);
  int rightmost = -1;
  for (int x = 0; x < image.width(); ++x) {
    if (lit(image, x)) rightmost = x;
  }
  return rightmost;
}

// Where the filled bar ends on the middle row, walking right from inside it
// (border 2 and inset 3).
int barEnd(double progress) {
  const QImage image = drawBar(progress);
  int x = 6;
  while (x < image.width() && lit(image, x)) ++x;
  return x;
}

TEST(OVProgressLayer, NothingIsDrawnWithoutProgress) {
  EXPECT_EQ(rightmostLitPixel(0), -1);
  EXPECT_EQ(rightmostLitPixel(-0.5), -1);
}

TEST(OVProgressLayer, TheBarGrowsWithTheProgressInsideItsOutline) {
  const int outlineEnd = rightmostLitPixel(0.5);
  EXPECT_NEAR(outlineEnd, 208, 1) << "the outline is inset by its line width";
  EXPECT_NEAR(barEnd(0.5), 5 + 200 * 0.5, 1.5);
  EXPECT_NEAR(barEnd(1.0), 5 + 200, 1.5);
}

TEST(OVProgressLayer, AValueAboveOneNeverDrawsPastTheOutline) {
  EXPECT_EQ(barEnd(1.5), barEnd(1.0));
  EXPECT_EQ(rightmostLitPixel(1.5), rightmostLitPixel(1.0));
}

TEST(OVProgressLayer, RoundedPathStaysInsideItsRectangle) {
  const QRectF rect(5, 5, 200, 10);
  const QPainterPath path = OVProgressLayer::roundedPath(rect, 8);
  EXPECT_EQ(path.boundingRect(), rect) << "a radius beyond half the height is cut to fit";
  EXPECT_EQ(path.elementAt(0), QPointF(5, 10)) << "the path starts at the left edge's midpoint";
  EXPECT_TRUE(path.contains(rect.center()));
  EXPECT_FALSE(path.contains(QPointF(5.2, 5.2))) << "the corners are rounded";
}

}  // namespace

}  // namespace ui
