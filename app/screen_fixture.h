#pragma once
// Test fixture for the screens: a private record store and address book for
// each test, the application's settings cleared, and helpers that fill the
// store and drive the screens through their widgets.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <optional>

#include "app/constants.h"
#include "numberlist/contact.h"
#include "platform/defaults/user_defaults.h"
#include "platform/uikit/navigation_bar.h"
#include "platform/uikit/view_controller.h"
#include "store/record_store.h"
#include "tests/support/addressbook/test_book_file.h"
#include "tests/support/event_loop.h"

namespace rp::test {

// A listed record as the parser stores it.
struct ListedRecord {
  std::string phoneNumber;
  std::string firm;
  std::string category = "Telefonsalg";
  int position = 0;
  bool approved = true;
};

class ScreenFixture : public ::testing::Test {
 protected:
  explicit ScreenFixture(ab::Configuration book = {}) : m_book(std::move(book)) {
    store::RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(
        m_folder.filePath("list.sqlite").toStdString());
    for (std::string_view key :
         {app::AutoImportEnabledKey, app::ImportNumberKey, app::ImportApprovedKey, app::DateUpdatedDefaultKey})
      settings().removeObjectForKey(key);
  }
  ~ScreenFixture() override { store::RecordStore::cleanUp(); }

  static defaults::UserDefaults& settings() { return defaults::UserDefaults::standard(); }

  static void addRecord(const ListedRecord& listed) {
    fnd::Ref<numberlist::Contact> record = numberlist::Contact::createEntity();
    record->setPhoneNumber(fnd::str(listed.phoneNumber).get());
    if (!listed.firm.empty()) record->setFirm(fnd::str(listed.firm).get());
    record->setCategory(fnd::str(listed.category).get());
    record->setPosition(fnd::Number::create(static_cast<std::int64_t>(listed.position)).get());
    record->setStatus(listed.approved ? fnd::Number::yes() : fnd::Number::no());
    record->setManualAdd(fnd::Number::no());
  }
  // `count` listed records ranked 1..count, numbers 20000000 + rank, every
  // one approved; saved to the store file.
  static void addRecords(int count) {
    for (int rank = 1; rank <= count; ++rank)
      addRecord({std::to_string(20000000 + rank), "Firma " + std::to_string(rank), "Telefonsalg", rank, true});
    saveStore();
  }
  static void saveStore() { store::StoreSaving::save(store::StoreContext::defaultContext()); }

  // Shows `screen` at the size of the phone's screen below the status bar, as
  // the active window, so that its fields can take the focus.
  static void showScreen(QWidget& screen) {
    screen.resize(320, 460);
    screen.show();
    screen.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    settle();
  }
  // Lets every running animation of the screens end.
  static void settle(std::chrono::milliseconds time = std::chrono::milliseconds(450)) {
    rp::test::runEventLoopFor(time);
  }

  // Clicks the bar button drawn for `item` on `bar`.
  static void clickBarButton(uikit::NavigationBar& bar, const uikit::BarButtonItem* item) {
    QAbstractButton* button = bar.buttonForItem(item);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
  }

  QTemporaryDir m_folder;
  ab::test::TestBookFile m_book;
};

}  // namespace rp::test
