#include "platform/uikit/table_layout.h"

#include <algorithm>
#include <cmath>

namespace uikit {

void TableLayout::reset(const std::vector<SectionShape>& sections, double rowHeight, RowHeights rowHeights) {
  m_sections.clear();
  m_sections.reserve(sections.size());
  m_totalRows = 0;
  double headers = 0;
  for (const SectionShape& shape : sections) {
    const int rows = std::max(0, shape.rowCount);
    const double headerHeight = std::max(0.0, shape.headerHeight);
    headers += headerHeight;
    m_sections.push_back({m_totalRows, rows, headerHeight, headers});
    m_totalRows += rows;
  }
  m_rowHeight = std::max(0.0, rowHeight);
  m_rowHeights = std::move(rowHeights);
  m_prefix.assign(1, 0.0);
}

int TableLayout::rowCount(int section) const {
  return section >= 0 && section < sectionCount() ? m_sections[section].rowCount : 0;
}

bool TableLayout::contains(const IndexPath& indexPath) const {
  return indexPath.row >= 0 && indexPath.row < rowCount(indexPath.section);
}

void TableLayout::measureThrough(int flat) const {
  const int last = std::min(flat, m_totalRows - 1);
  for (int next = static_cast<int>(m_prefix.size()) - 1; next <= last; ++next) {
    const int section = sectionOfFlat(next);
    const double height = m_rowHeights({section, next - m_sections[section].firstRow});
    m_prefix.push_back(m_prefix.back() + (std::isfinite(height) ? std::max(0.0, height) : m_rowHeight));
  }
}

double TableLayout::rowsBefore(int flat) const {
  if (isUniform()) return flat * m_rowHeight;
  measureThrough(flat - 1);
  return m_prefix[flat];
}

double TableLayout::flatHeight(int flat) const { return rowsBefore(flat + 1) - rowsBefore(flat); }

int TableLayout::sectionOfFlat(int flat) const {
  const auto after = std::upper_bound(m_sections.begin(), m_sections.end(), flat,
                                      [](int value, const Section& section) { return value < section.firstRow; });
  return static_cast<int>(after - m_sections.begin()) - 1;
}

double TableLayout::contentHeight() const {
  if (m_sections.empty()) return 0;
  const double headers = m_sections.back().headersThrough;
  if (isUniform()) return headers + m_totalRows * m_rowHeight;
  const int measured = static_cast<int>(m_prefix.size()) - 1;
  return headers + m_prefix.back() + (m_totalRows - measured) * m_rowHeight;
}

double TableLayout::sectionTop(int section) const {
  const Section& shape = m_sections[section];
  return shape.headersThrough - shape.headerHeight + rowsBefore(shape.firstRow);
}

double TableLayout::headerTop(int section) const {
  return section >= 0 && section < sectionCount() ? sectionTop(section) : 0;
}

double TableLayout::headerHeight(int section) const {
  return section >= 0 && section < sectionCount() ? m_sections[section].headerHeight : 0;
}

double TableLayout::rowTop(const IndexPath& indexPath) const {
  if (!contains(indexPath)) return 0;
  const Section& section = m_sections[indexPath.section];
  return section.headersThrough + rowsBefore(section.firstRow + indexPath.row);
}

double TableLayout::rowHeight(const IndexPath& indexPath) const {
  return contains(indexPath) ? flatHeight(m_sections[indexPath.section].firstRow + indexPath.row) : 0;
}

void TableLayout::measureCovering(double y) const {
  // Rows are measured in order until one starts below y, so that every
  // position up to y is known exactly.
  while (static_cast<int>(m_prefix.size()) - 1 < m_totalRows) {
    const int next = static_cast<int>(m_prefix.size()) - 1;
    if (m_sections[sectionOfFlat(next)].headersThrough + m_prefix.back() > y) return;
    measureThrough(next);
  }
}

bool TableLayout::sectionStartsBy(int section, double y) const {
  // After measureCovering(y), a section beyond the measured rows starts below y.
  if (!isUniform() && m_sections[section].firstRow > static_cast<int>(m_prefix.size()) - 1) return false;
  return sectionTop(section) <= y;
}

int TableLayout::sectionAt(double y) const {
  if (!isUniform()) measureCovering(y);
  int low = 0;
  int high = sectionCount() - 1;
  while (low < high) {
    const int middle = (low + high + 1) / 2;
    if (sectionStartsBy(middle, y)) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return low;
}

int TableLayout::rowWithin(int section, double y) const {
  const Section& shape = m_sections[section];
  const double rowsTop = shape.headersThrough + rowsBefore(shape.firstRow);
  if (y < rowsTop || shape.rowCount == 0) return 0;
  if (isUniform()) {
    const int row = m_rowHeight > 0 ? static_cast<int>((y - rowsTop) / m_rowHeight) : 0;
    return std::min(row, shape.rowCount - 1);
  }
  measureCovering(y);
  const double rowsY = y - shape.headersThrough;
  const auto begin = m_prefix.begin() + shape.firstRow;
  const auto end = m_prefix.begin() + std::min<int>(shape.firstRow + shape.rowCount, m_prefix.size() - 1);
  const auto after = std::upper_bound(begin + 1, end + 1, rowsY);
  return std::min(static_cast<int>(after - begin) - 1, shape.rowCount - 1);
}

std::optional<IndexPath> TableLayout::rowAt(double y) const {
  if (m_sections.empty() || y < 0) return std::nullopt;
  const int section = sectionAt(y);
  const Section& shape = m_sections[section];
  if (shape.rowCount == 0 || y < shape.headersThrough + rowsBefore(shape.firstRow)) return std::nullopt;
  const IndexPath row{section, rowWithin(section, y)};
  if (y >= rowTop(row) + rowHeight(row)) return std::nullopt;
  return row;
}

TableLayout::Span TableLayout::itemsBetween(double top, double bottom) const {
  Span span;
  if (m_sections.empty() || bottom <= top) return span;
  const int first = sectionAt(std::max(0.0, top));
  int row = rowWithin(first, top);
  for (int section = first; section < sectionCount(); ++section, row = 0) {
    const Section& shape = m_sections[section];
    const double header = sectionTop(section);
    if (header >= bottom) break;
    if (shape.headerHeight > 0 && header + shape.headerHeight > top) span.headers.push_back(section);
    double y = shape.headersThrough + rowsBefore(shape.firstRow + row);
    for (; row < shape.rowCount && y < bottom; ++row) {
      const double height = flatHeight(shape.firstRow + row);
      if (y + height > top) span.rows.push_back({section, row});
      y += height;
    }
    if (y >= bottom) break;
  }
  return span;
}

}  // namespace uikit
