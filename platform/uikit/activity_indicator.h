#pragma once
// The spinning activity indicator: twelve spokes whose brightness turns around
// the centre. ActivityIndicator is its state and drawing, for views that paint
// it themselves; ActivityIndicatorView shows one as a widget. Main thread only.

#include <QObject>
#include <QRectF>
#include <QTimer>
#include <QWidget>

class QPainter;

namespace uikit {

enum class ActivityIndicatorStyle : int { WhiteLarge = 0, White = 1, Gray = 2 };

class ActivityIndicator : public QObject {
  Q_OBJECT
 public:
  // 37 x 37 for the large style, 20 x 20 for the others.
  static QSizeF sizeForStyle(ActivityIndicatorStyle style);

  explicit ActivityIndicator(QObject* parent = nullptr);

  ActivityIndicatorStyle style() const { return m_style; }
  void setStyle(ActivityIndicatorStyle style);
  QRectF frame() const { return m_frame; }
  void setFrame(const QRectF& frame);
  bool hidesWhenStopped() const { return m_hidesWhenStopped; }
  void setHidesWhenStopped(bool hides);
  bool isHidden() const { return m_hidesWhenStopped && !isAnimating(); }

  void startAnimating();
  void stopAnimating();
  bool isAnimating() const { return m_timer.isActive(); }

  // Draws the spokes into frame(), unless hidden.
  void paint(QPainter& painter) const;

 signals:
  void needsDisplay();

 private:
  void advance();

  ActivityIndicatorStyle m_style = ActivityIndicatorStyle::White;
  QRectF m_frame;
  bool m_hidesWhenStopped = true;
  int m_leadingSpoke = 0;
  QTimer m_timer;
};

class ActivityIndicatorView : public QWidget {
  Q_OBJECT
 public:
  explicit ActivityIndicatorView(ActivityIndicatorStyle style = ActivityIndicatorStyle::White,
                                 QWidget* parent = nullptr);
  ActivityIndicator& indicator() { return m_indicator; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QRectF centredFrame() const;
  ActivityIndicator m_indicator;
};

}  // namespace uikit
