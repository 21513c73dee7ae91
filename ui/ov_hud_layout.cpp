#include "ui/ov_hud_layout.h"

#include <cmath>

namespace ui {

namespace {

constexpr double kMinimumVisibleProgress = 0.08;

bool isHorizontal(int position) { return position == OVAccessoryRight || position == OVAccessoryLeft; }
bool isVertical(int position) { return position == OVAccessoryAbove || position == OVAccessoryBelow; }

// Room taken by an image or indicator beside (horizontal) or under/over
// (vertical) the caption, padding included; the bar is handled by the caller.
double imageOrIndicatorExtent(const OVHudLayoutInput& in, bool horizontal) {
  if (in.imageSize) return in.padding + (horizontal ? in.imageSize->width() : in.imageSize->height());
  if (in.showActivity) return in.padding + (horizontal ? in.activitySize.width() : in.activitySize.height());
  return 0;
}

double halfOfTruncated(double value) { return std::trunc(value) * 0.5; }

}  // namespace

void calculateOVHudLayout(const OVHudLayoutInput& in, OVHudGeometry& g) {
  const double m = in.margin;
  const double d = in.padding;
  const double aw = in.activitySize.width();
  const double ah = in.activitySize.height();
  if (!in.hasCaption) {
    g.activityRect = QRectF(m, m, aw, ah);
    g.targetBounds = QRectF(0, 0, aw + 2 * m, ah + 2 * m);
    return;
  }

  QSizeF caption = in.measureCaption(kOVCaptionWidth);
  const double pw = g.progressRect.width();
  const double ph = g.progressRect.height();
  const bool hasBar = in.progress > 0;
  const bool fixed = in.fixedSize.width() > 0 && in.fixedSize.height() > 0;
  if (fixed) {
    double width = in.fixedSize.width();
    if (hasBar && width < pw + 2 * m) width = pw + 2 * m;
    caption = in.measureCaption(width - 2 * m);
    g.targetBounds = QRectF(0, 0, width, in.fixedSize.height());
  }

  const int position = in.accessoryPosition;
  const bool horizontal = isHorizontal(position);
  const bool vertical = isVertical(position);
  double a = 0;
  if (horizontal) {
    a = imageOrIndicatorExtent(in, true);
  } else if (vertical) {
    if (hasBar) {
      a = d + ph;
      if (pw > caption.width() + 2 * m) caption = in.measureCaption(pw);
    } else {
      a = imageOrIndicatorExtent(in, false);
    }
  }

  double x0 = m;
  double y0 = m;
  if (!fixed) {
    if (horizontal) {
      g.targetBounds = QRectF(0, 0, a + caption.width() + 2 * m, caption.height() + 2 * m);
    } else if (vertical) {
      const double contentWidth = hasBar && pw > caption.width() + 2 * m ? pw : caption.width();
      g.targetBounds = QRectF(0, 0, contentWidth + 2 * m, a + caption.height() + 2 * m);
    }
  } else if (horizontal || vertical) {
    // The fixed size is kept where the content fits; otherwise the panel falls
    // back to the caption's natural width or height in that direction.
    const double besideCaption = horizontal ? a : 0;
    const double underCaption = vertical ? a : 0;
    x0 = halfOfTruncated(g.targetBounds.width() - (besideCaption + caption.width()));
    if (m > x0) {
      caption = in.measureCaption(kOVCaptionWidth);
      g.targetBounds.setWidth(besideCaption + caption.width() + 2 * m);
      x0 = m;
    }
    y0 = halfOfTruncated(g.targetBounds.height() - (underCaption + caption.height()));
    if (m > y0) {
      g.targetBounds.setHeight(underCaption + caption.height() + 2 * m);
      y0 = m;
    }
  }
  g.captionRect.setSize(caption);

  const double W = g.targetBounds.width();
  const double H = g.targetBounds.height();
  const double cw = caption.width();
  const double ch = caption.height();
  const QSizeF image = in.imageSize.value_or(QSizeF(0, 0));
  switch (position) {
    case OVAccessoryAbove:
      g.activityRect = QRectF((W - aw) * 0.5, y0, aw, ah);
      g.imageRect = QRectF(QPointF((W - image.width()) * 0.5, y0), image);
      g.progressRect.moveTopLeft(QPointF((W - pw) * 0.5, y0));
      g.captionRect.moveTopLeft(QPointF((W - cw) * 0.5, y0 + a));
      break;
    case OVAccessoryRight:
      g.activityRect = QRectF(x0 + d + cw, (H - ah) * 0.5, aw, ah);
      g.imageRect = QRectF(QPointF(x0 + d + cw, (H - image.height()) * 0.5), image);
      g.captionRect.moveTopLeft(QPointF(x0, y0));
      break;
    case OVAccessoryBelow:
      g.activityRect = QRectF((W - aw) * 0.5, y0 + ch + d, aw, ah);
      g.imageRect = QRectF(QPointF((W - image.width()) * 0.5, y0 + ch + d), image);
      g.progressRect.moveTopLeft(QPointF((W - pw) * 0.5, y0 + ch + d));
      g.captionRect.moveTopLeft(QPointF((W - cw) * 0.5, y0));
      break;
    case OVAccessoryLeft:
      g.activityRect = QRectF(x0, (H - ah) * 0.5, aw, ah);
      g.imageRect = QRectF(QPointF(x0, (H - image.height()) * 0.5), image);
      g.captionRect.moveTopLeft(QPointF(x0 + a, y0));
      break;
    default:
      break;
  }
}

QSizeF calculateOVHudQueueItemSize(const OVHudLayoutInput& in) {
  const double m = in.margin;
  if (!in.hasCaption) return QSizeF(in.activitySize.width() + 2 * m, in.activitySize.height() + 2 * m);
  const QSizeF caption = in.measureCaption(kOVCaptionWidth);
  if (isHorizontal(in.accessoryPosition)) {
    const double e = imageOrIndicatorExtent(in, true);
    return QSizeF(e + caption.width() + 2 * m, caption.height() + 2 * m);
  }
  if (isVertical(in.accessoryPosition)) {
    const double e = imageOrIndicatorExtent(in, false);
    return QSizeF(caption.width() + 2 * m, e + caption.height() + 2 * m);
  }
  return QSizeF(0, 0);
}

QRectF sharpRect(const QRectF& rect) { return QRectF(sharpPoint(rect.topLeft()), rect.size()); }

QPointF sharpPoint(const QPointF& point) { return QPointF(std::trunc(point.x()), std::trunc(point.y())); }

double clampOVHudProgress(double progress) {
  if (progress < 0) return 0;
  if (progress > 1) return 1;
  if (progress > 0 && progress < kMinimumVisibleProgress) return kMinimumVisibleProgress;
  return progress;
}

}  // namespace ui
