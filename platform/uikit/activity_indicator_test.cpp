#include "platform/uikit/activity_indicator.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "tests/support/event_loop.h"

namespace {

using uikit::ActivityIndicator;

// The indicator drawn on black; counts the pixels it lit and notes the brightest.
struct Drawing {
  int litPixels = 0;
  QColor brightest{Qt::black};
};

Drawing draw(const ActivityIndicator& indicator) {
  QImage image(40, 40, QImage::Format_ARGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  indicator.paint(painter);
  painter.end();
  Drawing drawing;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor pixel = image.pixelColor(x, y);
      if (pixel == Qt::black) continue;
      ++drawing.litPixels;
      if (pixel.lightness() > drawing.brightest.lightness()) drawing.brightest = pixel;
    }
  }
  return drawing;
}

TEST(ActivityIndicator, SizesOfTheThreeStyles) {
  EXPECT_EQ(ActivityIndicator::sizeForStyle(uikit::ActivityIndicatorStyle::WhiteLarge), QSizeF(37, 37));
  EXPECT_EQ(ActivityIndicator::sizeForStyle(uikit::ActivityIndicatorStyle::White), QSizeF(20, 20));
  EXPECT_EQ(ActivityIndicator::sizeForStyle(uikit::ActivityIndicatorStyle::Gray), QSizeF(20, 20));
}

TEST(ActivityIndicator, DrawsOnlyWhileAnimatingAndTurns) {
  ActivityIndicator indicator;
  indicator.setFrame(QRectF(10, 10, 20, 20));
  EXPECT_TRUE(indicator.isHidden());
  EXPECT_EQ(draw(indicator).litPixels, 0);

  int redraws = 0;
  QObject::connect(&indicator, &ActivityIndicator::needsDisplay, [&redraws] { ++redraws; });
  indicator.startAnimating();
  const Drawing white = draw(indicator);
  EXPECT_GT(white.litPixels, 40);
  EXPECT_GT(white.brightest.lightness(), 200);
  EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return redraws >= 3; }, std::chrono::seconds(2)))
      << "the spokes turn by themselves";

  indicator.setStyle(uikit::ActivityIndicatorStyle::Gray);
  const QColor gray = draw(indicator).brightest;
  EXPECT_EQ(gray.red(), gray.blue());
  EXPECT_GT(gray.lightness(), 60);
  EXPECT_LE(gray.lightness(), 128);

  indicator.stopAnimating();
  EXPECT_EQ(draw(indicator).litPixels, 0);
  indicator.setHidesWhenStopped(false);
  EXPECT_GT(draw(indicator).litPixels, 0) << "a stopped indicator that does not hide stays drawn";
}

}  // namespace
