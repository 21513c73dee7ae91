// covers: action_sheet.cpp, alert_view.cpp, button_dialog.cpp
#include <gtest/gtest.h>

#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <QCoreApplication>
#include "platform/uikit/action_sheet.h"
#include "platform/uikit/alert_view.h"

namespace {

using uikit::ActionSheet;
using uikit::AlertView;
using uikit::ButtonDialog;

// Records what a dialog told its delegate, in order.
struct RecordingDelegate : uikit::ButtonDialogDelegate {
  std::vector<std::string> events;
  void clickedButtonAtIndex(ButtonDialog&, int index) override { events.push_back("clicked " + std::to_string(index)); }
  void didDismissWithButtonIndex(ButtonDialog&, int index) override {
    events.push_back("dismissed " + std::to_string(index));
  }
};

// Deferred deletions run only from a running event loop, not from processEvents.
bool deletedLater(const QPointer<ButtonDialog>& dialog) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return dialog.isNull();
}

class Dialogs : public testing::Test {
 protected:
  void SetUp() override {
    m_window.resize(320, 480);
    m_window.show();
  }
  QWidget m_window;
  RecordingDelegate m_delegate;
};

TEST_F(Dialogs, AlertNumbersTheCancelButtonFirst) {
  auto* alert = new AlertView("Tittel", "Melding", &m_delegate, QString("Avbryt"), {"Ja", "Kanskje"});
  EXPECT_EQ(alert->numberOfButtons(), 3);
  EXPECT_EQ(alert->cancelButtonIndex(), 0);
  EXPECT_EQ(alert->buttonTitleAtIndex(0), "Avbryt");
  EXPECT_EQ(alert->buttonTitleAtIndex(2), "Kanskje");
  EXPECT_EQ(alert->addButtonWithTitle("Nei"), 3);
  delete alert;

  AlertView withoutCancel("Tittel", "", &m_delegate, std::nullopt, {"OK"});
  EXPECT_EQ(withoutCancel.cancelButtonIndex(), -1);
  EXPECT_EQ(withoutCancel.buttonTitleAtIndex(0), "OK");
  EXPECT_EQ(withoutCancel.buttonTitleAtIndex(1), "");
}

TEST_F(Dialogs, APressedButtonIsReportedThenTheAlertGoesAway) {
  QPointer<ButtonDialog> alert = new AlertView("Tittel", "Melding", &m_delegate, QString("Avbryt"), {"Ja", "Kanskje"});
  alert->show(&m_window);
  EXPECT_TRUE(alert->isVisible());
  EXPECT_EQ(alert->geometry(), m_window.rect());
  QTest::mouseClick(alert->buttonAtIndex(2), Qt::LeftButton);
  EXPECT_EQ(m_delegate.events, (std::vector<std::string>{"clicked 2", "dismissed 2"}));
  EXPECT_TRUE(deletedLater(alert)) << "a dismissed alert deletes itself";
}

TEST_F(Dialogs, AlertButtonsStandSideBySideOnlyWhenThereAreTwo) {
  auto* pair = new AlertView("To", "", &m_delegate, QString("Avbryt"), {"OK"});
  pair->show(&m_window);
  QTest::qWait(1);
  EXPECT_LT(pair->buttonAtIndex(0)->x(), pair->buttonAtIndex(1)->x()) << "cancel on the left";
  EXPECT_EQ(pair->buttonAtIndex(0)->y(), pair->buttonAtIndex(1)->y());
  pair->dismissWithClickedButtonIndex(-1);

  auto* column = new AlertView("Tre", "", &m_delegate, QString("Avbryt"), {"En", "To"});
  column->show(&m_window);
  QTest::qWait(1);
  EXPECT_GT(column->buttonAtIndex(0)->y(), column->buttonAtIndex(2)->y()) << "cancel at the bottom of a column";
  EXPECT_LT(column->buttonAtIndex(1)->y(), column->buttonAtIndex(2)->y());
  column->dismissWithClickedButtonIndex(-1);
}

TEST_F(Dialogs, EscapePressesCancelOrDismissesWithoutAButton) {
  auto* alert = new AlertView("Tittel", "", &m_delegate, QString("Avbryt"), {"OK"});
  alert->show(&m_window);
  QTest::keyClick(alert, Qt::Key_Escape);
  auto* sheet = new ActionSheet("Velg", &m_delegate);
  sheet->addButtonWithTitle("En");
  sheet->show(&m_window);
  QTest::keyClick(sheet, Qt::Key_Escape);
  EXPECT_EQ(m_delegate.events, (std::vector<std::string>{"clicked 0", "dismissed 0", "dismissed -1"}));
}

TEST_F(Dialogs, ActionSheetRisesFromTheBottomWithMarkedButtons) {
  auto* sheet = new ActionSheet("Velg", &m_delegate);
  QPointer<ButtonDialog> guard(sheet);
  sheet->addButtonWithTitle("Del");
  sheet->setDestructiveButtonIndex(sheet->addButtonWithTitle("Slett"));
  sheet->setCancelButtonIndex(sheet->addButtonWithTitle("Avbryt"));
  sheet->show(&m_window);
  QTest::qWait(1);
  EXPECT_EQ(sheet->destructiveButtonIndex(), 1);
  EXPECT_EQ(sheet->buttonAtIndex(1)->property("role").toString(), "destructive");
  EXPECT_EQ(sheet->buttonAtIndex(2)->property("role").toString(), "cancel");
  const QWidget* panel = sheet->buttonAtIndex(0)->parentWidget();
  EXPECT_EQ(panel->geometry().bottom(), m_window.rect().bottom());
  EXPECT_EQ(panel->width(), m_window.width());

  m_window.resize(400, 600);
  QTest::qWait(1);
  EXPECT_EQ(sheet->geometry(), m_window.rect()) << "the sheet follows its window's size";

  sheet->dismissWithClickedButtonIndex(-1);
  sheet->dismissWithClickedButtonIndex(-1);
  EXPECT_EQ(m_delegate.events, std::vector<std::string>{"dismissed -1"}) << "dismissed once";
  EXPECT_TRUE(deletedLater(guard));
}

}  // namespace
