#include "ui/ov_progress_layer.h"

#include <QPainter>
#include <algorithm>

namespace ui {

namespace {

constexpr double kQuarterTurn = 90;

}  // namespace

QPainterPath OVProgressLayer::roundedPath(const QRectF& rect, double radius) {
  // A corner cannot be rounder than half the shorter side.
  const double r = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2);
  const double d = 2 * r;
  QPainterPath path(QPointF(rect.left(), rect.center().y()));
  path.arcTo(QRectF(rect.left(), rect.top(), d, d), 2 * kQuarterTurn, -kQuarterTurn);
  path.arcTo(QRectF(rect.right() - d, rect.top(), d, d), kQuarterTurn, -kQuarterTurn);
  path.arcTo(QRectF(rect.right() - d, rect.bottom() - d, d, d), 0, -kQuarterTurn);
  path.arcTo(QRectF(rect.left(), rect.bottom() - d, d, d), -kQuarterTurn, -kQuarterTurn);
  path.closeSubpath();
  return path;
}

void OVProgressLayer::draw(QPainter& painter) const {
  if (!(m_theProgress > 0)) return;
  const QRectF area(QPointF(0, 0), bounds().size());
  const double border = m_style.borderWidth;
  const double inset = m_style.barInset;
  const QRectF outline = area.adjusted(border, border, -border, -border);
  QRectF bar = outline.adjusted(inset, inset, -inset, -inset);
  // The value handed in is drawn as it is, but never past the outline's end.
  bar.setWidth(bar.width() * std::min(m_theProgress, 1.0));

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::white, border));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(roundedPath(outline, m_style.borderRadius));
  painter.fillPath(roundedPath(bar, m_style.barRadius), Qt::white);
  painter.restore();
}

}  // namespace ui
