#pragma once
// TableView: a vertically scrolling list of rows in sections that makes cells
// only for the rows on screen and hands cells that left it back out for reuse.
// Rows come from a data source, heights and headers from a delegate. Main thread only.

#include <QAbstractScrollArea>
#include <QColor>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QVariantAnimation>
#include <map>
#include <optional>
#include <vector>

#include "platform/uikit/index_path.h"
#include "platform/uikit/table_layout.h"
#include "platform/uikit/table_view_cell.h"

namespace uikit {

class TableView;

// Supplies the rows; not owned by the table.
class TableViewDataSource {
 public:
  virtual int numberOfSectionsInTableView(TableView&) { return 1; }
  virtual int numberOfRowsInSection(TableView&, int section) = 0;
  // The table takes ownership of the cell.
  virtual TableViewCell* cellForRowAtIndexPath(TableView&, const IndexPath&) = 0;

 protected:
  ~TableViewDataSource() = default;
};

// Heights, headers and taps; not owned by the table; every message is optional.
class TableViewDelegate {
 public:
  // Default: the table's rowHeight(). A delegate that keeps the default lets
  // the table place rows by arithmetic alone.
  virtual double heightForRowAtIndexPath(TableView& table, const IndexPath&);
  virtual double heightForHeaderInSection(TableView&, int) { return 0; }
  // The table takes ownership of the view.
  virtual QWidget* viewForHeaderInSection(TableView&, int) { return nullptr; }
  virtual void didSelectRowAtIndexPath(TableView&, const IndexPath&) {}

 protected:
  ~TableViewDelegate() = default;
};

class TableView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  enum class ScrollPosition { None, Top, Middle, Bottom };

  explicit TableView(QWidget* parent = nullptr);
  ~TableView() override;

  void setDataSource(TableViewDataSource* dataSource);
  void setDelegate(TableViewDelegate* delegate);

  // Puts the visible cells into the reuse pool and asks the data source again.
  void reloadData();
  // A cell that left the screen under `identifier`, or nullptr.
  TableViewCell* dequeueReusableCellWithIdentifier(const QString& identifier);

  // nullptr when the row is not on screen.
  TableViewCell* cellForRowAtIndexPath(const IndexPath& indexPath) const;
  std::optional<IndexPath> indexPathForCell(const TableViewCell* cell) const;
  std::optional<IndexPath> indexPathForRowAtPoint(const QPoint& viewportPoint) const;
  std::vector<IndexPath> indexPathsForVisibleRows() const;
  // In viewport coordinates; empty for a row that does not exist.
  QRect rectForRowAtIndexPath(const IndexPath& indexPath) const;

  void scrollToRowAtIndexPath(const IndexPath& indexPath, ScrollPosition position, bool animated);
  bool isScrollAnimating() const;

  double rowHeight() const { return m_rowHeight; }
  void setRowHeight(double height);
  QColor separatorColor() const { return m_separatorColor; }
  void setSeparatorColor(const QColor& color);

  int numberOfSections() const { return m_layout.sectionCount(); }
  int numberOfRowsInSection(int section) const { return m_layout.rowCount(section); }

 signals:
  void didScroll();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  friend class TableViewDelegate;

  double offset() const;
  void setOffset(double offset);
  void updateScrollRange();
  // Gives every row and header on screen its widget, and takes them from the rest.
  void layOutVisibleItems();
  void placeRow(const IndexPath& indexPath, TableViewCell* cell);
  void placeHeader(int section, QWidget* header);
  void recycle(TableViewCell* cell);
  void tap(const QPoint& viewportPoint);
  void setHighlighted(const std::optional<IndexPath>& indexPath);

  TableViewDataSource* m_dataSource = nullptr;
  TableViewDelegate* m_delegate = nullptr;
  double m_rowHeight = 44;
  QColor m_separatorColor{224, 224, 224};
  TableLayout m_layout;
  // Set while the delegate's default row height runs: then all rows are equal.
  bool m_defaultRowHeightAnswered = false;

  std::map<IndexPath, TableViewCell*> m_visibleCells;
  QHash<QString, std::vector<TableViewCell*>> m_reusePool;
  std::map<int, QPointer<QWidget>> m_visibleHeaders;
  std::optional<IndexPath> m_highlighted;
  QTimer m_highlightTimer;
  bool m_layOutAgain = false;
  bool m_layingOut = false;

  QVariantAnimation m_scrollAnimation;
  QPoint m_pressPosition;
  bool m_pressed = false;
  bool m_pressStoppedScrolling = false;
  bool m_dragged = false;
};

}  // namespace uikit
