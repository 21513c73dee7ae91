#include "ui/ov_hud_root_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include "platform/device/screen.h"
#include "ui/ov_hud.h"

namespace ui {

namespace {
// The panel can change far more often than a screen shows frames (a report
// for every number an import adds), and each frame repaints the whole screen
// beneath the translucent overlay.
constexpr qint64 kFrameMilliseconds = 16;
}  // namespace

OVHudRootView::OVHudRootView(OVHud& hud) : m_hud(hud) {
  setGeometry(QRect(QPoint(0, 0), device::mainScreenSize().toSize()));
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_NoSystemBackground);
  setUserInteractionEnabled(false);
  m_frameTimer.setSingleShot(true);
  m_frameTimer.setTimerType(Qt::PreciseTimer);
  connect(&m_frameTimer, &QTimer::timeout, this, [this] { update(); });
  connect(&hud.panel(), &OVHudView::needsDisplay, this, &OVHudRootView::requestFrame);
}

void OVHudRootView::requestFrame() {
  if (m_frameTimer.isActive()) return;
  const qint64 elapsed = m_sinceFrame.isValid() ? m_sinceFrame.elapsed() : kFrameMilliseconds;
  if (elapsed >= kFrameMilliseconds) {
    update();
  } else {
    m_frameTimer.start(static_cast<int>(kFrameMilliseconds - elapsed));
  }
}

void OVHudRootView::setUserInteractionEnabled(bool enabled) {
  setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
}

void OVHudRootView::paintEvent(QPaintEvent*) {
  m_sinceFrame.restart();
  QPainter painter(this);
  m_hud.panel().paint(painter);
}

void OVHudRootView::mousePressEvent(QMouseEvent*) { m_tapCount = 1; }

void OVHudRootView::mouseDoubleClickEvent(QMouseEvent*) { m_tapCount = 2; }

void OVHudRootView::mouseReleaseEvent(QMouseEvent* event) { m_hud.touchesEnded(m_tapCount, event->position()); }

bool OVHudRootView::event(QEvent* event) {
  // The view covers its parent, whatever size the parent takes.
  if (event->type() == QEvent::ParentAboutToChange && parentWidget()) parentWidget()->removeEventFilter(this);
  if (event->type() == QEvent::ParentChange && parentWidget()) {
    parentWidget()->installEventFilter(this);
    setGeometry(parentWidget()->rect());
  }
  if (event->type() == QEvent::Resize) {
    const auto* resize = static_cast<QResizeEvent*>(event);
    if (resize->oldSize().isValid()) m_hud.panel().keepCentred(QSizeF(resize->size() - resize->oldSize()));
  }
  return QWidget::event(event);
}

bool OVHudRootView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return QWidget::eventFilter(watched, event);
}

}  // namespace ui
