#pragma once
// ActionSheet: a phone action sheet — a title over a column of buttons that
// rises from the bottom of the window; one button may be marked destructive
// and one as the cancel button. Main thread only; see ButtonDialog for ownership.

#include "platform/uikit/button_dialog.h"

namespace uikit {

class ActionSheet : public ButtonDialog {
  Q_OBJECT
 public:
  ActionSheet(const QString& title, ButtonDialogDelegate* delegate);

  int destructiveButtonIndex() const { return m_destructiveButtonIndex; }
  void setDestructiveButtonIndex(int index);

 protected:
  void arrangePanel() override;

 private:
  int m_destructiveButtonIndex = -1;
};

}  // namespace uikit
