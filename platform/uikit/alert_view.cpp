#include "platform/uikit/alert_view.h"

#include <QBoxLayout>
#include <QPushButton>

namespace uikit {

namespace {

constexpr int kAlertWidth = 284;
constexpr int kButtonsSideBySide = 2;

constexpr const char* kAlertStyle = R"(
  #dialogPanel { background: rgba(4, 17, 57, 220); border: 2px solid rgba(255, 255, 255, 200); border-radius: 10px; }
  #dialogTitle { color: white; font-weight: bold; font-size: 17px; }
  #dialogMessage { color: white; font-size: 15px; }
  #dialogButton { color: white; font-weight: bold; font-size: 16px; min-height: 40px;
                  background: rgba(255, 255, 255, 40); border: 1px solid rgba(255, 255, 255, 110); border-radius: 6px; }
  #dialogButton:pressed { background: rgba(255, 255, 255, 110); }
  #dialogButton[role="cancel"] { background: rgba(0, 0, 0, 70); }
)";

}  // namespace

AlertView::AlertView(const QString& title, const QString& message, ButtonDialogDelegate* delegate,
                     const std::optional<QString>& cancelButtonTitle, const QStringList& otherButtonTitles)
    : ButtonDialog(title, message, delegate) {
  setStyleSheet(kAlertStyle);
  if (cancelButtonTitle) setCancelButtonIndex(addButtonWithTitle(*cancelButtonTitle));
  for (const QString& other : otherButtonTitles) addButtonWithTitle(other);
}

void AlertView::arrangePanel() {
  // Two buttons stand side by side, the cancel button on the left; more stand
  // in a column with the cancel button last.
  const bool sideBySide = numberOfButtons() == kButtonsSideBySide;
  layOutButtons(sideBySide ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom,
                sideBySide ? CancelPlace::First : CancelPlace::Last, 0);

  const int width = std::min(kAlertWidth, this->width());
  panel()->setFixedWidth(width);
  panel()->adjustSize();
  panel()->move((this->width() - width) / 2, (height() - panel()->height()) / 2);
}

}  // namespace uikit
