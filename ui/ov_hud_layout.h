#pragma once
// The overlay panel's layout as plain arithmetic over the sizes of its caption,
// image, indicator and bar. Pure functions; safe from any thread.

#include <QRectF>
#include <QSizeF>
#include <functional>
#include <optional>

namespace ui {

// Where the accessory (image, indicator or bar) stands relative to the caption.
enum OVAccessoryPosition : int {
  OVAccessoryAbove = 0,
  OVAccessoryRight = 1,
  OVAccessoryBelow = 2,
  OVAccessoryLeft = 3
};

// The size of the caption in the overlay's font, wrapped to `width` and at most `kOVCaptionMaxHeight` high.
using OVCaptionMeasure = std::function<QSizeF(double width)>;

inline constexpr double kOVCaptionWidth = 160.0;
inline constexpr double kOVCaptionMaxHeight = 200.0;
inline constexpr QSizeF kOVProgressBarSize{210.0, 20.0};

struct OVHudLayoutInput {
  double margin = 0;
  double padding = 0;
  int accessoryPosition = OVAccessoryBelow;
  bool hasCaption = false;
  OVCaptionMeasure measureCaption;
  QSizeF activitySize;
  bool showActivity = false;
  std::optional<QSizeF> imageSize;
  double progress = 0;
  QSizeF fixedSize;
};

// The computed rectangles; a layout without a caption leaves all but the
// indicator and the panel size as they were.
struct OVHudGeometry {
  QRectF targetBounds;
  QRectF captionRect;
  QRectF activityRect;
  QRectF imageRect;
  QRectF progressRect{QPointF(0, 0), kOVProgressBarSize};
};

void calculateOVHudLayout(const OVHudLayoutInput& input, OVHudGeometry& geometry);

// The size a queued message needs on its own (caption width 160).
QSizeF calculateOVHudQueueItemSize(const OVHudLayoutInput& input);

// The rectangle with its origin truncated toward zero; the point likewise.
QRectF sharpRect(const QRectF& rect);
QPointF sharpPoint(const QPointF& point);

// Progress kept in 0..1; a visible bar is never thinner than 8 %.
double clampOVHudProgress(double progress);

}  // namespace ui
