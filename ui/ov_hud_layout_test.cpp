#include "ui/ov_hud_layout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ui {

namespace {

constexpr double kLineHeight = 17.0;
const QSizeF kIndicator{20, 20};

// A caption of `naturalWidth` points on one line, wrapped into as many lines
// as the given width needs; records the widths it was asked for.
struct FakeCaption {
  double naturalWidth;
  std::vector<double> askedWidths;

  OVCaptionMeasure measure() {
    return [this](double width) {
      askedWidths.push_back(width);
      const double lines = std::ceil(naturalWidth / width);
      return QSizeF(std::min(width, naturalWidth), std::min(lines * kLineHeight, kOVCaptionMaxHeight));
    };
  }
};

OVHudLayoutInput captionInput(FakeCaption& caption, double margin = 10, int position = OVAccessoryBelow) {
  OVHudLayoutInput in;
  in.margin = margin;
  in.padding = 10;
  in.accessoryPosition = position;
  in.hasCaption = true;
  in.measureCaption = caption.measure();
  in.activitySize = kIndicator;
  return in;
}

TEST(OVHudLayout, WithoutCaptionThePanelWrapsTheIndicatorAtTheMarginWhetherShownOrNot) {
  for (bool shown : {false, true}) {
    OVHudLayoutInput in;
    in.margin = 10;
    in.padding = 10;
    in.activitySize = kIndicator;
    in.showActivity = shown;
    OVHudGeometry g;
    g.captionRect = QRectF(1, 2, 3, 4);
    calculateOVHudLayout(in, g);
    EXPECT_EQ(g.targetBounds, QRectF(0, 0, 40, 40));
    EXPECT_EQ(g.activityRect, QRectF(10, 10, 20, 20));
    EXPECT_EQ(g.captionRect, QRectF(1, 2, 3, 4)) << "the caption is not laid out without text";
  }
}

TEST(OVHudLayout, CaptionWithIndicatorBelowAndMarginTwenty) {
  // "Legger til kontakten i addresseboken din!" wraps onto two lines at 160.
  FakeCaption caption{250};
  OVHudLayoutInput in = captionInput(caption, 20);
  in.showActivity = true;
  OVHudGeometry g;
  calculateOVHudLayout(in, g);
  const double cw = 160;
  const double ch = 2 * kLineHeight;
  EXPECT_EQ(g.targetBounds, QRectF(0, 0, cw + 40, ch + 10 + 20 + 40));
  EXPECT_EQ(g.captionRect, QRectF(20, 20, cw, ch));
  EXPECT_EQ(g.activityRect, QRectF((cw + 40 - 20) * 0.5, 20 + ch + 10, 20, 20));
  EXPECT_EQ(caption.askedWidths, std::vector<double>{160});
}

TEST(OVHudLayout, ACaptionAloneTakesNoAccessoryRoom) {
  FakeCaption caption{100};
  OVHudLayoutInput in = captionInput(caption);
  OVHudGeometry g;
  calculateOVHudLayout(in, g);
  EXPECT_EQ(g.targetBounds, QRectF(0, 0, 120, kLineHeight + 20));
}

TEST(OVHudLayout, EachAccessoryPositionPlacesIndicatorAndCaption) {
  FakeCaption caption{100};
  OVHudGeometry g;

  OVHudLayoutInput above = captionInput(caption, 10, OVAccessoryAbove);
  above.showActivity = true;
  calculateOVHudLayout(above, g);
  EXPECT_EQ(g.targetBounds, QRectF(0, 0, 120, 30 + kLineHeight + 20));
  EXPECT_EQ(g.activityRect, QRectF(50, 10, 20, 20));
  EXPECT_EQ(g.captionRect.topLeft(), QPointF(10, 40));

  OVHudLayoutInput right = captionInput(caption, 10, OVAccessoryRight);
  right.showActivity = true;
  calculateOVHudLayout(right, g);
  EXPECT_EQ(g.targetBounds, QRectF(0, 0, 30 + 100 + 20, kLineHeight + 20));
  EXPECT_EQ(g.activityRect, QRectF(10 + 10 + 100, (kLineHeight + 20 - 20) * 0.5, 20, 20));
  EXPECT_EQ(g.captionRect.topLeft(), QPointF(10, 10));

  OVHudLayoutInput left = captionInput(caption, 10, OVAccessoryLeft);
  left.showActivity = true;
  calculateOVHudLayout(left, g);
  EXPECT_EQ(g.activityRect, QRectF(10, (kLineHeight + 20 - 20) * 0.5, 20, 20));
  EXPECT_EQ(g.captionRect.topLeft(), QPointF(40, 10));
}

TEST(OVHudLayout, AnUnknownPositionKeepsThePanelSizeAndCaptionOrigin) {
  FakeCaption caption{100};
  OVHudLayoutInput in = captionInput(caption, 10, 7);
  in.showActivity = true;
  OVHudGeometry g;
  g.targetBounds = QRectF(0, 0, 55, 66);
  calculateOVHudLayout(in, g);
  EXPECT_EQ(g.targetBounds, QRectF(0, 0, 55, 66));
  EXPECT_EQ(g.captionRect, QRectF(0, 0, 100, kLineHeight));
}

TEST(OVHudLayout, AnImageTakesPrecedenceOverTheIndicator) {
  FakeCaption caption{100};
  OVHudLayoutInput in = captionInput(caption);
  in.showActivity = true;
  in.imageSize = QSizeF(64, 48);
  OVHudGeometry g;
  calculateOVHudLayout(in, g);
  EXPECT_EQ(g.targetBounds, QRectF(0, 0, 120, 10 + 48 + kLineHeight + 20));
  EXPECT_EQ(g.imageRect, QRectF(28, 10 + kLineHeight + 10, 64, 48));
}

TEST(OVHudLayout, TheProgressBarWidensANarrowPanel) {
  FakeCaption caption{100};
  OVHudLayoutInput in = captionInput(caption);
  in.progress = 0.5;
  OVHudGeometry g;
  calculateOVHudLayout(in, g);
  EXPECT_EQ(g.targetBounds, QRectF(0, 0, 210 + 20, 10 + 20 + kLineHeight + 20));
  EXPECT_EQ(g.progressRect, QRectF(10, 10 + kLineHeight + 10, 210, 20));
  EXPECT_EQ(g.captionRect.topLeft(), QPointF(65, 10));
  EXPECT_EQ(caption.askedWidths, (std::vector<double>{160, 210})) << "the caption may use the bar's width";
}

TEST(OVHudLayout, AWideCaptionKeepsItsOwnWidthOverTheBar) {
  FakeCaption caption{400};
  OVHudLayoutInput in = captionInput(caption);
  in.progress = 1;
  OVHudGeometry g;
  calculateOVHudLayout(in, g);
  // Re-measured at 210 the caption fills the bar's width, which is then no
  // longer wider than the caption plus margins.
  EXPECT_EQ(g.captionRect.size(), QSizeF(210, 2 * kLineHeight));
  EXPECT_EQ(g.targetBounds.width(), 230);
}

TEST(OVHudLayout, TheBarIsNotLaidOutBesideTheCaption) {
  FakeCaption caption{100};
  OVHudLayoutInput in = captionInput(caption, 10, OVAccessoryRight);
  in.progress = 0.5;
  OVHudGeometry g;
  calculateOVHudLayout(in, g);
  EXPECT_EQ(g.targetBounds, QRectF(0, 0, 120, kLineHeight + 20));
  EXPECT_EQ(g.progressRect.topLeft(), QPointF(0, 0));
}

TEST(OVHudLayout, AFixedSizeCentresTheContentWithTruncatedOffsets) {
  FakeCaption caption{100};
  OVHudLayoutInput in = captionInput(caption);
  in.showActivity = true;
  in.fixedSize = QSizeF(301.6, 200.7);
  OVHudGeometry g;
  calculateOVHudLayout(in, g);
  EXPECT_EQ(g.targetBounds, QRectF(0, 0, 301.6, 200.7));
  EXPECT_EQ(caption.askedWidths, std::vector<double>({160, 281.6}));
  const double y0 = std::trunc(200.7 - (30 + kLineHeight)) * 0.5;
  EXPECT_EQ(g.captionRect, QRectF((301.6 - 100) * 0.5, y0, 100, kLineHeight));
  EXPECT_EQ(g.activityRect.topLeft(), QPointF((301.6 - 20) * 0.5, y0 + kLineHeight + 10));

  in.accessoryPosition = OVAccessoryRight;
  calculateOVHudLayout(in, g);
  EXPECT_EQ(g.captionRect.topLeft(), QPointF(std::trunc(301.6 - 130) * 0.5, std::trunc(200.7 - kLineHeight) * 0.5));
}

TEST(OVHudLayout, AFixedSizeTooSmallFallsBackToTheNaturalSize) {
  FakeCaption caption{100};
  OVHudLayoutInput in = captionInput(caption);
  in.showActivity = true;
  in.fixedSize = QSizeF(50, 30);
  OVHudGeometry g;
  calculateOVHudLayout(in, g);
  // The caption wraps into the fixed width (30 points, four lines); the
  // height grows to hold it and the indicator.
  EXPECT_EQ(g.targetBounds, QRectF(0, 0, 50, 30 + 4 * kLineHeight + 20));
  EXPECT_EQ(g.captionRect, QRectF(10, 10, 30, 4 * kLineHeight));

  // Beside the caption the fixed width leaves no room, so the caption takes
  // its natural width again.
  in.accessoryPosition = OVAccessoryLeft;
  calculateOVHudLayout(in, g);
  EXPECT_EQ(g.targetBounds, QRectF(0, 0, 30 + 100 + 20, kLineHeight + 20));
  EXPECT_EQ(g.captionRect.topLeft(), QPointF(40, 10));
}

TEST(OVHudLayout, AFixedSizeWidensForTheBar) {
  FakeCaption caption{100};
  OVHudLayoutInput in = captionInput(caption);
  in.progress = 0.3;
  in.fixedSize = QSizeF(100, 150);
  OVHudGeometry g;
  calculateOVHudLayout(in, g);
  EXPECT_EQ(g.targetBounds, QRectF(0, 0, 230, 150));
  EXPECT_EQ(g.progressRect.topLeft().x(), 10);
}

TEST(OVHudLayout, QueueItemSizes) {
  FakeCaption caption{100};
  OVHudLayoutInput in = captionInput(caption);
  EXPECT_EQ(calculateOVHudQueueItemSize(in), QSizeF(120, kLineHeight + 20));
  in.showActivity = true;
  EXPECT_EQ(calculateOVHudQueueItemSize(in), QSizeF(120, 30 + kLineHeight + 20));
  in.accessoryPosition = OVAccessoryLeft;
  in.imageSize = QSizeF(40, 40);
  EXPECT_EQ(calculateOVHudQueueItemSize(in), QSizeF(50 + 100 + 20, kLineHeight + 20));
  in.accessoryPosition = 9;
  EXPECT_EQ(calculateOVHudQueueItemSize(in), QSizeF(0, 0));
  in.hasCaption = false;
  in.activitySize = QSizeF(37, 37);
  EXPECT_EQ(calculateOVHudQueueItemSize(in), QSizeF(57, 57));
}

TEST(OVHudLayout, ProgressIsClampedWithAVisibleMinimum) {
  EXPECT_DOUBLE_EQ(clampOVHudProgress(0.01), 0.08);
  EXPECT_DOUBLE_EQ(clampOVHudProgress(1.5), 1.0);
  EXPECT_DOUBLE_EQ(clampOVHudProgress(-1), 0.0);
  EXPECT_DOUBLE_EQ(clampOVHudProgress(0), 0.0);
  EXPECT_DOUBLE_EQ(clampOVHudProgress(0.08), 0.08);
  EXPECT_DOUBLE_EQ(clampOVHudProgress(0.5), 0.5);
}

TEST(OVHudLayout, SharpGeometryTruncatesTowardZero) {
  EXPECT_EQ(sharpPoint(QPointF(-1.7, 2.9)), QPointF(-1, 2));
  EXPECT_EQ(sharpRect(QRectF(3.5, -0.5, 10.25, 4.75)), QRectF(3, 0, 10.25, 4.75));
}

}  // namespace

}  // namespace ui
