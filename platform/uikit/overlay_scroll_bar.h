#pragma once
// OverlayScrollBar: a thin scroll bar drawn over the right edge of a scroll
// area's viewport instead of beside it, moving with the area's own vertical
// scroll bar (which it hides). Owned by the area. Main thread only.

#include <QScrollBar>

class QAbstractScrollArea;

namespace uikit {

class OverlayScrollBar : public QScrollBar {
  Q_OBJECT
 public:
  explicit OverlayScrollBar(QAbstractScrollArea* area);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void follow();

  QAbstractScrollArea* m_area;
};

}  // namespace uikit
