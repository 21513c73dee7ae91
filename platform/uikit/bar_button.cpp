#include "platform/uikit/bar_button.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include "platform/uikit/theme.h"

namespace uikit {

namespace {

constexpr int kFadeMilliseconds = 200;
constexpr int kFontSize = 12;
constexpr int kTextPadding = 9;
constexpr int kIconButtonWidth = 36;
constexpr double kCornerRadius = 5;
constexpr double kIconRadius = 6.5;
constexpr double kIconStroke = 2.2;
constexpr double kArcGapDegrees = 50;  // the open part of the refresh circle
constexpr double kArrowHead = 4.2;
constexpr int kCogTeeth = 8;
constexpr double kCogOuterRadius = 8.5;
constexpr double kCogInnerRadius = 6.2;
constexpr double kCogHoleRadius = 2.6;

constexpr QColor kBorderedTop{0x24, 0x52, 0x88};
constexpr QColor kBorderedBottom{0x12, 0x33, 0x5b};
constexpr QColor kDoneTop{0x3b, 0x7d, 0xd8};
constexpr QColor kDoneBottom{0x22, 0x5f, 0xb6};
constexpr QColor kBorder{0x0c, 0x26, 0x45};
constexpr QColor kPressedShade{0, 0, 0, 60};

}  // namespace

BarButton::BarButton(BarButtonItem* item, QWidget* parent) : QAbstractButton(parent), m_item(item) {
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::PointingHandCursor);
  m_fade.setDuration(kFadeMilliseconds);
  m_fade.setEasingCurve(QEasingCurve::OutCubic);
  connect(&m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
    m_opacity = value.toDouble();
    update();
  });
  connect(this, &QAbstractButton::clicked, this, [this] {
    if (m_item) m_item->trigger();
  });
  connect(item, &BarButtonItem::changed, this, &BarButton::followItem);
  connect(item, &QObject::destroyed, this, &QWidget::hide);
  followItem();
}

void BarButton::followItem() {
  if (!m_item) return;
  setText(m_item->title());
  setEnabled(m_item->isEnabled());
  updateGeometry();
  update();
}

void BarButton::fadeIn(bool animated) {
  m_opacity = animated ? 0 : 1;
  fadeTo(1, animated);
}

void BarButton::fadeOut(bool animated) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  connect(&m_fade, &QVariantAnimation::finished, this, &BarButton::fadedOut);
  fadeTo(0, animated);
  if (!animated) emit fadedOut();
}

void BarButton::fadeTo(double opacity, bool animated) {
  m_fade.stop();
  if (!animated) {
    m_opacity = opacity;
    update();
    return;
  }
  m_fade.setStartValue(m_opacity);
  m_fade.setEndValue(opacity);
  m_fade.start();
}

QSize BarButton::sizeHint() const {
  if (isIcon()) return {kIconButtonWidth, kHeight};
  const int textWidth = QFontMetrics(theme::font(kFontSize, true)).horizontalAdvance(text());
  return {std::max(kIconButtonWidth, textWidth + 2 * kTextPadding), kHeight};
}

void BarButton::paintEvent(QPaintEvent*) {
  if (!m_item) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setOpacity(m_opacity * (isEnabled() ? 1.0 : theme::kDisabledOpacity));
  const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);

  const BarButtonItem::Style style = m_item->style();
  if (style != BarButtonItem::Style::Plain) {
    QPainterPath shape;
    shape.addRoundedRect(area, kCornerRadius, kCornerRadius);
    const bool done = style == BarButtonItem::Style::Done;
    QLinearGradient fill(area.topLeft(), area.bottomLeft());
    fill.setColorAt(0, done ? kDoneTop : kBorderedTop);
    fill.setColorAt(1, done ? kDoneBottom : kBorderedBottom);
    painter.fillPath(shape, fill);
    painter.setPen(QPen(kBorder, 1));
    painter.drawPath(shape);
    if (isDown()) painter.fillPath(shape, kPressedShade);
  } else if (isDown()) {
    painter.setOpacity(painter.opacity() * theme::kDisabledOpacity);
  }

  if (m_item->systemItem() == BarButtonItem::SystemItem::Refresh) {
    paintRefreshArrow(painter, area);
    return;
  }
  if (m_item->systemItem() == BarButtonItem::SystemItem::Settings) {
    paintCogWheel(painter, area);
    return;
  }
  painter.setFont(theme::font(kFontSize, true));
  painter.setPen(QColor(0, 0, 0, 90));
  painter.drawText(area.translated(0, -1), Qt::AlignCenter, text());
  painter.setPen(Qt::white);
  painter.drawText(area, Qt::AlignCenter, text());
}

// A white circle left open at the top right, where an arrowhead points on
// round it clockwise.
void BarButton::paintRefreshArrow(QPainter& painter, const QRectF& area) const {
  const QPointF centre = area.center();
  const QRectF circle(centre.x() - kIconRadius, centre.y() - kIconRadius, 2 * kIconRadius, 2 * kIconRadius);
  // Qt's angles run counter-clockwise from three o'clock; the gap sits just
  // before twelve o'clock going clockwise.
  const double startDegrees = 90 - kArcGapDegrees / 2;
  const double spanDegrees = -(360 - kArcGapDegrees);
  painter.setPen(QPen(Qt::white, kIconStroke, Qt::SolidLine, Qt::FlatCap));
  painter.setBrush(Qt::NoBrush);
  painter.drawArc(circle, qRound(startDegrees * 16), qRound(spanDegrees * 16));

  // The arrowhead at the end of the arc, pointing along the clockwise tangent.
  const double endRadians = qDegreesToRadians(startDegrees + spanDegrees);
  const QPointF tip = centre + QPointF(kIconRadius * std::cos(endRadians), -kIconRadius * std::sin(endRadians));
  const QPointF along(std::sin(endRadians), std::cos(endRadians));  // clockwise tangent, y down
  const QPointF across(along.y(), -along.x());
  QPainterPath head;
  head.moveTo(tip + along * kArrowHead);
  head.lineTo(tip - along * (kArrowHead * 0.3) + across * kArrowHead);
  head.lineTo(tip - along * (kArrowHead * 0.3) - across * kArrowHead);
  head.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.fillPath(head, Qt::white);
}

bool BarButton::isIcon() const {
  return m_item && (m_item->systemItem() == BarButtonItem::SystemItem::Refresh ||
                    m_item->systemItem() == BarButtonItem::SystemItem::Settings);
}

// A white wheel of square teeth with a hole in the middle.
void BarButton::paintCogWheel(QPainter& painter, const QRectF& area) const {
  const QPointF centre = area.center();
  QPainterPath wheel;
  constexpr double kToothShare = 0.5;  // of each tooth's sector, the part that stands out
  const double sector = 2 * M_PI / kCogTeeth;
  for (int tooth = 0; tooth < kCogTeeth; ++tooth) {
    const double start = tooth * sector;
    const double corners[] = {start, start + sector * (1 - kToothShare) / 2, start + sector * (1 + kToothShare) / 2,
                              start + sector};
    const double radii[] = {kCogInnerRadius, kCogOuterRadius, kCogOuterRadius, kCogInnerRadius};
    for (int corner = 0; corner < 4; ++corner) {
      const QPointF point =
          centre + QPointF(radii[corner] * std::cos(corners[corner]), radii[corner] * std::sin(corners[corner]));
      if (tooth == 0 && corner == 0) {
        wheel.moveTo(point);
      } else {
        wheel.lineTo(point);
      }
    }
  }
  wheel.closeSubpath();
  wheel.addEllipse(centre, kCogHoleRadius, kCogHoleRadius);
  wheel.setFillRule(Qt::OddEvenFill);
  painter.setPen(Qt::NoPen);
  painter.fillPath(wheel, Qt::white);
}

}  // namespace uikit
