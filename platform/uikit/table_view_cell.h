#pragma once
// TableViewCell: one row of a TableView — a background, a content view that
// holds the row's widgets (a label in the default style) and an optional check
// mark at the right. Reused by the table under its identifier. Main thread only.

#include <QColor>
#include <QString>
#include <QWidget>

class QLabel;

namespace uikit {

class TableViewCell : public QWidget {
  Q_OBJECT
 public:
  enum class Style { Default };
  enum class AccessoryType { None, Checkmark };

  // For cells built from .ui files; the reuse identifier is empty.
  explicit TableViewCell(QWidget* parent = nullptr);
  TableViewCell(Style style, const QString& reuseIdentifier, QWidget* parent = nullptr);

  QString reuseIdentifier() const { return m_reuseIdentifier; }
  void setReuseIdentifier(const QString& identifier) { m_reuseIdentifier = identifier; }

  // The default style's label, inside contentView().
  QLabel* textLabel() const { return m_textLabel; }
  // The area for the row's widgets: the cell less the accessory.
  QWidget* contentView() const { return m_contentView; }

  AccessoryType accessoryType() const { return m_accessoryType; }
  void setAccessoryType(AccessoryType type);

  QColor backgroundColor() const { return m_backgroundColor; }
  void setBackgroundColor(const QColor& color);

  // Shown while the row is being tapped; the table sets it.
  bool isHighlighted() const { return m_highlighted; }
  void setHighlighted(bool highlighted);

  // Called when the table hands the cell out again; clears the highlight.
  virtual void prepareForReuse();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void layOutContent();

  QString m_reuseIdentifier;
  QWidget* m_contentView;
  QLabel* m_textLabel;
  AccessoryType m_accessoryType = AccessoryType::None;
  QColor m_backgroundColor{Qt::white};
  bool m_highlighted = false;
};

}  // namespace uikit
