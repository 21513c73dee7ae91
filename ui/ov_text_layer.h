#pragma once
// OVTextLayer: draws the overlay's caption in the bold 14-point system font,
// word-wrapped and centred, white over a one-point dark edge. Main thread only.

#include <QFont>
#include <QSizeF>
#include <QString>

#include "ui/ov_layer.h"

namespace ui {

class OVTextLayer : public OVLayer {
 public:
  OVTextLayer() { setAnchorPoint(QPointF(0, 0)); }

  QString caption() const { return m_caption; }
  // A new caption redraws the layer at once.
  void setCaption(const QString& caption);

  static QFont captionFont();
  // The caption's size wrapped at `width`, at most `maxHeight` high, in whole
  // points; wider than `width` only where one word is.
  static QSizeF measure(const QString& caption, double width, double maxHeight);

  void draw(QPainter& painter) const override;

 private:
  QString m_caption;
};

}  // namespace ui
