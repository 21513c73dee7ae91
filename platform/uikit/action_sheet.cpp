#include "platform/uikit/action_sheet.h"

#include <QBoxLayout>
#include <QPushButton>

namespace uikit {

namespace {

constexpr int kCancelGap = 10;

constexpr const char* kSheetStyle = R"(
  #dialogPanel { background: rgba(40, 44, 52, 235); border-top: 1px solid rgba(255, 255, 255, 90); }
  #dialogTitle { color: rgb(200, 204, 212); font-size: 13px; }
  #dialogButton { color: black; font-weight: bold; font-size: 18px; min-height: 44px;
                  background: rgb(240, 240, 240); border: 1px solid rgb(20, 20, 20); border-radius: 8px; }
  #dialogButton:pressed { background: rgb(140, 160, 220); }
  #dialogButton[role="destructive"] { color: white; background: rgb(205, 40, 36); }
  #dialogButton[role="cancel"] { color: white; background: rgb(60, 62, 70); }
)";

}  // namespace

ActionSheet::ActionSheet(const QString& title, ButtonDialogDelegate* delegate) : ButtonDialog(title, {}, delegate) {
  setStyleSheet(kSheetStyle);
}

void ActionSheet::setDestructiveButtonIndex(int index) {
  m_destructiveButtonIndex = index;
  setButtonRole(index, "destructive");
}

void ActionSheet::arrangePanel() {
  // The cancel button is set apart at the bottom.
  layOutButtons(QBoxLayout::TopToBottom, CancelPlace::Last, kCancelGap);
  panel()->setFixedWidth(width());
  panel()->adjustSize();
  panel()->move(0, height() - panel()->height());
}

}  // namespace uikit
