#pragma once
// OVLayer: one drawing layer of the overlay panel — a rectangle placed by its
// position and anchor point, with an optional rounded background colour and
// image contents. Subclasses draw more. Main thread only.

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <functional>

class QPainter;

namespace ui {

class OVLayer {
 public:
  virtual ~OVLayer() = default;

  QPointF position() const { return m_position; }
  void setPosition(QPointF position) { m_position = position; }
  QRectF bounds() const { return m_bounds; }
  void setBounds(const QRectF& bounds) { m_bounds = bounds; }
  QPointF anchorPoint() const { return m_anchorPoint; }
  void setAnchorPoint(QPointF anchor) { m_anchorPoint = anchor; }
  // Where the layer's bounds lie in its parent.
  QRectF frame() const;

  QColor backgroundColor() const { return m_backgroundColor; }
  void setBackgroundColor(const QColor& color);
  void setCornerRadius(double radius) { m_cornerRadius = radius; }
  const QImage& contents() const { return m_contents; }
  void setContents(const QImage& contents);

  // Asks for the layer to be drawn again; the panel installs the handler.
  void setNeedsDisplay() const;
  void setDisplayHandler(std::function<void()> handler) { m_displayHandler = std::move(handler); }

  // Draws the layer with its bounds' origin at the painter's origin.
  virtual void draw(QPainter& painter) const;

 private:
  QPointF m_position;
  QRectF m_bounds;
  QPointF m_anchorPoint{0.5, 0.5};
  QColor m_backgroundColor{Qt::transparent};
  double m_cornerRadius = 0;
  QImage m_contents;
  std::function<void()> m_displayHandler;
};

}  // namespace ui
