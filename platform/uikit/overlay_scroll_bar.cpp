#include "platform/uikit/overlay_scroll_bar.h"

#include <QAbstractScrollArea>
#include <QEvent>

namespace uikit {

namespace {

constexpr int kWidth = 6;
constexpr int kEdgeGap = 2;

constexpr const char* kStyle = R"(
  QScrollBar:vertical { background: transparent; width: 6px; margin: 0; }
  QScrollBar::handle:vertical { background: rgba(0, 0, 0, 80); border-radius: 3px; min-height: 28px; }
  QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; border: none; background: none; }
  QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }
)";

}  // namespace

OverlayScrollBar::OverlayScrollBar(QAbstractScrollArea* area) : QScrollBar(Qt::Vertical, area), m_area(area) {
  setStyleSheet(kStyle);
  setCursor(Qt::ArrowCursor);
  area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QScrollBar* model = area->verticalScrollBar();
  connect(model, &QScrollBar::rangeChanged, this, [this](int minimum, int maximum) {
    setRange(minimum, maximum);
    follow();
  });
  connect(model, &QScrollBar::valueChanged, this, &QScrollBar::setValue);
  connect(this, &QScrollBar::valueChanged, model, &QScrollBar::setValue);
  area->installEventFilter(this);
  setRange(model->minimum(), model->maximum());
  setValue(model->value());
  follow();
}

bool OverlayScrollBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_area && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)) follow();
  return QScrollBar::eventFilter(watched, event);
}

void OverlayScrollBar::follow() {
  // The area's own rectangle: on its resize the viewport has not followed yet.
  const QRect viewport = m_area->contentsRect();
  setGeometry(viewport.right() + 1 - kWidth - kEdgeGap, viewport.top() + kEdgeGap, kWidth,
              std::max(0, viewport.height() - 2 * kEdgeGap));
  setPageStep(m_area->verticalScrollBar()->pageStep());
  setSingleStep(m_area->verticalScrollBar()->singleStep());
  setVisible(maximum() > minimum());
  raise();
}

}  // namespace uikit
