#include "platform/uikit/transition.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPointer>
#include <QVariantAnimation>

namespace uikit {

namespace {

constexpr double kHalfTurnDegrees = 180;

// Covers the view while it turns over: paints the old look turning away and the
// new one turning in, over what lies behind the view. Lets every input through
// to the view's real children.
class TransitionOverlay : public QWidget {
 public:
  TransitionOverlay(QWidget* view, QPixmap before, TransitionOption option, double seconds)
      : QWidget(view), m_before(std::move(before)), m_option(option) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(view->rect());
    m_progress.setDuration(std::max(0, qRound(seconds * 1000)));
    m_progress.setStartValue(0.0);
    m_progress.setEndValue(1.0);
    m_progress.setEasingCurve(QEasingCurve::InOutSine);
    connect(&m_progress, &QVariantAnimation::valueChanged, this, [this](const QVariant&) { update(); });
    connect(&m_progress, &QVariantAnimation::finished, this, &TransitionOverlay::finish);
  }

  bool isRunning() const { return !m_finished; }

  void start(QPixmap after) {
    m_after = std::move(after);
    raise();
    show();
    m_progress.start();
  }

  void finish() {
    if (m_finished) return;
    m_finished = true;
    m_progress.stop();
    hide();
    deleteLater();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), backdrop());
    const double t = m_progress.currentValue().toDouble();
    if (m_option == TransitionOption::CurlUp) {
      paintLift(painter, t);
    } else {
      paintFlip(painter, t);
    }
  }

 private:
  // What shows where neither look covers: the colour behind the view.
  QColor backdrop() const {
    const QWidget* behind = parentWidget()->parentWidget() ? parentWidget()->parentWidget() : parentWidget();
    return behind->palette().color(QPalette::Window);
  }

  // The first half turns the old look edge-on, the second turns the new look
  // from edge-on to flat; each about the view's vertical centre line.
  void paintFlip(QPainter& painter, double t) {
    const double direction = m_option == TransitionOption::FlipFromRight ? -1 : 1;
    const bool firstHalf = t < 0.5;
    const double angle = direction * (firstHalf ? t * kHalfTurnDegrees : (t - 1) * kHalfTurnDegrees);
    const QPointF centre = QRectF(rect()).center();
    QTransform turn;
    turn.translate(centre.x(), centre.y());
    turn.rotate(angle, Qt::YAxis);
    turn.translate(-centre.x(), -centre.y());
    painter.setTransform(turn);
    painter.drawPixmap(rect(), firstHalf ? m_before : m_after);
  }

  // The old look lifts off upwards and fades, uncovering the new one.
  void paintLift(QPainter& painter, double t) {
    painter.drawPixmap(rect(), m_after);
    painter.setOpacity(1 - t);
    painter.drawPixmap(rect().translated(0, qRound(-t * height())), m_before);
  }

  QPixmap m_before;
  QPixmap m_after;
  TransitionOption m_option;
  QVariantAnimation m_progress;
  bool m_finished = false;
};

TransitionOverlay* runningOverlay(const QWidget* view) {
  for (QObject* child : view->children()) {
    auto* overlay = dynamic_cast<TransitionOverlay*>(child);
    if (overlay && overlay->isRunning()) return overlay;
  }
  return nullptr;
}

}  // namespace

void transitionWithView(QWidget* view, double seconds, TransitionOption option,
                        const std::function<void()>& animations) {
  if (!view) {
    if (animations) animations();
    return;
  }
  if (TransitionOverlay* earlier = runningOverlay(view)) earlier->finish();
  const bool animate = option != TransitionOption::None && seconds > 0 && view->isVisible();
  QPixmap before = animate ? view->grab() : QPixmap();
  if (animations) animations();
  if (!animate) return;
  // The new look includes the geometry that the changed children ask for.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  auto* overlay = new TransitionOverlay(view, std::move(before), option, seconds);
  overlay->start(view->grab());
}

bool isTransitionRunning(const QWidget* view) { return view && runningOverlay(view); }

}  // namespace uikit
