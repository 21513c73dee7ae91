#pragma once
// The alert and the action sheet built from button items: each button runs
// its item's action, so callers need no delegate. Each dialog is its own
// delegate; ownership as for any dialog (the window's while shown, deleted
// after dismissal). Main thread only.

#include "platform/uikit/action_sheet.h"
#include "platform/uikit/alert_view.h"
#include "ui/ub_button_item.h"

namespace ui {

class UBAlertView : public uikit::AlertView, private uikit::ButtonDialogDelegate {
  Q_OBJECT
 public:
  // The cancel item, when given, gets index 0 and the others follow in order.
  UBAlertView(const QString& title, const QString& message, std::shared_ptr<UBButtonItem> cancelItem,
              const UBButtonItems& otherItems);
  int addButtonItem(std::shared_ptr<UBButtonItem> item);

 private:
  void clickedButtonAtIndex(uikit::ButtonDialog& dialog, int index) override;
};

class UBActionSheet : public uikit::ActionSheet, private uikit::ButtonDialogDelegate {
  Q_OBJECT
 public:
  // The other items come first, then the destructive item, then the cancel item.
  UBActionSheet(const QString& title, std::shared_ptr<UBButtonItem> cancelItem,
                std::shared_ptr<UBButtonItem> destructiveItem, const UBButtonItems& otherItems);
  int addButtonItem(std::shared_ptr<UBButtonItem> item);

  // Runs at every dismissal, after the pressed button's action.
  void setDismissalAction(const UBButtonItem::Action& action);
  UBButtonItem::Action dismissalAction() const;

 private:
  void didDismissWithButtonIndex(uikit::ButtonDialog& dialog, int index) override;
};

}  // namespace ui
