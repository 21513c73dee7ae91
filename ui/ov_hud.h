#pragma once
// OVHud: the progress overlay a screen puts over its content — a caption with
// an indicator, image or progress bar in a rounded translucent panel that grows
// in and fades out, or a queue of prepared messages shown in turn. After every
// hide it forgets caption, accessory and touch settings. Main thread only.

#include <QImage>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <memory>
#include <vector>

#include "ui/ov_hud_delegate.h"
#include "ui/ov_hud_queue_item.h"
#include "ui/ov_hud_view.h"
#include "ui/ov_sound_fx.h"
class QWidget;

namespace ui {

class OVHudRootView;

class OVHud : public QObject {
  Q_OBJECT
 public:
  explicit OVHud(OVHudDelegate* delegate = nullptr);
  ~OVHud() override;
  static QString buildInfo();

  // The full-screen view a screen puts on top of its own; created on first use.
  QWidget* view();
  OVHudView& panel() { return *m_view; }

  // Settings read at the next show or update.
  double margin() const { return m_margin; }
  void setMargin(double margin) { m_margin = margin; }
  double padding() const { return m_padding; }
  void setPadding(double padding) { m_padding = padding; }
  double alpha() const { return m_alpha; }
  void setAlpha(double alpha);
  double appearScaleFactor() const { return m_appearScaleFactor; }
  void setAppearScaleFactor(double factor);  // 0 is kept as 0.01
  double disappearScaleFactor() const { return m_disappearScaleFactor; }
  void setDisappearScaleFactor(double factor);
  const OVProgressBarStyle& progressBarStyle() const { return m_barStyle; }
  void setProgressBorderRadius(double radius) { m_barStyle.borderRadius = radius; }
  void setProgressBorderWidth(double width) { m_barStyle.borderWidth = width; }
  void setProgressBarRadius(double radius) { m_barStyle.barRadius = radius; }
  void setProgressBarInset(double inset) { m_barStyle.barInset = inset; }
  QPointF center() const { return m_center; }
  void setCenter(QPointF center) { m_center = center; }  // (0, 0): centred in the view
  bool shadowEnabled() const { return m_shadowEnabled; }
  void setShadowEnabled(bool enabled);
  bool blockTouches() const { return m_blockTouches; }
  void setBlockTouches(bool block) { m_blockTouches = block; }
  bool allowSuperviewInteraction() const { return m_allowSuperviewInteraction; }
  void setAllowSuperviewInteraction(bool allow) { m_allowSuperviewInteraction = allow; }
  QString showSound() const { return m_showSound; }
  void setShowSound(const QString& path) { m_showSound = path; }
  QString updateSound() const { return m_updateSound; }
  void setUpdateSound(const QString& path) { m_updateSound = path; }
  QString hideSound() const { return m_hideSound; }
  void setHideSound(const QString& path) { m_hideSound = path; }
  OVHudDelegate* delegate() const { return m_delegate; }
  void setDelegate(OVHudDelegate* delegate) { m_delegate = delegate; }
  int accessoryPosition() const { return m_accessoryPosition; }
  void setAccessoryPosition(int position) { m_accessoryPosition = position; }

  // The panel's content, passed through.
  void setCaption(const QString& caption);
  void setImage(const QImage& image);
  void setActivity(bool show);
  void setActivityStyle(uikit::ActivityIndicatorStyle style);
  void setFixedSize(QSizeF size);
  // The panel keeps the value clamped; the bar draws it as given until the next show or update.
  void setProgress(double progress);

  void show();
  void update();
  void hide();
  // Each call schedules its own hide.
  void hideAfter(double seconds);

  void addQueueItem(const OVHudQueueItem& item);
  void addQueueItems(const std::vector<OVHudQueueItem>& items);
  void clearQueue();
  void startQueue();
  void showNextInQueue();
  // Shows message `index`; the queue's length hides the overlay; other indexes do nothing.
  void showQueueAtIndex(int index);
  const std::vector<OVHudQueueItem>& displayQueue() const { return m_displayQueue; }
  int queuePosition() const { return m_queuePosition; }

  void playSound(const QString& path);
  const OVSoundFX* sound() const { return m_sound.get(); }

  // A touch on the view ended: a single tap on the panel is reported.
  void touchesEnded(int tapCount, QPointF location);
  // The view swallows touches (YES) or lets them through.
  void setViewInteractive(bool interactive);

 private:
  OVHudDelegate* m_delegate;
  double m_margin = 10.0;
  double m_padding = 10.0;
  double m_alpha = 0.7;
  double m_appearScaleFactor = 1.4;
  double m_disappearScaleFactor = 1.4;
  OVProgressBarStyle m_barStyle;
  QPointF m_center{0, 0};
  bool m_shadowEnabled = false;
  bool m_blockTouches = false;
  bool m_allowSuperviewInteraction = false;
  QString m_showSound;
  QString m_updateSound;
  QString m_hideSound;
  int m_accessoryPosition = OVAccessoryBelow;
  std::unique_ptr<OVHudView> m_view;
  std::unique_ptr<OVSoundFX> m_sound;
  std::vector<OVHudQueueItem> m_displayQueue;
  int m_queuePosition = 0;
  QPointer<OVHudRootView> m_rootView;
};

}  // namespace ui
