#pragma once
// OVHudView: the overlay's panel — its content, layout, layers and the
// scale-and-fade animations of show, update and hide. It is drawn by the
// overlay's root view and reads its settings from the controller. Main thread only.

#include <QImage>
#include <QObject>
#include <QString>
#include <functional>

#include "platform/uikit/activity_indicator.h"
#include "ui/ov_hud_layout.h"
#include "ui/ov_hud_queue_item.h"
#include "ui/ov_layer.h"
#include "ui/ov_progress_layer.h"
#include "ui/ov_text_layer.h"
class QVariantAnimation;

namespace ui {

class OVHud;

class OVHudView : public QObject {
  Q_OBJECT
 public:
  enum Mode : int { ShowMode = 0, UpdateMode = 1, HideMode = 2 };

  explicit OVHudView(OVHud& p);
  ~OVHudView() override;

  QString caption() const { return m_caption; }
  void setCaption(const QString& caption) { m_caption = caption; }
  QImage image() const { return m_image; }
  void setImage(const QImage& image) { m_image = image; }
  bool showActivity() const { return m_showActivity; }
  void setShowActivity(bool show) { m_showActivity = show; }
  uikit::ActivityIndicatorStyle activityStyle() const { return m_activityStyle; }
  void setActivityStyle(uikit::ActivityIndicatorStyle style);
  QSizeF activitySize() const { return m_activitySize; }
  double progress() const { return m_progress; }
  // Kept in 0..1, and at least 0.08 when above 0.
  void setProgress(double progress);
  QSizeF fixedSize() const { return m_fixedSize; }
  void setFixedSize(QSizeF size) { m_fixedSize = size; }
  uikit::ActivityIndicator& activity() { return m_activity; }

  const OVHudGeometry& geometry() const { return m_geometry; }
  QRectF frame() const { return m_frame; }
  double scale() const { return m_scale; }
  double alpha() const { return m_alpha; }
  void setShadowOpacity(double opacity);
  double shadowOpacity() const { return m_shadowOpacity; }
  OVLayer& backgroundLayer() { return m_backgroundLayer; }
  OVLayer& imageLayer() { return m_imageLayer; }
  OVTextLayer& captionLayer() { return m_captionLayer; }
  OVProgressLayer& progressLayer() { return m_progressLayer; }

  void calculate();
  void applyWithMode(int mode);
  void show();
  void update();
  void hide();
  void reset();
  QSizeF calculateSizeForQueueItem(const OVHudQueueItem& item) const;
  static QSizeF sizeForActivityStyle(uikit::ActivityIndicatorStyle style);

  // The root view changed size by `delta`: the panel keeps its place relative to the middle.
  void keepCentred(QSizeF delta);

  // Draws the panel (scaled and faded as it stands) in the root view.
  void paint(QPainter& painter) const;

 signals:
  void needsDisplay();

 private:
  OVHudLayoutInput layoutInput(const QString& caption, const QImage& image, bool showActivity,
                               uikit::ActivityIndicatorStyle activityStyle, int accessoryPosition) const;
  void setPanelFrame();
  void placeLayers();
  void placeActivity();
  void afterTransaction(std::function<void()> action);
  void animate(double scale, double alpha, std::function<void(bool finished)> completion);
  void animateBackgroundBounds(const QRectF& bounds);
  void paintShadow(QPainter& painter) const;
  void applyShow();
  void applyUpdate();
  void applyHide();

  OVHud& m_p;
  QString m_caption;
  QImage m_image;
  bool m_showActivity = false;
  uikit::ActivityIndicatorStyle m_activityStyle = uikit::ActivityIndicatorStyle::White;
  QSizeF m_activitySize;
  double m_progress = 0;
  QSizeF m_fixedSize{0, 0};
  uikit::ActivityIndicator m_activity;
  OVHudGeometry m_geometry;

  QRectF m_frame;
  double m_scale = 1;
  double m_alpha = 0;
  double m_shadowOpacity;
  OVLayer m_backgroundLayer;
  OVLayer m_imageLayer;
  OVTextLayer m_captionLayer;
  OVProgressLayer m_progressLayer;

  QVariantAnimation* m_animation = nullptr;
  std::function<void(bool)> m_animationCompletion;
  QVariantAnimation* m_backgroundAnimation = nullptr;
};

}  // namespace ui
