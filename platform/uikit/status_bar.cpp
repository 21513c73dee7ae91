#include "platform/uikit/status_bar.h"

#include <QDateTime>
#include <QPainter>
#include <QPainterPath>

#include "platform/net/network_activity_indicator.h"
#include "platform/uikit/theme.h"

namespace uikit {

namespace {

constexpr int kFontSize = 12;
constexpr int kSideMargin = 6;
constexpr int kSpinnerSide = 14;
constexpr int kSpinnerGap = 5;
constexpr QSizeF kBatteryBody{22, 10};
constexpr QSizeF kBatteryTip{2, 4};
constexpr double kBatteryInset = 2;
constexpr double kBatteryCharge = 0.8;
constexpr double kBatteryCorner = 2;
constexpr int kMillisecondsPerMinute = 60'000;
const QString kCarrier = QStringLiteral("Linux");
const QString kTimeFormat = QStringLiteral("HH:mm");
constexpr QColor kBarColor{0, 0, 0};

}  // namespace

StatusBar::StatusBar(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  setMinimumHeight(kHeight);
  m_spinner.setStyle(ActivityIndicatorStyle::White);
  connect(&m_spinner, &ActivityIndicator::needsDisplay, this, qOverload<>(&QWidget::update));
  m_observerId = net::NetworkActivityIndicator::addObserver([this](bool visible) { showActivity(visible); });
  showActivity(net::NetworkActivityIndicator::isVisible());

  m_clock.setSingleShot(true);
  m_clock.setTimerType(Qt::CoarseTimer);
  connect(&m_clock, &QTimer::timeout, this, [this] {
    update();
    scheduleNextMinute();
  });
  scheduleNextMinute();
}

StatusBar::~StatusBar() { net::NetworkActivityIndicator::removeObserver(m_observerId); }

QSize StatusBar::sizeHint() const { return {theme::kScreenWidth, kHeight}; }

QString StatusBar::timeText() const { return QTime::currentTime().toString(kTimeFormat); }

void StatusBar::showActivity(bool shown) {
  if (shown) {
    m_spinner.startAnimating();
  } else {
    m_spinner.stopAnimating();
  }
}

// The clock changes on the minute, so the next redraw waits for the next one.
void StatusBar::scheduleNextMinute() {
  const int intoMinute = QTime::currentTime().msecsSinceStartOfDay() % kMillisecondsPerMinute;
  m_clock.start(kMillisecondsPerMinute - intoMinute);
}

void StatusBar::resizeEvent(QResizeEvent*) {
  // The spinner stands just after the carrier's name.
  const int carrierWidth = QFontMetrics(theme::font(kFontSize, true)).horizontalAdvance(kCarrier);
  m_spinner.setFrame(
      QRectF(kSideMargin + carrierWidth + kSpinnerGap, (height() - kSpinnerSide) / 2.0, kSpinnerSide, kSpinnerSide));
}

void StatusBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kBarColor);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setFont(theme::font(kFontSize, true));
  painter.setPen(Qt::white);
  const QRect area = rect().adjusted(kSideMargin, 0, -kSideMargin, 0);
  painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, kCarrier);
  painter.drawText(area, Qt::AlignCenter, timeText());

  m_spinner.paint(painter);

  // The battery: an outlined body with a tip at the right, mostly full.
  const QRectF body(area.right() - kBatteryTip.width() - kBatteryBody.width(), (height() - kBatteryBody.height()) / 2.0,
                    kBatteryBody.width(), kBatteryBody.height());
  painter.setPen(QPen(Qt::white, 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(body.adjusted(0.5, 0.5, -0.5, -0.5), kBatteryCorner, kBatteryCorner);
  painter.fillRect(
      QRectF(body.right(), body.center().y() - kBatteryTip.height() / 2, kBatteryTip.width(), kBatteryTip.height()),
      Qt::white);
  const QRectF inside = body.adjusted(kBatteryInset, kBatteryInset, -kBatteryInset, -kBatteryInset);
  painter.fillRect(QRectF(inside.topLeft(), QSizeF(inside.width() * kBatteryCharge, inside.height())), Qt::white);
}

}  // namespace uikit
