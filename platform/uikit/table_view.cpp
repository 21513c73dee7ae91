#include "platform/uikit/table_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QScroller>
#include <QScrollerProperties>
#include <cmath>

#include "platform/foundation/system_log.h"
#include "platform/uikit/overlay_scroll_bar.h"

namespace uikit {

namespace {

constexpr int kSeparatorHeight = 1;
constexpr int kWheelStep = 20;
constexpr int kScrollMilliseconds = 280;
constexpr int kHighlightMilliseconds = 250;
// A press that moves less than this before its release is a tap.
constexpr int kTapSlop = 8;

}  // namespace

double TableViewDelegate::heightForRowAtIndexPath(TableView& table, const IndexPath&) {
  table.m_defaultRowHeightAnswered = true;
  return table.rowHeight();
}

TableView::TableView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  new OverlayScrollBar(this);
  verticalScrollBar()->setSingleStep(kWheelStep);
  QPalette palette = viewport()->palette();
  palette.setColor(QPalette::Base, Qt::white);
  viewport()->setPalette(palette);

  QScroller* scroller = QScroller::scroller(viewport());
  QScrollerProperties properties = scroller->scrollerProperties();
  // The table never shows content past its ends; a flick stops at them.
  properties.setScrollMetric(QScrollerProperties::VerticalOvershootPolicy, QScrollerProperties::OvershootAlwaysOff);
  properties.setScrollMetric(QScrollerProperties::HorizontalOvershootPolicy, QScrollerProperties::OvershootAlwaysOff);
  scroller->setScrollerProperties(properties);

  m_scrollAnimation.setDuration(kScrollMilliseconds);
  m_scrollAnimation.setEasingCurve(QEasingCurve::OutCubic);
  connect(&m_scrollAnimation, &QVariantAnimation::valueChanged, this,
          [this](const QVariant& value) { setOffset(value.toDouble()); });

  m_highlightTimer.setSingleShot(true);
  m_highlightTimer.setInterval(kHighlightMilliseconds);
  connect(&m_highlightTimer, &QTimer::timeout, this, [this] { setHighlighted(std::nullopt); });
}

TableView::~TableView() { m_scrollAnimation.stop(); }

void TableView::setDataSource(TableViewDataSource* dataSource) {
  m_dataSource = dataSource;
  reloadData();
}

void TableView::setDelegate(TableViewDelegate* delegate) {
  m_delegate = delegate;
  reloadData();
}

void TableView::setRowHeight(double height) {
  if (m_rowHeight == height) return;
  m_rowHeight = height;
  reloadData();
}

void TableView::setSeparatorColor(const QColor& color) {
  m_separatorColor = color;
  viewport()->update();
}

void TableView::reloadData() {
  for (const auto& [indexPath, cell] : m_visibleCells) recycle(cell);
  m_visibleCells.clear();
  for (const auto& [section, header] : m_visibleHeaders) {
    if (header) header->deleteLater();
  }
  m_visibleHeaders.clear();

  std::vector<TableLayout::SectionShape> sections;
  const int sectionCount = m_dataSource ? std::max(0, m_dataSource->numberOfSectionsInTableView(*this)) : 0;
  sections.reserve(sectionCount);
  std::optional<IndexPath> firstRow;
  for (int section = 0; section < sectionCount; ++section) {
    TableLayout::SectionShape shape;
    shape.rowCount = std::max(0, m_dataSource->numberOfRowsInSection(*this, section));
    if (m_delegate) shape.headerHeight = m_delegate->heightForHeaderInSection(*this, section);
    if (shape.rowCount > 0 && !firstRow) firstRow = IndexPath{section, 0};
    sections.push_back(shape);
  }

  // A delegate that answers one row with the default height answers all rows so.
  bool uniform = !m_delegate || !firstRow;
  if (!uniform) {
    m_defaultRowHeightAnswered = false;
    m_delegate->heightForRowAtIndexPath(*this, *firstRow);
    uniform = m_defaultRowHeightAnswered;
  }
  TableLayout::RowHeights heights;
  if (!uniform) {
    heights = [this](const IndexPath& indexPath) { return m_delegate->heightForRowAtIndexPath(*this, indexPath); };
  }
  m_layout.reset(sections, m_rowHeight, std::move(heights));
  layOutVisibleItems();
}

TableViewCell* TableView::dequeueReusableCellWithIdentifier(const QString& identifier) {
  auto pool = m_reusePool.find(identifier);
  if (identifier.isEmpty() || pool == m_reusePool.end() || pool->empty()) return nullptr;
  TableViewCell* cell = pool->back();
  pool->pop_back();
  cell->prepareForReuse();
  return cell;
}

void TableView::recycle(TableViewCell* cell) {
  cell->hide();
  cell->setHighlighted(false);
  if (cell->reuseIdentifier().isEmpty()) {
    // Nothing can ask for it again.
    cell->deleteLater();
    return;
  }
  m_reusePool[cell->reuseIdentifier()].push_back(cell);
}

TableViewCell* TableView::cellForRowAtIndexPath(const IndexPath& indexPath) const {
  const auto found = m_visibleCells.find(indexPath);
  return found == m_visibleCells.end() ? nullptr : found->second;
}

std::optional<IndexPath> TableView::indexPathForCell(const TableViewCell* cell) const {
  for (const auto& [indexPath, visible] : m_visibleCells) {
    if (visible == cell) return indexPath;
  }
  return std::nullopt;
}

std::optional<IndexPath> TableView::indexPathForRowAtPoint(const QPoint& viewportPoint) const {
  return m_layout.rowAt(viewportPoint.y() + offset());
}

std::vector<IndexPath> TableView::indexPathsForVisibleRows() const {
  std::vector<IndexPath> rows;
  rows.reserve(m_visibleCells.size());
  for (const auto& entry : m_visibleCells) rows.push_back(entry.first);
  return rows;
}

QRect TableView::rectForRowAtIndexPath(const IndexPath& indexPath) const {
  if (!m_layout.contains(indexPath)) return {};
  const double top = m_layout.rowTop(indexPath) - offset();
  const int edge = static_cast<int>(std::lround(top));
  return QRect(0, edge, viewport()->width(), static_cast<int>(std::lround(top + m_layout.rowHeight(indexPath))) - edge);
}

double TableView::offset() const { return verticalScrollBar()->value(); }

void TableView::setOffset(double offset) { verticalScrollBar()->setValue(static_cast<int>(std::lround(offset))); }

void TableView::updateScrollRange() {
  const double overflow = m_layout.contentHeight() - viewport()->height();
  verticalScrollBar()->setPageStep(viewport()->height());
  verticalScrollBar()->setRange(0, std::max(0, static_cast<int>(std::ceil(overflow))));
}

void TableView::scrollToRowAtIndexPath(const IndexPath& indexPath, ScrollPosition position, bool animated) {
  if (!m_layout.contains(indexPath)) {
    RP_LOG("no row " + std::to_string(indexPath.row) + " in section " + std::to_string(indexPath.section));
    return;
  }
  const double top = m_layout.rowTop(indexPath);
  const double height = m_layout.rowHeight(indexPath);
  const double visible = viewport()->height();
  double target = offset();
  switch (position) {
    case ScrollPosition::Top:
      target = top;
      break;
    case ScrollPosition::Middle:
      target = top - (visible - height) / 2;
      break;
    case ScrollPosition::Bottom:
      target = top + height - visible;
      break;
    case ScrollPosition::None:
      // Only as far as it takes to show the whole row.
      if (top < target) {
        target = top;
      } else if (top + height > target + visible) {
        target = top + height - visible;
      }
      break;
  }
  updateScrollRange();
  target = std::clamp(target, 0.0, static_cast<double>(verticalScrollBar()->maximum()));
  m_scrollAnimation.stop();
  QScroller::scroller(viewport())->stop();
  if (!animated || target == offset()) {
    setOffset(target);
    return;
  }
  m_scrollAnimation.setStartValue(offset());
  m_scrollAnimation.setEndValue(target);
  m_scrollAnimation.start();
}

bool TableView::isScrollAnimating() const {
  return m_scrollAnimation.state() == QAbstractAnimation::Running ||
         QScroller::scroller(viewport())->state() == QScroller::Scrolling;
}

void TableView::scrollContentsBy(int, int) {
  layOutVisibleItems();
  emit didScroll();
}

void TableView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  layOutVisibleItems();
}

void TableView::layOutVisibleItems() {
  if (m_layingOut) {
    m_layOutAgain = true;
    return;
  }
  const QScopedValueRollback guard(m_layingOut, true);
  do {
    m_layOutAgain = false;
    // The range first: the offset it may clamp decides what is visible.
    updateScrollRange();
    const TableLayout::Span span = m_layout.itemsBetween(offset(), offset() + viewport()->height());

    // Rows that left the screen give their cells up before new rows ask for cells.
    for (auto entry = m_visibleCells.begin(); entry != m_visibleCells.end();) {
      if (std::binary_search(span.rows.begin(), span.rows.end(), entry->first)) {
        ++entry;
      } else {
        recycle(entry->second);
        entry = m_visibleCells.erase(entry);
      }
    }
    for (const IndexPath& indexPath : span.rows) {
      TableViewCell* cell = cellForRowAtIndexPath(indexPath);
      if (!cell && m_dataSource) {
        cell = m_dataSource->cellForRowAtIndexPath(*this, indexPath);
        if (!cell) {
          RP_LOG("the data source gave no cell for row " + std::to_string(indexPath.row) + " in section " +
                 std::to_string(indexPath.section));
          continue;
        }
        m_visibleCells[indexPath] = cell;
      }
      if (cell) placeRow(indexPath, cell);
    }

    for (auto entry = m_visibleHeaders.begin(); entry != m_visibleHeaders.end();) {
      if (std::find(span.headers.begin(), span.headers.end(), entry->first) != span.headers.end()) {
        ++entry;
        continue;
      }
      if (entry->second) {
        entry->second->hide();
        entry->second->deleteLater();
      }
      entry = m_visibleHeaders.erase(entry);
    }
    for (int section : span.headers) {
      QPointer<QWidget>& header = m_visibleHeaders[section];
      if (!header && m_delegate) header = m_delegate->viewForHeaderInSection(*this, section);
      if (header) placeHeader(section, header);
    }
  } while (m_layOutAgain);
  viewport()->update();
}

void TableView::placeRow(const IndexPath& indexPath, TableViewCell* cell) {
  const QRect row = rectForRowAtIndexPath(indexPath);
  if (cell->parentWidget() != viewport()) cell->setParent(viewport());
  cell->setGeometry(row.x(), row.y(), row.width(), std::max(0, row.height() - kSeparatorHeight));
  cell->setHighlighted(m_highlighted == indexPath);
  cell->show();
}

void TableView::placeHeader(int section, QWidget* header) {
  const double top = m_layout.headerTop(section) - offset();
  const int edge = static_cast<int>(std::lround(top));
  if (header->parentWidget() != viewport()) header->setParent(viewport());
  header->setGeometry(0, edge, viewport()->width(),
                      static_cast<int>(std::lround(top + m_layout.headerHeight(section))) - edge);
  header->show();
}

void TableView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  for (const auto& [indexPath, cell] : m_visibleCells) {
    const QRect row = rectForRowAtIndexPath(indexPath);
    painter.fillRect(QRect(row.left(), row.bottom() + 1 - kSeparatorHeight, row.width(), kSeparatorHeight),
                     m_separatorColor);
  }
}

void TableView::setHighlighted(const std::optional<IndexPath>& indexPath) {
  if (m_highlighted) {
    if (TableViewCell* cell = cellForRowAtIndexPath(*m_highlighted)) cell->setHighlighted(false);
  }
  m_highlighted = indexPath;
  if (m_highlighted) {
    if (TableViewCell* cell = cellForRowAtIndexPath(*m_highlighted)) cell->setHighlighted(true);
  }
}

void TableView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  QScroller* scroller = QScroller::scroller(viewport());
  // A press that catches a moving list only stops it.
  m_pressStoppedScrolling = isScrollAnimating();
  m_scrollAnimation.stop();
  m_pressed = true;
  m_dragged = false;
  m_pressPosition = event->position().toPoint();
  scroller->handleInput(QScroller::InputPress, event->position(), event->timestamp());
  event->accept();
}

void TableView::mouseMoveEvent(QMouseEvent* event) {
  if (!m_pressed) {
    event->ignore();
    return;
  }
  if ((event->position().toPoint() - m_pressPosition).manhattanLength() >= kTapSlop) m_dragged = true;
  QScroller::scroller(viewport())->handleInput(QScroller::InputMove, event->position(), event->timestamp());
  event->accept();
}

void TableView::mouseReleaseEvent(QMouseEvent* event) {
  if (!m_pressed || event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  m_pressed = false;
  QScroller* scroller = QScroller::scroller(viewport());
  scroller->handleInput(QScroller::InputRelease, event->position(), event->timestamp());
  event->accept();
  if (!m_dragged && !m_pressStoppedScrolling) {
    scroller->stop();
    tap(event->position().toPoint());
  }
}

void TableView::tap(const QPoint& viewportPoint) {
  const std::optional<IndexPath> indexPath = indexPathForRowAtPoint(viewportPoint);
  if (!indexPath) return;
  setHighlighted(indexPath);
  m_highlightTimer.start();
  if (m_delegate) m_delegate->didSelectRowAtIndexPath(*this, *indexPath);
}

}  // namespace uikit
