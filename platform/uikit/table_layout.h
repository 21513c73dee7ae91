#pragma once
// TableLayout: where a table's section headers and rows lie in its content,
// one after another from the top. Row heights are either all equal (pure
// arithmetic) or asked for once each, only when a row is first needed. Main thread only.

#include <functional>
#include <optional>
#include <vector>

#include "platform/uikit/index_path.h"

namespace uikit {

class TableLayout {
 public:
  struct SectionShape {
    int rowCount = 0;
    double headerHeight = 0;
  };
  using RowHeights = std::function<double(const IndexPath&)>;

  // Every row is `rowHeight` high when `rowHeights` is empty; otherwise each
  // row is measured through it when first needed, and `rowHeight` stands in
  // for the rows not measured yet.
  void reset(const std::vector<SectionShape>& sections, double rowHeight, RowHeights rowHeights = {});

  int sectionCount() const { return static_cast<int>(m_sections.size()); }
  int rowCount(int section) const;
  bool contains(const IndexPath& indexPath) const;

  double contentHeight() const;
  double headerTop(int section) const;
  double headerHeight(int section) const;
  double rowTop(const IndexPath& indexPath) const;
  double rowHeight(const IndexPath& indexPath) const;

  // The row under content position `y`; none over a header or past the end.
  std::optional<IndexPath> rowAt(double y) const;

  // The rows and headers (of a height above 0) that overlap [top, bottom).
  struct Span {
    std::vector<int> headers;
    std::vector<IndexPath> rows;
  };
  Span itemsBetween(double top, double bottom) const;

 private:
  struct Section {
    int firstRow = 0;  // index of its first row counted over all sections
    int rowCount = 0;
    double headerHeight = 0;
    double headersThrough = 0;  // heights of the headers of this and every earlier section
  };

  bool isUniform() const { return !m_rowHeights; }
  double rowsBefore(int flat) const;
  double flatHeight(int flat) const;
  void measureThrough(int flat) const;
  void measureCovering(double y) const;
  int sectionOfFlat(int flat) const;
  double sectionTop(int section) const;
  bool sectionStartsBy(int section, double y) const;
  int sectionAt(double y) const;
  int rowWithin(int section, double y) const;

  std::vector<Section> m_sections;
  int m_totalRows = 0;
  double m_rowHeight = 0;
  RowHeights m_rowHeights;
  // Measured rows only: m_prefix[i] is the height of the rows before flat row i.
  mutable std::vector<double> m_prefix{0};
};

}  // namespace uikit
