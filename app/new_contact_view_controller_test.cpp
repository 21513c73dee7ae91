// The new-number screen driven through its form: what an add stores, what
// is refused, when the screen closes, and how the return key walks the rows.
#include "app/new_contact_view_controller.h"

#include <QLabel>

#include "addressbook/address_book_manager_v2.h"
#include "app/manage_modal_view.h"
#include "app/screen_fixture.h"
#include "app/text_field_table_view_cell.h"
#include "platform/pasteboard/pasteboard.h"
#include "platform/uikit/button.h"
#include "ui/ov_hud.h"

namespace app {

namespace {

using namespace std::chrono_literals;
using numberlist::Contact;

struct Presenter : IManageModalView {
  void modalViewControllerDidFinish(uikit::ViewController& screen) override {
    ++finished;
    imported = static_cast<NewContactViewController&>(screen).didImport();
  }
  int finished = 0;
  bool imported = false;
};

struct Stored {
  std::string phoneNumber, firm, url, category;
  bool manualAdd = false;
  bool operator==(const Stored&) const = default;
};

std::string text(const fnd::Ref<fnd::String>& value) { return value ? std::string(value->utf8()) : "<none>"; }

class NewNumberScreen : public rp::test::ScreenFixture {
 protected:
  using ScreenFixture::ScreenFixture;

  // Presents a fresh screen as the main screen does, over a host screen.
  NewContactViewController& open(const QString& number = {}) {
    if (!m_host) {
      m_host = std::make_unique<uikit::ViewController>();
      showScreen(*m_host);
    }
    if (m_host->modalViewController()) m_host->dismissModalViewControllerAnimated(false);
    auto* screen = new NewContactViewController;
    screen->setNumber(number);
    screen->setDelegate(&m_presenter);
    m_host->presentModalViewController(screen, false);
    settle();
    m_screen = screen;
    return *screen;
  }
  uikit::TextField& field(int row) {
    auto* table = m_screen->findChild<uikit::TableView*>("contactTableView");
    auto* cell = qobject_cast<TextFieldTableViewCell*>(table->cellForRowAtIndexPath({0, row}));
    EXPECT_NE(cell, nullptr) << "row " << row << " is not on screen";
    return *cell->textField();
  }
  // Types plain text key by key; other text arrives as a paste, as it would
  // from another program.
  void type(int row, const QString& text) {
    field(row).setFocus();
    field(row).selectAll();
    bool latin = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
    if (latin && text.size() < 100) {
      QTest::keyClicks(&field(row), text);
    } else {
      pasteboard::setGeneralPasteboardString(text);
      QTest::keySequence(&field(row), QKeySequence::Paste);
    }
  }
  void add() {
    QTest::mouseClick(m_screen->findChild<uikit::Button*>("addContactButton"), Qt::LeftButton);
    settle();
  }
  static std::vector<Stored> storedByHand() {
    std::vector<Stored> stored;
    for (const auto& record : Contact::findAll().value_or(Contact::List{})) {
      stored.push_back({text(record->phoneNumber()), text(record->firm()), text(record->url()),
                        text(record->category()), record->manualAdd() && record->manualAdd()->boolValue()});
    }
    return stored;
  }

  Presenter m_presenter;
  std::unique_ptr<uikit::ViewController> m_host;
  QPointer<NewContactViewController> m_screen;
};

TEST_F(NewNumberScreen, TheFormHasFiveLabelledRowsWithThePresentersNumberFirst) {
  open("22 33 44 55");
  const char* labels[] = {"Telefon", "Firma", "Hjemmeside", "Ditt navn", "Kommentar"};
  for (int row = 0; row < 5; ++row) {
    auto* cell = qobject_cast<TextFieldTableViewCell*>(field(row).parentWidget()->parentWidget());
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->staticTextLabel()->text(), labels[row]);
  }
  EXPECT_EQ(field(0).text(), "22 33 44 55");
  EXPECT_EQ(field(0).placeholderText(), "Påkrevd");
  EXPECT_EQ(field(1).placeholderText(), "Påkrevd");
  EXPECT_EQ(field(2).keyboardType(), uikit::TextField::KeyboardType::URL);
  EXPECT_EQ(field(3).returnKeyType(), uikit::TextField::ReturnKeyType::Next);
  EXPECT_EQ(field(4).returnKeyType(), uikit::TextField::ReturnKeyType::Go);
  EXPECT_TRUE(field(1).hasFocus()) << "focus is on "
                                   << (QApplication::focusWidget()
                                           ? QApplication::focusWidget()->objectName().toStdString()
                                           : std::string("nothing"));
}

TEST_F(NewNumberScreen, AnAddWhileProtectionIsOffStoresTheRecordAndStaysOpen) {
  open("22 33 44 55");
  add();
  EXPECT_EQ(storedByHand(), (std::vector<Stored>{{"22334455", "Ukjent", "", "Din kontakt", true}}));
  EXPECT_TRUE(m_screen->didImport());
  EXPECT_EQ(m_presenter.finished, 0);
  // A second valid add in the same visit stores a second record.
  type(0, "99887766");
  type(1, " ");
  type(2, "https://example.no");
  add();
  ASSERT_EQ(storedByHand().size(), 2u);
  EXPECT_EQ(storedByHand()[1], (Stored{"99887766", " ", "https://example.no", "Din kontakt", true}));
  QTest::mouseClick(m_screen->findChild<uikit::NavigationBar*>("aNavigationBar")
                        ->buttonForItem(m_screen->findChild<uikit::BarButtonItem*>("closeButton")),
                    Qt::LeftButton);
  EXPECT_EQ(m_presenter.finished, 1);
  EXPECT_TRUE(m_presenter.imported);
}

TEST_F(NewNumberScreen, ThreeCharactersAfterTheSpacesAreRefusedWithAMessageAndNothingIsStored) {
  open("12 3");
  type(3, "Kari");
  add();
  EXPECT_TRUE(storedByHand().empty());
  EXPECT_EQ(m_screen->hud().panel().caption(), "Du må fylle inn nummer som har minimum 4 tall!");
  EXPECT_FALSE(m_screen->didImport());
  EXPECT_EQ(field(0).text(), "12 3");
  EXPECT_EQ(field(3).text(), "Kari");
}

TEST_F(NewNumberScreen, CharactersAreCountedNotDigits) {
  open("abcd");
  add();
  open("+47-");
  add();
  EXPECT_EQ(storedByHand().size(), 2u);
}

TEST_F(NewNumberScreen, AnyTextOfAnyLengthIsStoredExactly) {
  const QString longFirm(10000, QChar(u'å'));
  const QString mixed = QStringLiteral("☎️ شركة Ørsted 📞");
  open("+47 915 00 000");
  type(1, mixed);
  type(2, longFirm);
  add();
  ASSERT_EQ(storedByHand().size(), 1u);
  EXPECT_EQ(storedByHand()[0].firm, mixed.toStdString());
  EXPECT_EQ(storedByHand()[0].url, longFirm.toStdString());
  EXPECT_EQ(storedByHand()[0].phoneNumber, "+4791500000");
}

TEST_F(NewNumberScreen, TheReturnKeyWalksTheRowsAndTheLastOneAdds) {
  open("40 40 40 40");
  for (int row = 0; row < 4; ++row) {
    field(row).setFocus();
    QTest::keyClick(&field(row), Qt::Key_Return);
    settle();
    EXPECT_TRUE(field(row + 1).hasFocus()) << "after return on row " << row;
  }
  EXPECT_TRUE(storedByHand().empty());
  QTest::keyClick(&field(4), Qt::Key_Return);
  settle();
  EXPECT_EQ(storedByHand().size(), 1u);
}

class NewNumberScreenWithoutLocalSource : public NewNumberScreen {
 protected:
  NewNumberScreenWithoutLocalSource()
      : NewNumberScreen(ab::Configuration{.initialSources = {{"Exchange", ab::kSourceTypeExchange}}}) {}
};

TEST_F(NewNumberScreenWithoutLocalSource, AnAddWhileProtectedClosesAtOnceAndKeepsTheRecord) {
  settings().setBool(AutoImportEnabledKey, true);
  open("55 66 77 88");
  add();
  EXPECT_EQ(m_presenter.finished, 1);
  EXPECT_TRUE(m_presenter.imported);
  EXPECT_EQ(storedByHand().size(), 1u);
}

TEST_F(NewNumberScreen, AnAddWhileProtectedAppendsToTheContactBehindTheOverlayAndCloses) {
  // A protection contact to append to.
  addRecords(3);
  struct Done : abm::ManageAddressBookDelegate<Done> {
    void didImportContacts() override { imported = true; }
    bool imported = false;
  } done;
  auto manager = abm::AddressBookManagerV2::initWithDelegate(&done);
  manager->importLocalContactsInBackground(Contact::findAll().value());
  ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return done.imported; }, 60s));
  settings().setBool(AutoImportEnabledKey, true);

  open("12 34 56 78");
  add();
  EXPECT_TRUE(m_screen->hud().blockTouches() || m_presenter.finished == 1);
  ASSERT_TRUE(rp::test::runEventLoopUntil([&] { return m_presenter.finished == 1; }, 60s));
  EXPECT_TRUE(m_presenter.imported);
  EXPECT_EQ(abm::AddressBookManagerV2::init()->countOfMembers(), 4u);
}

}  // namespace

}  // namespace app
