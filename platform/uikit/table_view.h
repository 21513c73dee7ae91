#pragma once
// TableView: a vertically scrolling list of rows in sections that makes cells
// only for the rows on screen and hands cells that left it back out for reuse.
// Rows come from a data source, heights and headers from a delegate. Main thread only.

#include <QAbstractScrollArea>
#include <QColor>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QVariantAnimation>
#include <map>
#include <optional>
#include <vector>

#include "platform/uikit/index_path.h"
#include "platform/uikit/table_view_cell.h"

class QScrollBar;

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
  std::optional<IndexPath> indexPathForRowAtPoint(const QPoint& viewportPoint);
  std::vector<IndexPath> indexPathsForVisibleRows() const;
  // In viewport coordinates; empty for a row that does not exist.
  QRect rectForRowAtIndexPath(const IndexPath& indexPath);

  void scrollToRowAtIndexPath(const IndexPath& indexPath, ScrollPosition position, bool animated);
  bool isScrollAnimating() const;

  double rowHeight() const { return m_rowHeight; }
  void setRowHeight(double height);
  QColor separatorColor() const { return m_separatorColor; }
  void setSeparatorColor(const QColor& color);

  int numberOfSections() const { return static_cast<int>(m_sections.size()); }
  int numberOfRowsInSection(int section) const;

 signals:
  void didScroll();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  friend class TableViewDelegate;

  struct Section {
    int firstRow = 0;  // flat index of the section's first row
    int rowCount = 0;
    double headerHeight = 0;
    double headersAbove = 0;  // sum of the header heights of this and every earlier section
  };

  // Row geometry over the flat sequence of rows of every section.
  int flatIndex(const IndexPath& indexPath) const;
  IndexPath indexPathOfFlat(int flat) const;
  double rowsHeightBefore(int flat);
  double rowHeightAt(int flat);
  void measureRowsThrough(int flat);
  double contentHeight() const;
  double sectionTop(int section);
  double rowTop(int flat);
  int sectionAtContentY(double y);
  int rowAtContentY(int section, double y);

  void rebuildSections();
  void updateScrollRange();
  void layOutVisibleRows();
  void placeCell(TableViewCell* cell, int flat);
  void enqueue(TableViewCell* cell);
  void placeHeaders(double top, double bottom);
  bool isValid(const IndexPath& indexPath) const;
  double offset() const;
  void setOffset(double offset);
  void tap(const QPoint& viewportPoint);
  void clearHighlight();

  TableViewDataSource* m_dataSource = nullptr;
  TableViewDelegate* m_delegate = nullptr;
  double m_rowHeight = 44;
  QColor m_separatorColor{224, 224, 224};

  std::vector<Section> m_sections;
  int m_totalRows = 0;
  // Set while the delegate's default row height runs, so the table knows all rows are equal.
  bool m_defaultRowHeightAnswered = false;
  bool m_uniformRows = true;
  std::vector<double> m_rowPrefix;  // m_rowPrefix[i]: height of the flat rows before i, measured so far

  std::map<IndexPath, TableViewCell*> m_visibleCells;
  QHash<QString, std::vector<TableViewCell*>> m_reusePool;
  std::map<int, QPointer<QWidget>> m_visibleHeaders;
  std::optional<IndexPath> m_highlighted;
  bool m_layingOut = false;

  QScrollBar* m_indicator;
  QVariantAnimation m_scrollAnimation;
  QPoint m_pressPosition;
  bool m_pressed = false;
  bool m_dragging = false;
};

}  // namespace uikit
