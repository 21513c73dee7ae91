#include "ui/ov_hud.h"

#include <QTimer>
#include <algorithm>

#include "ui/ov_hud_root_view.h"

namespace ui {

namespace {

constexpr double kSmallestScaleFactor = 0.01;
constexpr double kMillisecondsPerSecond = 1000.0;

double nonZeroScale(double factor) { return factor == 0 ? kSmallestScaleFactor : factor; }

}  // namespace

OVHud::OVHud(OVHudDelegate* delegate) : m_delegate(delegate), m_view(std::make_unique<OVHudView>(*this)) {}

OVHud::~OVHud() {
  // The root view belongs to the screen it was put on, but draws this overlay.
  delete m_rootView.data();
}

QString OVHud::buildInfo() { return QStringLiteral("ovHUD 1.2 • 2011-03-01"); }

QWidget* OVHud::view() {
  if (!m_rootView) m_rootView = new OVHudRootView(*this);
  return m_rootView;
}

void OVHud::setViewInteractive(bool interactive) {
  static_cast<OVHudRootView*>(view())->setUserInteractionEnabled(interactive);
}

void OVHud::setAlpha(double alpha) {
  m_alpha = alpha;
  m_view->backgroundLayer().setBackgroundColor(QColor::fromRgbF(0, 0, 0, static_cast<float>(alpha)));
}

void OVHud::setAppearScaleFactor(double factor) { m_appearScaleFactor = nonZeroScale(factor); }
void OVHud::setDisappearScaleFactor(double factor) { m_disappearScaleFactor = nonZeroScale(factor); }

void OVHud::setShadowEnabled(bool enabled) {
  m_shadowEnabled = enabled;
  m_view->setShadowOpacity(enabled ? 0.4 : 0);
}

void OVHud::setCaption(const QString& caption) { m_view->setCaption(caption); }
void OVHud::setImage(const QImage& image) { m_view->setImage(image); }
void OVHud::setFixedSize(QSizeF size) { m_view->setFixedSize(size); }
void OVHud::setActivityStyle(uikit::ActivityIndicatorStyle style) { m_view->setActivityStyle(style); }

void OVHud::setActivity(bool show) {
  m_view->setShowActivity(show);
  if (show) {
    m_view->activity().startAnimating();
  } else {
    m_view->activity().stopAnimating();
  }
}

void OVHud::setProgress(double progress) {
  m_view->setProgress(progress);
  m_view->progressLayer().setTheProgress(progress);
  m_view->progressLayer().setNeedsDisplay();
}

void OVHud::show() { m_view->show(); }
void OVHud::update() { m_view->update(); }
void OVHud::hide() { m_view->hide(); }

void OVHud::hideAfter(double seconds) {
  QTimer::singleShot(static_cast<int>(seconds * kMillisecondsPerSecond), this, [this] { hide(); });
}

void OVHud::addQueueItem(const OVHudQueueItem& item) { m_displayQueue.push_back(item); }

void OVHud::addQueueItems(const std::vector<OVHudQueueItem>& items) {
  m_displayQueue.insert(m_displayQueue.end(), items.begin(), items.end());
}

void OVHud::clearQueue() { m_displayQueue.clear(); }

void OVHud::startQueue() {
  m_queuePosition = 0;
  QSizeF fixed = m_view->fixedSize();
  if (fixed.width() != 0 || fixed.height() != 0) {
    // Every message shares one size, large enough for the largest.
    for (const OVHudQueueItem& item : m_displayQueue) {
      const QSizeF needed = m_view->calculateSizeForQueueItem(item);
      fixed = QSizeF(std::max(fixed.width(), needed.width()), std::max(fixed.height(), needed.height()));
    }
    m_view->setFixedSize(fixed);
  }
  showQueueAtIndex(m_queuePosition);
}

void OVHud::showNextInQueue() { showQueueAtIndex(m_queuePosition + 1); }

void OVHud::showQueueAtIndex(int index) {
  const int count = static_cast<int>(m_displayQueue.size());
  // Past the end there is nothing to show and nothing to hide.
  if (count == 0 || index < 0 || index > count) return;
  m_queuePosition = index;
  if (index == count) return hide();
  const OVHudQueueItem& item = m_displayQueue[static_cast<std::size_t>(index)];
  setCaption(item.caption);
  setImage(item.image);
  setActivity(item.showActivity);
  setAccessoryPosition(item.accessoryPosition);
  setActivityStyle(item.activityStyle);
  if (index == 0) {
    show();
  } else {
    update();
  }
}

void OVHud::playSound(const QString& path) {
  m_sound = OVSoundFX::soundEffectWithContentsOfFile(path.toStdString());
  if (m_sound) m_sound->play();
}

void OVHud::touchesEnded(int tapCount, QPointF location) {
  if (m_blockTouches || tapCount != 1) return;
  if (m_view->frame().contains(location) && m_delegate) m_delegate->userDidTapHud(*this);
}

}  // namespace ui
