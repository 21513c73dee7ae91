#include "platform/uikit/switch.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "platform/uikit/theme.h"

namespace uikit {

namespace {

constexpr double kThumbInset = 2;
constexpr double kBorderWidth = 1.5;
constexpr int kDragThreshold = 3;  // points the pointer moves before a press becomes a drag
constexpr QColor kOffFill{233, 233, 235};
constexpr QColor kOffBorder{214, 214, 218};
constexpr QColor kThumbEdge{0, 0, 0, 26};
constexpr QColor kShadow{0, 0, 0, 70};
constexpr QColor kPressedThumb{245, 245, 245};
constexpr double kShadowOffset = 1.5;
constexpr double kShadowSpread = 1.5;

QColor mix(const QColor& from, const QColor& to, double amount) {
  const auto channel = [amount](int a, int b) { return qRound(a + (b - a) * amount); };
  return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()), channel(from.blue(), to.blue()),
                channel(from.alpha(), to.alpha()));
}

}  // namespace

Switch::Switch(QWidget* parent) : QAbstractButton(parent) {
  setCheckable(true);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setFocusPolicy(Qt::StrongFocus);
  m_thumbAnimation.setDuration(theme::kAnimationMilliseconds);
  m_thumbAnimation.setEasingCurve(QEasingCurve::OutCubic);
  connect(&m_thumbAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
    m_thumbPosition = value.toDouble();
    update();
  });
  // clicked() comes only from the user (mouse, Space) or click(); setOn()
  // changes the state without it.
  connect(this, &QAbstractButton::clicked, this, [this](bool on) {
    moveThumbTo(on ? 1 : 0, true);
    emit valueChanged(on);
  });
}

QSize Switch::sizeHint() const { return {kWidth, kHeight}; }

void Switch::setOn(bool on, bool animated) {
  setChecked(on);
  moveThumbTo(on ? 1 : 0, animated && isVisible());
}

bool Switch::isAnimating() const { return m_thumbAnimation.state() == QAbstractAnimation::Running; }

void Switch::moveThumbTo(double position, bool animated) {
  m_thumbAnimation.stop();
  if (!animated) {
    m_thumbPosition = position;
    update();
    return;
  }
  m_thumbAnimation.setStartValue(m_thumbPosition);
  m_thumbAnimation.setEndValue(position);
  m_thumbAnimation.start();
}

double Switch::thumbTravel() const { return std::max(1.0, double(width() - height())); }

void Switch::mousePressEvent(QMouseEvent* event) {
  m_dragging = false;
  m_pressX = event->position().x();
  m_positionAtPress = m_thumbPosition;
  QAbstractButton::mousePressEvent(event);
}

void Switch::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || !isDown()) {
    QAbstractButton::mouseMoveEvent(event);
    return;
  }
  const double moved = event->position().x() - m_pressX;
  if (!m_dragging && std::abs(moved) < kDragThreshold) return;
  m_dragging = true;
  m_thumbAnimation.stop();
  m_thumbPosition = std::clamp(m_positionAtPress + moved / thumbTravel(), 0.0, 1.0);
  update();
}

void Switch::mouseReleaseEvent(QMouseEvent* event) {
  if (!m_dragging || event->button() != Qt::LeftButton) {
    QAbstractButton::mouseReleaseEvent(event);
    return;
  }
  // A drag ends where the thumb was let go: past the middle is on.
  m_dragging = false;
  setDown(false);
  const bool on = m_thumbPosition >= 0.5;
  moveThumbTo(on ? 1 : 0, true);
  if (on == isChecked()) return;
  setChecked(on);
  emit valueChanged(on);
}

void Switch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (!isEnabled()) painter.setOpacity(theme::kDisabledOpacity);

  const QRectF track = QRectF(0, 0, kWidth, kHeight).translated((width() - kWidth) / 2.0, (height() - kHeight) / 2.0);
  const double radius = track.height() / 2;
  QPainterPath pill;
  pill.addRoundedRect(track.adjusted(kBorderWidth / 2, kBorderWidth / 2, -kBorderWidth / 2, -kBorderWidth / 2),
                      radius - kBorderWidth / 2, radius - kBorderWidth / 2);
  painter.fillPath(pill, mix(kOffFill, theme::kGreen, m_thumbPosition));
  painter.setPen(QPen(mix(kOffBorder, theme::kGreen, m_thumbPosition), kBorderWidth));
  painter.drawPath(pill);

  const double diameter = track.height() - 2 * kThumbInset;
  const double travel = track.width() - track.height();
  const QRectF thumb(track.left() + kThumbInset + travel * m_thumbPosition, track.top() + kThumbInset, diameter,
                     diameter);
  // A soft shadow: a blurred-looking halo, denser towards the thumb and below it.
  QRadialGradient shadow(thumb.center() + QPointF(0, kShadowOffset), diameter / 2 + kShadowSpread);
  shadow.setColorAt(0.8, kShadow);
  shadow.setColorAt(1, Qt::transparent);
  painter.setPen(Qt::NoPen);
  painter.setBrush(shadow);
  painter.drawEllipse(thumb.center() + QPointF(0, kShadowOffset), diameter / 2 + kShadowSpread,
                      diameter / 2 + kShadowSpread);
  painter.setBrush(isDown() ? kPressedThumb : QColor(Qt::white));
  painter.setPen(QPen(kThumbEdge, 0.5));
  painter.drawEllipse(thumb);
}

}  // namespace uikit
