#include "platform/uikit/activity_indicator.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace uikit {

namespace {

constexpr int kSpokes = 12;
constexpr int kTurnMilliseconds = 1000;
constexpr double kLargeSide = 37;
constexpr double kSmallSide = 20;
constexpr double kSpokeInnerRadius = 0.45;  // of the half side
constexpr double kSpokeWidth = 0.18;        // of the half side
constexpr double kFaintestSpoke = 0.25;     // opacity of the spoke furthest behind
constexpr QColor kGray{128, 128, 128};

}  // namespace

QSizeF ActivityIndicator::sizeForStyle(ActivityIndicatorStyle style) {
  const double side = style == ActivityIndicatorStyle::WhiteLarge ? kLargeSide : kSmallSide;
  return QSizeF(side, side);
}

ActivityIndicator::ActivityIndicator(QObject* parent) : QObject(parent) {
  m_timer.setInterval(kTurnMilliseconds / kSpokes);
  connect(&m_timer, &QTimer::timeout, this, &ActivityIndicator::advance);
}

void ActivityIndicator::setStyle(ActivityIndicatorStyle style) {
  if (m_style == style) return;
  m_style = style;
  emit needsDisplay();
}

void ActivityIndicator::setFrame(const QRectF& frame) {
  if (m_frame == frame) return;
  m_frame = frame;
  emit needsDisplay();
}

void ActivityIndicator::setHidesWhenStopped(bool hides) {
  m_hidesWhenStopped = hides;
  emit needsDisplay();
}

void ActivityIndicator::startAnimating() {
  if (isAnimating()) return;
  m_timer.start();
  emit needsDisplay();
}

void ActivityIndicator::stopAnimating() {
  if (!isAnimating()) return;
  m_timer.stop();
  emit needsDisplay();
}

void ActivityIndicator::advance() {
  m_leadingSpoke = (m_leadingSpoke + 1) % kSpokes;
  emit needsDisplay();
}

void ActivityIndicator::paint(QPainter& painter) const {
  if (isHidden() || m_frame.isEmpty()) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(m_frame.center());
  const double half = std::min(m_frame.width(), m_frame.height()) / 2;
  const double width = half * kSpokeWidth;
  const QRectF spoke(-width / 2, -half, width, half * (1 - kSpokeInnerRadius));
  const QColor color = m_style == ActivityIndicatorStyle::Gray ? kGray : QColor(Qt::white);
  for (int index = 0; index < kSpokes; ++index) {
    // The leading spoke is brightest; those behind it fade.
    const int behind = (m_leadingSpoke - index + kSpokes) % kSpokes;
    QColor shade = color;
    shade.setAlphaF(static_cast<float>(1.0 - (1.0 - kFaintestSpoke) * behind / (kSpokes - 1)));
    QPainterPath path;
    path.addRoundedRect(spoke, width / 2, width / 2);
    painter.save();
    painter.rotate(360.0 * index / kSpokes);
    painter.fillPath(path, shade);
    painter.restore();
  }
  painter.restore();
}

ActivityIndicatorView::ActivityIndicatorView(ActivityIndicatorStyle style, QWidget* parent) : QWidget(parent) {
  m_indicator.setStyle(style);
  setAttribute(Qt::WA_TranslucentBackground);
  connect(&m_indicator, &ActivityIndicator::needsDisplay, this, [this] {
    // A new style may bring a new size; the frame follows before the repaint.
    m_indicator.setFrame(centredFrame());
    update();
  });
  m_indicator.setFrame(centredFrame());
}

QRectF ActivityIndicatorView::centredFrame() const {
  QRectF frame(QPointF(0, 0), ActivityIndicator::sizeForStyle(m_indicator.style()));
  frame.moveCenter(QRectF(rect()).center());
  return frame;
}

void ActivityIndicatorView::resizeEvent(QResizeEvent*) { m_indicator.setFrame(centredFrame()); }

QSize ActivityIndicatorView::sizeHint() const { return ActivityIndicator::sizeForStyle(m_indicator.style()).toSize(); }

void ActivityIndicatorView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  m_indicator.paint(painter);
}

}  // namespace uikit
