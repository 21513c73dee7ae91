#include "ui/ov_text_layer.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <cmath>

namespace ui {

namespace {

constexpr int kCaptionPixelSize = 14;
constexpr int kCaptionFlags = Qt::TextWordWrap | Qt::AlignHCenter | Qt::AlignTop;
// The dark copy shows as an edge this far below the white text.
constexpr double kEdgeOffset = 1.0;

}  // namespace

void OVTextLayer::setCaption(const QString& caption) {
  m_caption = caption;
  setNeedsDisplay();
}

QFont OVTextLayer::captionFont() {
  // The application's font is the system font unless the application chose another.
  QFont font = QGuiApplication::font();
  font.setPixelSize(kCaptionPixelSize);
  font.setBold(true);
  return font;
}

QSizeF OVTextLayer::measure(const QString& caption, double width, double maxHeight) {
  const QFontMetricsF metrics(captionFont());
  const QSizeF size = metrics.boundingRect(QRectF(0, 0, width, maxHeight), kCaptionFlags, caption).size();
  // A word longer than the line is not broken, so the caption may be wider
  // than `width`: the panel grows to it rather than cutting the word off.
  return QSizeF(std::ceil(size.width()), std::min(std::ceil(size.height()), maxHeight));
}

void OVTextLayer::draw(QPainter& painter) const {
  const QRectF area(QPointF(0, 0), bounds().size());
  painter.save();
  painter.setFont(captionFont());
  painter.setPen(Qt::black);
  painter.drawText(area, kCaptionFlags, m_caption);
  painter.setPen(Qt::white);
  painter.drawText(area.translated(0, -kEdgeOffset), kCaptionFlags, m_caption);
  painter.restore();
}

}  // namespace ui
