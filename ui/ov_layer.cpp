#include "ui/ov_layer.h"

#include <QPainter>
#include <QPainterPath>

namespace ui {

QRectF OVLayer::frame() const {
  const QPointF origin(m_position.x() - m_anchorPoint.x() * m_bounds.width(),
                       m_position.y() - m_anchorPoint.y() * m_bounds.height());
  return QRectF(origin, m_bounds.size());
}

void OVLayer::setBackgroundColor(const QColor& color) {
  m_backgroundColor = color;
  setNeedsDisplay();
}

void OVLayer::setContents(const QImage& contents) {
  m_contents = contents;
  setNeedsDisplay();
}

void OVLayer::setNeedsDisplay() const {
  if (m_displayHandler) m_displayHandler();
}

void OVLayer::draw(QPainter& painter) const {
  const QRectF area(QPointF(0, 0), m_bounds.size());
  if (m_backgroundColor.alpha() > 0) {
    QPainterPath background;
    background.addRoundedRect(area, m_cornerRadius, m_cornerRadius);
    painter.fillPath(background, m_backgroundColor);
  }
  if (!m_contents.isNull()) painter.drawImage(area, m_contents);
}

}  // namespace ui
