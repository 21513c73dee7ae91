#pragma once
// AlertView: a phone alert — title, message and buttons in a rounded panel in
// the middle of the window. The cancel button, when there is one, has index 0.
// Main thread only; see ButtonDialog for ownership.

#include <QStringList>
#include <optional>

#include "platform/uikit/button_dialog.h"

namespace uikit {

class AlertView : public ButtonDialog {
  Q_OBJECT
 public:
  AlertView(const QString& title, const QString& message, ButtonDialogDelegate* delegate,
            const std::optional<QString>& cancelButtonTitle, const QStringList& otherButtonTitles = {});

 protected:
  void arrangePanel() override;
};

}  // namespace uikit
