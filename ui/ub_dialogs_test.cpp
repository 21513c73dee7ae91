// covers: ub_dialogs.cpp, ub_dialog_items.cpp
#include "ui/ub_dialogs.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QWidget>

#include "ui/ub_dialog_items.h"

namespace ui {

namespace {

// An item whose action notes its label in a shared log.
std::shared_ptr<UBButtonItem> loggingItem(const QString& label, std::vector<QString>& log) {
  auto item = UBButtonItem::itemWithLabel(label);
  item->setAction([&log, label] { log.push_back(label); });
  return item;
}

class BlockDialogs : public testing::Test {
 protected:
  void SetUp() override {
    m_window.resize(320, 480);
    m_window.show();
  }
  QWidget m_window;
  std::vector<QString> m_log;
};

TEST_F(BlockDialogs, AlertItemsFollowTheButtonIndexes) {
  auto* alert = new UBAlertView("Slå av?", "", loggingItem("Avbryt", m_log),
                                {loggingItem("Ja", m_log), loggingItem("Nei", m_log)});
  const UBButtonItems items = ub::storedItems(*alert);
  ASSERT_EQ(items.size(), 3u);
  for (int index = 0; index < 3; ++index) {
    EXPECT_EQ(items[static_cast<std::size_t>(index)]->label(), alert->buttonTitleAtIndex(index));
  }
  EXPECT_EQ(alert->buttonTitleAtIndex(0), "Avbryt");
  EXPECT_EQ(alert->addButtonItem(loggingItem("Kanskje", m_log)), 3);
  EXPECT_EQ(ub::storedItems(*alert).back()->label(), "Kanskje");

  alert->show(&m_window);
  QTest::mouseClick(alert->buttonAtIndex(2), Qt::LeftButton);
  EXPECT_EQ(m_log, std::vector<QString>{"Nei"});
}

TEST_F(BlockDialogs, AfterAnyButtonTheAlertReleasesItsItems) {
  auto cancel = loggingItem("Avbryt", m_log);
  auto silent = UBButtonItem::itemWithLabel("Uten handling");
  std::weak_ptr<UBButtonItem> watchedCancel = cancel;
  std::weak_ptr<UBButtonItem> watchedSilent = silent;
  auto* alert = new UBAlertView("Tittel", "Melding", std::move(cancel), {std::move(silent)});
  EXPECT_FALSE(watchedSilent.expired());
  alert->show(&m_window);
  QTest::mouseClick(alert->buttonAtIndex(1), Qt::LeftButton);
  EXPECT_TRUE(m_log.empty()) << "an item without an action does nothing";
  EXPECT_TRUE(watchedCancel.expired());
  EXPECT_TRUE(watchedSilent.expired());
}

TEST_F(BlockDialogs, AButtonWithoutAnItemRunsNothing) {
  auto* alert = new UBAlertView("Tittel", "", nullptr, {loggingItem("OK", m_log)});
  EXPECT_EQ(alert->cancelButtonIndex(), -1);
  const int bare = alert->addButtonWithTitle("Uten element");
  alert->show(&m_window);
  QTest::mouseClick(alert->buttonAtIndex(bare), Qt::LeftButton);
  EXPECT_TRUE(m_log.empty());
}

TEST_F(BlockDialogs, ActionSheetOrdersOthersThenDestructiveThenCancel) {
  auto* sheet = new UBActionSheet("Velg", loggingItem("Avbryt", m_log), loggingItem("Slett", m_log),
                                  {loggingItem("Del", m_log), loggingItem("Kopier", m_log)});
  EXPECT_EQ(sheet->buttonTitleAtIndex(0), "Del");
  EXPECT_EQ(sheet->buttonTitleAtIndex(1), "Kopier");
  EXPECT_EQ(sheet->destructiveButtonIndex(), 2);
  EXPECT_EQ(sheet->cancelButtonIndex(), 3);
  EXPECT_EQ(ub::storedItems(*sheet)[3]->label(), "Avbryt");
  sheet->setDismissalAction([this] { m_log.push_back("dismissed"); });
  sheet->show(&m_window);
  QTest::mouseClick(sheet->buttonAtIndex(2), Qt::LeftButton);
  EXPECT_EQ(m_log, (std::vector<QString>{"Slett", "dismissed"}));
  EXPECT_TRUE(ub::storedItems(*sheet).empty());
  EXPECT_FALSE(sheet->dismissalAction());
}

TEST_F(BlockDialogs, DismissingASheetWithoutAButtonRunsOnlyTheDismissalAction) {
  auto* sheet = new UBActionSheet("Velg", loggingItem("Avbryt", m_log), nullptr, {loggingItem("Del", m_log)});
  EXPECT_EQ(sheet->destructiveButtonIndex(), -1);
  EXPECT_EQ(sheet->cancelButtonIndex(), 1);
  sheet->setDismissalAction([this] { m_log.push_back("dismissed"); });
  sheet->show(&m_window);
  sheet->dismissWithClickedButtonIndex(-1);
  EXPECT_EQ(m_log, std::vector<QString>{"dismissed"});
}

}  // namespace

}  // namespace ui
