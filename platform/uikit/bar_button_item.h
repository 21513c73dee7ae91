#pragma once
// BarButtonItem: the description of a button on a navigation bar — a title or
// a system icon, a style and whether it is enabled; the bar draws it. Main
// thread only.

#include <QObject>
#include <QString>
#include <optional>

namespace uikit {

class BarButtonItem : public QObject {
  Q_OBJECT
 public:
  enum class Style { Plain = 0, Bordered = 1, Done = 2 };
  // Refresh draws a circular arrow and Settings a cog wheel; Done and Close
  // are bordered buttons with the words "Ferdig" and "Lukk".
  enum class SystemItem { Refresh, Done, Close, Settings };

  BarButtonItem(const QString& title, Style style, QObject* parent = nullptr);
  explicit BarButtonItem(SystemItem item, QObject* parent = nullptr);

  QString title() const { return m_title; }
  void setTitle(const QString& title);
  Style style() const { return m_style; }
  std::optional<SystemItem> systemItem() const { return m_systemItem; }
  bool isEnabled() const { return m_enabled; }
  void setEnabled(bool enabled);

  // Emits triggered() when enabled; what the bar's button does when clicked.
  void trigger();

 signals:
  void triggered();
  void changed();

 private:
  QString m_title;
  Style m_style;
  std::optional<SystemItem> m_systemItem;
  bool m_enabled = true;
};

}  // namespace uikit
