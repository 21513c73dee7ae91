#pragma once
// StatusBar: the phone's status bar across the top of the window — carrier,
// network-activity spinner, the time and the battery. Main thread only.

#include <QTimer>
#include <QWidget>

#include "platform/uikit/activity_indicator.h"

namespace uikit {

class StatusBar : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kHeight = 20;

  explicit StatusBar(QWidget* parent = nullptr);
  ~StatusBar() override;

  // Exactly while the application shows network activity.
  bool isActivityIndicatorShown() const { return m_spinner.isAnimating(); }
  // The text shown in the middle, the local time as HH:mm.
  QString timeText() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void showActivity(bool shown);
  void scheduleNextMinute();

  ActivityIndicator m_spinner;
  int m_observerId = 0;
  QTimer m_clock;
};

}  // namespace uikit
