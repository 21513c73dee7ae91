#include "platform/uikit/button.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

#include "platform/uikit/theme.h"

namespace uikit {

namespace {

constexpr int kFontSize = 15;
constexpr int kMinimumHeight = 37;
constexpr int kTextPadding = 16;
constexpr double kCornerRadius = 8;
constexpr QColor kDisabledText{150, 150, 150};

}  // namespace

Button::Button(QWidget* parent) : QPushButton(parent) {
  setFont(theme::font(kFontSize, true));
  setCursor(Qt::PointingHandCursor);
  connect(this, &QAbstractButton::pressed, this, &Button::showTitleOfCurrentState);
  connect(this, &QAbstractButton::released, this, &Button::showTitleOfCurrentState);
  connect(this, &QAbstractButton::toggled, this, &Button::showTitleOfCurrentState);
}

void Button::setTitle(const QString& title, ControlState state) {
  // A title given before (in a form, with setText) is the normal one.
  if (state != ControlState::Normal && !m_titles.contains(ControlState::Normal)) {
    m_titles[ControlState::Normal] = text();
  }
  m_titles[state] = title;
  showTitleOfCurrentState();
}

QString Button::titleForState(ControlState state) const {
  if (const auto found = m_titles.find(state); found != m_titles.end()) return found->second;
  if (const auto normal = m_titles.find(ControlState::Normal); normal != m_titles.end()) return normal->second;
  return text();
}

Button::ControlState Button::currentState() const {
  if (!isEnabled()) return ControlState::Disabled;
  if (isDown()) return ControlState::Highlighted;
  if (isChecked()) return ControlState::Selected;
  return ControlState::Normal;
}

void Button::showTitleOfCurrentState() {
  if (m_titles.empty()) return;
  const QString title = titleForState(currentState());
  if (title != text()) setText(title);
}

void Button::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) showTitleOfCurrentState();
  QPushButton::changeEvent(event);
}

QSize Button::sizeHint() const {
  const int textWidth = fontMetrics().horizontalAdvance(text());
  return {textWidth + 2 * kTextPadding, kMinimumHeight};
}

void Button::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  QPainterPath shape;
  shape.addRoundedRect(area, kCornerRadius, kCornerRadius);
  const bool pressed = isDown() || isChecked();
  painter.fillPath(shape, pressed ? theme::kPressedFill : QColor(Qt::white));
  painter.setPen(QPen(theme::kHairline, 1));
  painter.drawPath(shape);
  painter.setPen(isEnabled() ? theme::kBlue : kDisabledText);
  painter.setFont(font());
  painter.drawText(area, Qt::AlignCenter, fontMetrics().elidedText(text(), Qt::ElideRight, width() - kTextPadding));
}

}  // namespace uikit
