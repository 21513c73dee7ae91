#include "platform/uikit/bar_button_item.h"

#include <QCoreApplication>

namespace uikit {

namespace {

QString titleOf(BarButtonItem::SystemItem item) {
  switch (item) {
    case BarButtonItem::SystemItem::Done:
      return QCoreApplication::translate("Localizable", "Ferdig");
    case BarButtonItem::SystemItem::Close:
      return QCoreApplication::translate("Localizable", "Lukk");
    case BarButtonItem::SystemItem::Refresh:
    case BarButtonItem::SystemItem::Settings:
      break;
  }
  return {};
}

BarButtonItem::Style styleOf(BarButtonItem::SystemItem item) {
  return item == BarButtonItem::SystemItem::Done ? BarButtonItem::Style::Done : BarButtonItem::Style::Bordered;
}

}  // namespace

BarButtonItem::BarButtonItem(const QString& title, Style style, QObject* parent)
    : QObject(parent), m_title(title), m_style(style) {}

BarButtonItem::BarButtonItem(SystemItem item, QObject* parent)
    : QObject(parent), m_title(titleOf(item)), m_style(styleOf(item)), m_systemItem(item) {}

void BarButtonItem::setTitle(const QString& title) {
  if (m_title == title) return;
  m_title = title;
  emit changed();
}

void BarButtonItem::setEnabled(bool enabled) {
  if (m_enabled == enabled) return;
  m_enabled = enabled;
  emit changed();
}

void BarButtonItem::trigger() {
  if (m_enabled) emit triggered();
}

}  // namespace uikit
