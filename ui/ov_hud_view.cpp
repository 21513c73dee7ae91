#include "ui/ov_hud_view.h"

#include <QEasingCurve>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>

#include "ui/ov_hud.h"

namespace ui {

namespace {

constexpr int kScaleAndFadeMilliseconds = 100;
// The platform's implicit animation of the background's size on update.
constexpr int kImplicitAnimationMilliseconds = 250;
constexpr double kBackgroundCornerRadius = 10;
constexpr double kShadowOpacity = 0.4;
constexpr int kShadowRadius = 8;
constexpr QPointF kShadowOffset{0, 3};

double interpolate(double from, double to, double fraction) { return from + (to - from) * fraction; }

QRectF interpolate(const QRectF& from, const QRectF& to, double fraction) {
  return QRectF(interpolate(from.x(), to.x(), fraction), interpolate(from.y(), to.y(), fraction),
                interpolate(from.width(), to.width(), fraction), interpolate(from.height(), to.height(), fraction));
}

}  // namespace

OVHudView::OVHudView(OVHud& p)
    : m_p(p), m_activitySize(sizeForActivityStyle(m_activityStyle)), m_shadowOpacity(kShadowOpacity) {
  m_backgroundLayer.setCornerRadius(kBackgroundCornerRadius);
  m_backgroundLayer.setBackgroundColor(QColor::fromRgbF(0, 0, 0, static_cast<float>(p.alpha())));
  m_imageLayer.setAnchorPoint(QPointF(0, 0));
  for (OVLayer* layer : {&m_backgroundLayer, &m_imageLayer, static_cast<OVLayer*>(&m_captionLayer),
                         static_cast<OVLayer*>(&m_progressLayer)}) {
    layer->setDisplayHandler([this] { emit needsDisplay(); });
  }
  connect(&m_activity, &uikit::ActivityIndicator::needsDisplay, this, &OVHudView::needsDisplay);
}

OVHudView::~OVHudView() = default;

void OVHudView::setActivityStyle(uikit::ActivityIndicatorStyle style) {
  m_activityStyle = style;
  m_activitySize = sizeForActivityStyle(style);
}

void OVHudView::setProgress(double progress) {
  const double clamped = clampOVHudProgress(progress);
  if (clamped != m_progress) m_progress = clamped;
}

void OVHudView::setShadowOpacity(double opacity) {
  m_shadowOpacity = opacity;
  emit needsDisplay();
}

QSizeF OVHudView::sizeForActivityStyle(uikit::ActivityIndicatorStyle style) {
  return uikit::ActivityIndicator::sizeForStyle(style);
}

// What the layout needs of one message, with the controller's spacing.
OVHudLayoutInput OVHudView::layoutInput(const QString& caption, const QImage& image, bool showActivity,
                                        uikit::ActivityIndicatorStyle activityStyle, int accessoryPosition) const {
  OVHudLayoutInput in;
  in.margin = m_p.margin();
  in.padding = m_p.padding();
  in.accessoryPosition = accessoryPosition;
  in.hasCaption = !caption.isEmpty();
  in.measureCaption = [caption](double width) { return OVTextLayer::measure(caption, width, kOVCaptionMaxHeight); };
  in.activitySize = sizeForActivityStyle(activityStyle);
  in.showActivity = showActivity;
  if (!image.isNull()) in.imageSize = image.deviceIndependentSize();
  return in;
}

void OVHudView::calculate() {
  OVHudLayoutInput in = layoutInput(m_caption, m_image, m_showActivity, m_activityStyle, m_p.accessoryPosition());
  in.progress = m_progress;
  in.fixedSize = m_fixedSize;
  calculateOVHudLayout(in, m_geometry);
}

QSizeF OVHudView::calculateSizeForQueueItem(const OVHudQueueItem& item) const {
  return calculateOVHudQueueItemSize(
      layoutInput(item.caption, item.image, item.showActivity, item.activityStyle, item.accessoryPosition));
}

void OVHudView::show() {
  calculate();
  applyWithMode(ShowMode);
}

void OVHudView::update() {
  calculate();
  applyWithMode(UpdateMode);
}

void OVHudView::hide() { applyWithMode(HideMode); }

void OVHudView::applyWithMode(int mode) {
  switch (mode) {
    case ShowMode:
      return applyShow();
    case UpdateMode:
      return applyUpdate();
    case HideMode:
      return applyHide();
    default:
      return;
  }
}

void OVHudView::setPanelFrame() {
  const QSizeF size = m_geometry.targetBounds.size();
  const QPointF center = m_p.center();
  if (center != QPointF(0, 0)) {
    m_frame = QRectF(center.x() - size.width() * 0.5, center.y() - size.height() * 0.5, size.width(), size.height());
  } else {
    const QSizeF root = m_p.view()->size();
    m_frame = QRectF(QPointF((root.width() - size.width()) * 0.5, (root.height() - size.height()) * 0.5), size);
  }
}

void OVHudView::keepCentred(QSizeF delta) {
  m_frame.translate(delta.width() * 0.5, delta.height() * 0.5);
  emit needsDisplay();
}

// Everything but the background's size and the caption text, which show and
// update handle each in their own way.
void OVHudView::placeLayers() {
  const QSizeF size = m_geometry.targetBounds.size();
  m_backgroundLayer.setPosition(QPointF(size.width() * 0.5, size.height() * 0.5));
  m_captionLayer.setPosition(sharpPoint(m_geometry.captionRect.topLeft()));
  m_captionLayer.setBounds(QRectF(QPointF(0, 0), m_geometry.captionRect.size()));
  m_imageLayer.setContents(m_image);
  m_imageLayer.setPosition(sharpPoint(m_geometry.imageRect.topLeft()));
  m_imageLayer.setBounds(QRectF(QPointF(0, 0), m_geometry.imageRect.size()));
  m_progressLayer.setPosition(sharpPoint(m_geometry.progressRect.topLeft()));
  m_progressLayer.setBounds(QRectF(QPointF(0, 0), m_geometry.progressRect.size()));
  m_progressLayer.setBarStyle(m_p.progressBarStyle());
}

void OVHudView::placeActivity() {
  if (!m_showActivity) return;
  m_activity.setStyle(m_activityStyle);
  m_activity.setFrame(sharpRect(m_geometry.activityRect));
}

// A layer transaction completes once the event loop has drawn what it set.
void OVHudView::afterTransaction(std::function<void()> action) { QTimer::singleShot(0, this, std::move(action)); }

void OVHudView::applyShow() {
  setPanelFrame();
  m_backgroundLayer.setBounds(QRectF(QPointF(0, 0), m_geometry.targetBounds.size()));
  placeLayers();
  m_captionLayer.setCaption(m_caption);
  m_progressLayer.setTheProgress(m_progress);
  m_progressLayer.setNeedsDisplay();
  afterTransaction([this] {
    placeActivity();
    m_frame = sharpRect(m_frame);
    if (OVHudDelegate* delegate = m_p.delegate()) delegate->hudWillAppear(m_p);
    m_scale = m_p.appearScaleFactor();
    animate(1, 1, [this](bool finished) {
      if (!finished) return;
      if (!m_p.allowSuperviewInteraction()) m_p.setViewInteractive(true);
      if (!m_p.showSound().isEmpty()) m_p.playSound(m_p.showSound());
      if (OVHudDelegate* delegate = m_p.delegate()) delegate->hudDidAppear(m_p);
    });
  });
}

void OVHudView::applyUpdate() {
  if (OVHudDelegate* delegate = m_p.delegate()) delegate->hudWillUpdate(m_p);
  setPanelFrame();
  m_captionLayer.setCaption(QString());
  placeLayers();
  afterTransaction([this] {
    animateBackgroundBounds(QRectF(QPointF(0, 0), m_geometry.targetBounds.size()));
    m_progressLayer.setTheProgress(m_progress);
    m_progressLayer.setNeedsDisplay();
    m_captionLayer.setCaption(m_caption);
    placeActivity();
    m_frame = sharpRect(m_frame);
    if (!m_p.updateSound().isEmpty()) m_p.playSound(m_p.updateSound());
    if (OVHudDelegate* delegate = m_p.delegate()) delegate->hudDidUpdate(m_p);
  });
}

void OVHudView::applyHide() {
  if (OVHudDelegate* delegate = m_p.delegate()) delegate->hudWillDisappear(m_p);
  if (!m_p.hideSound().isEmpty()) m_p.playSound(m_p.hideSound());
  animate(m_p.disappearScaleFactor(), 0, [this](bool finished) {
    if (!finished) return;
    m_p.setViewInteractive(false);
    m_scale = 1;
    reset();
    if (OVHudDelegate* delegate = m_p.delegate()) delegate->hudDidDisappear(m_p);
  });
}

void OVHudView::reset() {
  m_p.setCaption(QString(""));
  m_p.setImage(QImage());
  m_p.setProgress(0);
  m_p.setActivity(false);
  m_p.setActivityStyle(uikit::ActivityIndicatorStyle::White);
  m_p.setAccessoryPosition(OVAccessoryBelow);
  m_p.setBlockTouches(false);
  m_p.setAllowSuperviewInteraction(false);
  m_p.setFixedSize(QSizeF(0, 0));
  m_p.setCenter(QPointF(0, 0));
  m_imageLayer.setContents(QImage());
  m_captionLayer.setCaption(QString(""));
  m_p.setShowSound(QString(""));
  m_p.setUpdateSound(QString(""));
  m_p.setHideSound(QString(""));
}

// Runs the panel's scale and alpha to the targets over a tenth of a second. An
// animation that a newer one replaces did not finish: its completion hears so.
void OVHudView::animate(double scale, double alpha, std::function<void(bool finished)> completion) {
  if (m_animation) {
    m_animation->disconnect(this);
    m_animation->stop();
    m_animation->deleteLater();
    m_animation = nullptr;
    if (auto interrupted = std::exchange(m_animationCompletion, nullptr)) interrupted(false);
  }
  auto* animation = new QVariantAnimation(this);
  animation->setDuration(kScaleAndFadeMilliseconds);
  animation->setStartValue(0.0);
  animation->setEndValue(1.0);
  connect(animation, &QVariantAnimation::valueChanged, this,
          [this, fromScale = m_scale, fromAlpha = m_alpha, scale, alpha](const QVariant& value) {
            m_scale = interpolate(fromScale, scale, value.toDouble());
            m_alpha = interpolate(fromAlpha, alpha, value.toDouble());
            emit needsDisplay();
          });
  connect(animation, &QVariantAnimation::finished, this, [this, animation] {
    animation->deleteLater();
    m_animation = nullptr;
    if (auto done = std::exchange(m_animationCompletion, nullptr)) done(true);
  });
  m_animation = animation;
  m_animationCompletion = std::move(completion);
  animation->start();
}

void OVHudView::animateBackgroundBounds(const QRectF& bounds) {
  if (m_backgroundAnimation) {
    m_backgroundAnimation->stop();
    m_backgroundAnimation->deleteLater();
  }
  auto* animation = new QVariantAnimation(this);
  animation->setDuration(kImplicitAnimationMilliseconds);
  animation->setEasingCurve(QEasingCurve::InOutQuad);
  animation->setStartValue(0.0);
  animation->setEndValue(1.0);
  connect(animation, &QVariantAnimation::valueChanged, this,
          [this, from = m_backgroundLayer.bounds(), bounds](const QVariant& value) {
            m_backgroundLayer.setBounds(interpolate(from, bounds, value.toDouble()));
            emit needsDisplay();
          });
  connect(animation, &QVariantAnimation::finished, this, [this, animation] {
    animation->deleteLater();
    if (m_backgroundAnimation == animation) m_backgroundAnimation = nullptr;
  });
  m_backgroundAnimation = animation;
  animation->start();
}

void OVHudView::paint(QPainter& painter) const {
  if (m_alpha <= 0) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setOpacity(m_alpha);
  painter.translate(m_frame.center());
  painter.scale(m_scale, m_scale);
  painter.translate(-m_frame.width() * 0.5, -m_frame.height() * 0.5);
  paintShadow(painter);
  for (const OVLayer* layer : {&m_backgroundLayer, &m_imageLayer, static_cast<const OVLayer*>(&m_captionLayer),
                               static_cast<const OVLayer*>(&m_progressLayer)}) {
    painter.save();
    painter.translate(layer->frame().topLeft());
    layer->draw(painter);
    painter.restore();
  }
  m_activity.paint(painter);
  painter.restore();
}

// A soft shadow under the background: rings that add up to the shadow's
// opacity in the middle and fade out over its radius.
void OVHudView::paintShadow(QPainter& painter) const {
  if (m_shadowOpacity <= 0) return;
  const QRectF shape = m_backgroundLayer.frame().translated(kShadowOffset);
  const double ringAlpha = 1 - std::pow(1 - m_shadowOpacity, 1.0 / kShadowRadius);
  for (int ring = kShadowRadius; ring > 0; --ring) {
    const double spread = ring - kShadowRadius * 0.5;
    QPainterPath path;
    path.addRoundedRect(shape.adjusted(-spread, -spread, spread, spread), kBackgroundCornerRadius + spread,
                        kBackgroundCornerRadius + spread);
    painter.fillPath(path, QColor::fromRgbF(0, 0, 0, static_cast<float>(ringAlpha)));
  }
}

}  // namespace ui
