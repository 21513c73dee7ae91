// The settings screen driven through its widgets: the rows the count list
// shows for a number of stored records, the check mark, what each choice
// stores, and whether the presenter sees a change.
#include "app/settings_view_controller.h"

#include <QLabel>

#include "app/bundle_info.h"
#include "app/manage_modal_view.h"
#include "app/screen_fixture.h"
#include "platform/uikit/switch.h"
#include "platform/uikit/table_view_cell.h"

namespace app {

namespace {

struct Presenter : IManageModalView {
  void modalViewControllerDidFinish(uikit::ViewController& screen) override {
    finished = &screen;
    changed = static_cast<SettingsViewController&>(screen).didChangeSettings();
  }
  uikit::ViewController* finished = nullptr;
  bool changed = false;
};

class SettingsScreen : public rp::test::ScreenFixture {
 protected:
  // Opens the screen as the main screen would, with `records` stored.
  SettingsViewController& open(int records) {
    addRecords(records);
    m_screen = std::make_unique<SettingsViewController>();
    m_screen->setDelegate(&m_presenter);
    showScreen(*m_screen);
    return *m_screen;
  }
  uikit::TableView& table() { return *m_screen->findChild<uikit::TableView*>("importCountSelectionTableView"); }
  uikit::Switch& approvedSwitch() { return *m_screen->findChild<uikit::Switch*>("approvedSwitch"); }

  // The visible rows as "label" or "label ✓".
  std::vector<std::string> rows() {
    std::vector<std::string> shown;
    for (const uikit::IndexPath& path : table().indexPathsForVisibleRows()) {
      const uikit::TableViewCell* cell = table().cellForRowAtIndexPath(path);
      std::string row = cell->textLabel()->text().toStdString();
      if (cell->accessoryType() == uikit::TableViewCell::AccessoryType::Checkmark) row += " ✓";
      shown.push_back(row);
    }
    return shown;
  }
  void tapRow(int row) {
    const QRect area = table().rectForRowAtIndexPath({0, row});
    QTest::mouseClick(table().viewport(), Qt::LeftButton, {}, area.center());
    settle();
  }
  void close() {
    clickBarButton(*m_screen->findChild<uikit::NavigationBar*>("aNavigationBar"),
                   m_screen->navigationBarTitle().rightBarButtonItem());
  }

  Presenter m_presenter;
  std::unique_ptr<SettingsViewController> m_screen;
};

TEST_F(SettingsScreen, OneRowPerHundredRecordsAndTheLastImportsAll) {
  using Rows = std::vector<std::string>;
  settings().setInteger(ImportNumberKey, 100);
  EXPECT_EQ(open(0).rowCount(), 1u);
  EXPECT_EQ(rows(), (Rows{"Importer alle"}));
}

TEST_F(SettingsScreen, TwoHundredAndFiftyRecordsGiveTwoCountsAndTheCheckMarkOnTheStoredOne) {
  settings().setInteger(ImportNumberKey, 200);
  EXPECT_EQ(open(250).rowCount(), 3u);
  EXPECT_EQ(rows(), (std::vector<std::string>{"100", "200 ✓", "Importer alle"}));
}

TEST_F(SettingsScreen, BoundariesOfTheRowCount) {
  for (const auto& [records, expected] : {std::pair{99, 1u}, {100, 2u}, {199, 2u}, {200, 3u}, {300, 4u}}) {
    store::RecordStore::cleanUp();
    store::RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(
        m_folder.filePath("list" + QString::number(records) + ".sqlite").toStdString());
    EXPECT_EQ(open(records).rowCount(), expected) << records << " records";
  }
}

TEST_F(SettingsScreen, AStoredCountNoRowShowsLeavesEveryRowUnchecked) {
  // The device default of 7000 with far fewer records stored.
  open(150);
  EXPECT_EQ(m_screen->selectedImportOption(), 7000);
  EXPECT_EQ(rows(), (std::vector<std::string>{"100", "Importer alle"}));
}

TEST_F(SettingsScreen, ChoosingACountStoresItMovesTheCheckMarkAndReportsAChange) {
  settings().setInteger(ImportNumberKey, 100);
  open(350);
  tapRow(2);
  EXPECT_EQ(settings().integerForKey(ImportNumberKey), 300);
  EXPECT_EQ(rows(), (std::vector<std::string>{"100", "200", "300 ✓", "Importer alle"}));
  close();
  EXPECT_EQ(m_presenter.finished, m_screen.get());
  EXPECT_TRUE(m_presenter.changed);
}

TEST_F(SettingsScreen, ChoosingTheCheckedCountChangesNothing) {
  settings().setInteger(ImportNumberKey, 200);
  open(250);
  tapRow(1);
  EXPECT_FALSE(m_screen->didChangeSettings());
  EXPECT_EQ(settings().integerForKey(ImportNumberKey), 200);
}

TEST_F(SettingsScreen, ImportAllStoresMinusOneAndCountsAsAChangeEveryTime) {
  settings().setInteger(ImportNumberKey, -1);
  open(120);
  EXPECT_EQ(rows(), (std::vector<std::string>{"100", "Importer alle ✓"}));
  settings().setInteger(ImportNumberKey, 555);  // a write the screen must overwrite
  tapRow(1);
  EXPECT_EQ(settings().integerForKey(ImportNumberKey), -1);
  EXPECT_TRUE(m_screen->didChangeSettings());
}

TEST_F(SettingsScreen, TheApprovedSwitchStoresOneOrZeroAndShowsTheStoredChoice) {
  settings().setInteger(ImportApprovedKey, 1);
  open(10);
  EXPECT_TRUE(approvedSwitch().isOn());
  QTest::mouseClick(&approvedSwitch(), Qt::LeftButton);
  settle();
  EXPECT_EQ(settings().integerForKey(ImportApprovedKey), 0);
  QTest::mouseClick(&approvedSwitch(), Qt::LeftButton);
  settle();
  EXPECT_EQ(settings().integerForKey(ImportApprovedKey), 1);
  EXPECT_TRUE(m_screen->didChangeSettings());
}

TEST_F(SettingsScreen, ClosingWithoutTouchingAnythingReportsNoChange) {
  open(500);
  close();
  EXPECT_EQ(m_presenter.finished, m_screen.get());
  EXPECT_FALSE(m_presenter.changed);
}

TEST_F(SettingsScreen, HeaderVersionAndTexts) {
  open(0);
  EXPECT_EQ(m_screen->navigationBarTitle().title(), "Innstillinger");
  const auto* header = table().findChild<QLabel*>("importCountHeaderLabel");
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->text(), "ANTALL TLFNUMMER SOM IMPORTERES");
  EXPECT_EQ(header->parentWidget()->height(), 34);
  const BundleInfo bundle = BundleInfo::main();
  EXPECT_FALSE(bundle.shortVersion.isEmpty());
  EXPECT_FALSE(bundle.buildNumber.isEmpty());
  EXPECT_EQ(m_screen->findChild<QLabel*>("versionLabel")->text(),
            QStringLiteral("Ringeplagvern v%1 (build %2)").arg(bundle.shortVersion, bundle.buildNumber));
  EXPECT_EQ(table().separatorColor(), QColor(224, 224, 224));
}

}  // namespace

}  // namespace app
