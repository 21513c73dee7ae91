#pragma once
// The button items a dialog keeps with it, in button-index order, under the
// key "com.ubtools.BUTTONS" (and an action sheet's dismissal action under
// "com.ubtools.DISMISSAL_ACTION"). Main thread only.

#include <QObject>

#include "ui/ub_button_item.h"

namespace ui {

namespace ub {

inline constexpr const char* kButtonsKey = "com.ubtools.BUTTONS";
inline constexpr const char* kDismissalActionKey = "com.ubtools.DISMISSAL_ACTION";

void storeItems(QObject& dialog, const UBButtonItems& items);
UBButtonItems storedItems(const QObject& dialog);
void appendItem(QObject& dialog, std::shared_ptr<UBButtonItem> item);
// Runs the action of the item at `index`, if there is one.
void runItemAtIndex(const QObject& dialog, int index);
// Releases the items and with them their actions.
void dropItems(QObject& dialog);

void storeDismissalAction(QObject& dialog, const UBButtonItem::Action& action);
UBButtonItem::Action storedDismissalAction(const QObject& dialog);

}  // namespace ub

}  // namespace ui
