#include "ui/ub_dialog_items.h"

#include <QVariant>

Q_DECLARE_METATYPE(ui::UBButtonItems)
Q_DECLARE_METATYPE(ui::UBButtonItem::Action)

namespace ui {

namespace ub {

void storeItems(QObject& dialog, const UBButtonItems& items) {
  dialog.setProperty(kButtonsKey, QVariant::fromValue(items));
}

UBButtonItems storedItems(const QObject& dialog) { return dialog.property(kButtonsKey).value<UBButtonItems>(); }

void appendItem(QObject& dialog, std::shared_ptr<UBButtonItem> item) {
  UBButtonItems items = storedItems(dialog);
  items.push_back(std::move(item));
  storeItems(dialog, items);
}

void runItemAtIndex(const QObject& dialog, int index) {
  const UBButtonItems items = storedItems(dialog);
  // A button added without an item has no entry; it runs nothing.
  if (index < 0 || static_cast<std::size_t>(index) >= items.size()) return;
  const std::shared_ptr<UBButtonItem>& item = items[static_cast<std::size_t>(index)];
  if (item && item->action()) item->action()();
}

void dropItems(QObject& dialog) { dialog.setProperty(kButtonsKey, QVariant()); }

void storeDismissalAction(QObject& dialog, const UBButtonItem::Action& action) {
  dialog.setProperty(kDismissalActionKey, action ? QVariant::fromValue(action) : QVariant());
}

UBButtonItem::Action storedDismissalAction(const QObject& dialog) {
  return dialog.property(kDismissalActionKey).value<UBButtonItem::Action>();
}

}  // namespace ub

}  // namespace ui
