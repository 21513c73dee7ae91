#include "ui/ub_dialogs.h"

#include "ui/ub_dialog_items.h"

namespace ui {

namespace {

std::optional<QString> labelOf(const std::shared_ptr<UBButtonItem>& item) {
  return item ? std::optional(item->label()) : std::nullopt;
}

}  // namespace

UBAlertView::UBAlertView(const QString& title, const QString& message, std::shared_ptr<UBButtonItem> cancelItem,
                         const UBButtonItems& otherItems)
    : uikit::AlertView(title, message, nullptr, labelOf(cancelItem)) {
  setDelegate(this);
  UBButtonItems items;
  // The alert gives its cancel button index 0, so its item leads the list.
  if (cancelItem) items.push_back(std::move(cancelItem));
  for (const auto& item : otherItems) {
    addButtonWithTitle(item->label());
    items.push_back(item);
  }
  ub::storeItems(*this, items);
}

int UBAlertView::addButtonItem(std::shared_ptr<UBButtonItem> item) {
  const int index = addButtonWithTitle(item->label());
  ub::appendItem(*this, std::move(item));
  return index;
}

void UBAlertView::clickedButtonAtIndex(uikit::ButtonDialog&, int index) {
  ub::runItemAtIndex(*this, index);
  ub::dropItems(*this);
}

UBActionSheet::UBActionSheet(const QString& title, std::shared_ptr<UBButtonItem> cancelItem,
                             std::shared_ptr<UBButtonItem> destructiveItem, const UBButtonItems& otherItems)
    : uikit::ActionSheet(title, nullptr) {
  setDelegate(this);
  for (const auto& item : otherItems) addButtonItem(item);
  if (destructiveItem) setDestructiveButtonIndex(addButtonItem(std::move(destructiveItem)));
  if (cancelItem) setCancelButtonIndex(addButtonItem(std::move(cancelItem)));
}

int UBActionSheet::addButtonItem(std::shared_ptr<UBButtonItem> item) {
  const int index = addButtonWithTitle(item->label());
  ub::appendItem(*this, std::move(item));
  return index;
}

void UBActionSheet::setDismissalAction(const UBButtonItem::Action& action) { ub::storeDismissalAction(*this, action); }

UBButtonItem::Action UBActionSheet::dismissalAction() const { return ub::storedDismissalAction(*this); }

void UBActionSheet::didDismissWithButtonIndex(uikit::ButtonDialog&, int index) {
  ub::runItemAtIndex(*this, index);
  if (const UBButtonItem::Action action = dismissalAction()) action();
  ub::dropItems(*this);
  ub::storeDismissalAction(*this, {});
}

}  // namespace ui
