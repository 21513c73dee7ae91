#pragma once
// OVProgressLayer: draws the overlay's progress bar — a white rounded outline
// and, inside it, a white rounded bar as wide as the progress. Main thread only.

#include <QPainterPath>

#include "ui/ov_layer.h"

namespace ui {

// The bar's four shape values, with the values a new overlay starts with.
struct OVProgressBarStyle {
  double borderRadius = 8.0;  // of the outline
  double borderWidth = 2.0;   // the outline's line width and its inset from the bounds
  double barRadius = 5.0;     // of the filled bar
  double barInset = 3.0;      // of the filled bar inside the outline
};

class OVProgressLayer : public OVLayer {
 public:
  OVProgressLayer() { setAnchorPoint(QPointF(0, 0)); }

  double theProgress() const { return m_theProgress; }
  void setTheProgress(double progress) { m_theProgress = progress; }
  const OVProgressBarStyle& barStyle() const { return m_style; }
  void setBarStyle(const OVProgressBarStyle& style) { m_style = style; }

  // A closed path from the left edge's midpoint round the four corners with `radius`.
  static QPainterPath roundedPath(const QRectF& rect, double radius);

  void draw(QPainter& painter) const override;

 private:
  double m_theProgress = 0;
  OVProgressBarStyle m_style;
};

}  // namespace ui
