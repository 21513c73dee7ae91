// The main screen end to end: the real screen, the real list service on
// loopback, and private record store and address book files. Each test is
// named by what it proves.
#include "app/root_view_controller.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "addressbook/address_book_manager_v2.h"
#include "app/application_lifecycle.h"
#include "app/exchange_error_view_controller.h"
#include "app/list_service_config.h"
#include "app/new_contact_view_controller.h"
#include "app/protection_publishing.h"
#include "app/screen_fixture.h"
#include "app/settings_view_controller.h"
#include "platform/pasteboard/pasteboard.h"
#include "platform/uikit/button.h"
#include "platform/uikit/switch.h"
#include "platform/uikit/text_field.h"
#include "platform/uikit/text_view.h"
#include "tests/support/listservice/list_service.h"
#include "ui/date_utilities.h"
#include "ui/ub_dialogs.h"

namespace app {

namespace {

using namespace std::chrono_literals;
using numberlist::Contact;

// A list of `count` approved numbers ranked 1..count, as the service sends it.
QByteArray listBody(int count, const char* firmPrefix = "Salg") {
  QJsonArray items;
  for (int rank = 1; rank <= count; ++rank) {
    items.append(QJsonObject{{"firma", QStringLiteral("%1 %2").arg(firmPrefix).arg(rank)},
                             {"telefon", QString::number(30000000 + rank)},
                             {"url", "https://example.no"},
                             {"kategori", "Telefonsalg"},
                             {"posisjon", QString::number(rank)},
                             {"status", "godkjent"}});
  }
  return QJsonDocument(QJsonObject{{"telefonnumre", items}}).toJson(QJsonDocument::Compact);
}

// The count an import progress caption shows, or -1 for any other caption.
int importedCount(const QString& caption) {
  static const QRegularExpression progress(QStringLiteral("^Importerer (\\d+) av \\d+ nummer$"));
  const QRegularExpressionMatch match = progress.match(caption);
  return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// Records every caption the overlay shows or updates to, in order, tells
// `onCaption` of each new one, and passes taps on to the screen. Progress
// reports coalesce, so a run of progress captions is kept as its last one,
// and the recorder notes whether the count ever went back within a run.
class CaptionRecorder : public ui::OVHudDelegate {
 public:
  explicit CaptionRecorder(ui::OVHud& hud, std::function<void(const QString&)> onCaption = {})
      : m_hud(hud), m_screen(hud.delegate()), m_onCaption(std::move(onCaption)) {
    hud.setDelegate(this);
  }
  ~CaptionRecorder() { m_hud.setDelegate(m_screen); }
  void hudWillAppear(ui::OVHud& hud) override { record(hud); }
  void hudWillUpdate(ui::OVHud& hud) override { record(hud); }
  void userDidTapHud(ui::OVHud& hud) override { m_screen->userDidTapHud(hud); }
  const std::vector<QString>& captions() const { return m_captions; }
  bool progressOnlyRose() const { return m_progressOnlyRose; }

 private:
  void record(ui::OVHud& hud) {
    const QString caption = hud.panel().caption();
    if (!m_captions.empty() && m_captions.back() == caption) return;
    if (m_onCaption) m_onCaption(caption);
    const int count = importedCount(caption);
    if (count >= 0 && !m_captions.empty() && importedCount(m_captions.back()) >= 0) {
      m_progressOnlyRose = m_progressOnlyRose && count > importedCount(m_captions.back());
      m_captions.back() = caption;
      return;
    }
    m_captions.push_back(caption);
  }
  bool m_progressOnlyRose = true;
  ui::OVHud& m_hud;
  ui::OVHudDelegate* m_screen;
  std::function<void(const QString&)> m_onCaption;
  std::vector<QString> m_captions;
};

class MainScreen : public rp::test::ScreenFixture {
 protected:
  explicit MainScreen(ab::Configuration book = {}) : ScreenFixture(std::move(book)) {
    pasteboard::setGeneralPasteboardString(QString());
    m_service.setBody(listBody(40));
    EXPECT_TRUE(m_service.listen());
    ListServiceConfig config;
    config.primaryHost = config.backupHost = m_service.hostAndPort().toStdString();
    setActiveListServiceConfig(config);
  }
  ~MainScreen() override {
    // Background work must not outlive the screen it reports to.
    if (m_screen) {
      EXPECT_TRUE(rp::test::runEventLoopUntil([&] { return !m_screen->protectionCycle().isBusy(); }, 60s));
    }
  }

  RootViewController& open() {
    m_screen = std::make_unique<RootViewController>();
    showScreen(*m_screen);
    return *m_screen;
  }
  bool waitUntilIdle(std::chrono::milliseconds timeout = 60s) {
    return rp::test::runEventLoopUntil([&] { return !m_screen->protectionCycle().isBusy(); }, timeout);
  }
  QString caption() { return m_screen->overlay().panel().caption(); }
  uikit::Switch& protectSwitch() { return *m_screen->findChild<uikit::Switch*>("protectMeSwitch"); }
  uikit::TextField& searchField() { return *m_screen->findChild<uikit::TextField*>("numberTextField"); }
  QString result() { return m_screen->findChild<QLabel*>("searchResultLabel")->text(); }
  QString information() { return m_screen->findChild<uikit::TextView*>("detailInformationTextView")->text(); }
  uikit::Button& addButton() { return *m_screen->findChild<uikit::Button*>("insertContactButton"); }
  ui::UBAlertView* alert() { return m_screen->window()->findChild<ui::UBAlertView*>("protectAlert"); }

  void tapSwitch() {
    QTest::mouseClick(&protectSwitch(), Qt::LeftButton);
    settle();
  }
  void answerAlert(const char* button) {
    ui::UBAlertView* shown = alert();
    ASSERT_NE(shown, nullptr);
    for (int index = 0; index < shown->numberOfButtons(); ++index) {
      if (shown->buttonTitleAtIndex(index) == button) QTest::mouseClick(shown->buttonAtIndex(index), Qt::LeftButton);
    }
    settle();
  }
  void search(const QString& text) {
    QTest::mouseClick(&searchField(), Qt::LeftButton);
    QTest::keyClicks(&searchField(), text);
    QTest::keyClick(&searchField(), Qt::Key_Return);
    settle();
  }
  // The protection contacts as a fresh manager reads them from the file.
  static std::size_t protectionContacts() { return abm::AddressBookManagerV2::init()->allContactsWithNote().size(); }
  static std::size_t protectedNumbers() { return abm::AddressBookManagerV2::init()->countOfMembers(); }

  ListService m_service;
  std::unique_ptr<RootViewController> m_screen;
};

TEST_F(MainScreen, FirstLaunchDownloadsAtOnceStoresTheListAndShowsTheCounts) {
  m_service.setFaults({.delay = 1500ms});
  open();
  EXPECT_EQ(caption(), "Oppdaterer telefonnummerlisten");
  EXPECT_TRUE(m_screen->overlay().blockTouches());
  ASSERT_TRUE(waitUntilIdle());
  EXPECT_EQ(caption(), "Telefonnummerlisten er oppdatert");
  EXPECT_FALSE(m_screen->overlay().blockTouches());
  EXPECT_EQ(Contact::countOfEntities(), 40u);
  EXPECT_NE(settings().dateForKey(DateUpdatedDefaultKey), nullptr);
  EXPECT_EQ(information(), "Søker i 40 nummer\nDin adressebok inneholder 0 telefonselgere/markedsundersøkere");
  EXPECT_FALSE(protectSwitch().isOn());
  EXPECT_EQ(result(), "Trykk ovenfor og skriv inn nummer for å søke");
}

TEST_F(MainScreen, AListSixDaysAndTwentyThreeHoursOldIsKeptAndASevenDaysOldOneRefreshed) {
  addRecords(5);
  settings().setDate(DateUpdatedDefaultKey, *ui::dates::dateWithHoursBeforeNow(6 * 24 + 23));
  open();
  settle();
  EXPECT_EQ(m_service.requestCount(), 0);
  EXPECT_FALSE(m_screen->protectionCycle().isBusy());

  settings().setDate(DateUpdatedDefaultKey, *ui::dates::dateWithDaysBeforeNow(7));
  m_screen->applicationWillEnterForeground();
  EXPECT_TRUE(m_screen->protectionCycle().isBusy());
  ASSERT_TRUE(waitUntilIdle());
  EXPECT_EQ(m_service.requestCount(), 1);
  EXPECT_EQ(Contact::countOfEntities(), 40u);
}

TEST_F(MainScreen, SwitchOnAsksFirstAndCancelLeavesEverythingOff) {
  addRecords(5);
  open();
  tapSwitch();
  ASSERT_NE(alert(), nullptr);
  EXPECT_EQ(alert()->title(), "Beskytt meg");
  EXPECT_EQ(alert()->message(), "Det vil bli lagt inn en kontakt med ringeplagvernnumre i din adressebok");
  answerAlert("Avbryt");
  EXPECT_FALSE(protectSwitch().isOn());
  EXPECT_FALSE(settings().boolForKey(AutoImportEnabledKey));
  EXPECT_EQ(protectionContacts(), 0u);
}

TEST_F(MainScreen, SwitchOnAndContinueBuildsTheContactWithEveryStepReported) {
  addRecords(5);
  open();
  CaptionRecorder recorder(m_screen->overlay());
  tapSwitch();
  answerAlert("Fortsett");
  ASSERT_TRUE(waitUntilIdle());
  EXPECT_EQ(recorder.captions(),
            (std::vector<QString>{"Starter importering av ringeplagvernkontakten", "Importerer 5 av 5 nummer",
                                  "Ringeplagvernkontakten blir lagret, dette kan ta litt tid...",
                                  "Ringeplagvernkontakten er lagret i din adressebok. Du er beskyttet!"}));
  EXPECT_TRUE(recorder.progressOnlyRose());
  EXPECT_TRUE(settings().boolForKey(AutoImportEnabledKey));
  EXPECT_TRUE(protectSwitch().isOn());
  EXPECT_EQ(protectionContacts(), 1u);
  EXPECT_EQ(protectedNumbers(), 5u);
  EXPECT_EQ(information(), "Søker i 5 nummer\nDin adressebok inneholder 5 telefonselgere/markedsundersøkere");
}

TEST_F(MainScreen, SwitchOnWithoutRecordsFetchesTheListAndLeavesTheSwitchOff) {
  settings().setDate(DateUpdatedDefaultKey, *fnd::Date::now());
  open();
  ASSERT_TRUE(waitUntilIdle());  // the start-up download of an empty store
  store::RecordStore::cleanUp();
  store::RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(
      m_folder.filePath("empty.sqlite").toStdString());
  m_service.setFaults({.delay = 1500ms});
  tapSwitch();
  EXPECT_FALSE(protectSwitch().isOn());
  EXPECT_EQ(caption(), "Oppdaterer telefonnummerlisten");
  ASSERT_TRUE(waitUntilIdle());
  EXPECT_EQ(caption(), "Telefonnummerlisten er oppdatert");
  EXPECT_EQ(protectionContacts(), 0u);
}

TEST_F(MainScreen, RefreshWhileProtectedRebuildsWithCaptionsInOrder) {
  addRecords(3);
  settings().setDate(DateUpdatedDefaultKey, *fnd::Date::now());
  settings().setBool(AutoImportEnabledKey, true);
  open();
  CaptionRecorder recorder(m_screen->overlay());
  m_screen->refreshContact();
  ASSERT_TRUE(waitUntilIdle());
  EXPECT_EQ(recorder.captions(),
            (std::vector<QString>{"Oppdaterer telefonnummerlisten", "Starter importering av ringeplagvernkontakten",
                                  "Importerer 40 av 40 nummer",
                                  "Ringeplagvernkontakten blir lagret, dette kan ta litt tid...",
                                  "Ringeplagvernkontakten er lagret i din adressebok. Du er beskyttet!"}));
  EXPECT_TRUE(recorder.progressOnlyRose());
  EXPECT_EQ(protectionContacts(), 1u);
  EXPECT_EQ(protectedNumbers(), 40u);
  EXPECT_EQ(information(), "Søker i 40 nummer\nDin adressebok inneholder 40 telefonselgere/markedsundersøkere");
}

TEST_F(MainScreen, ASecondRefreshDuringALongImportIsRefusedAndLeavesOneWholeContact) {
  m_service.setBody(listBody(3000));
  settings().setBool(AutoImportEnabledKey, true);
  settings().setInteger(ImportNumberKey, -1);
  m_screen = std::make_unique<RootViewController>();
  m_screen->loadViewIfNeeded();  // the first start downloads the list
  // Once the import reports its first number, the person comes back to the
  // application with the list long out of date, and presses refresh.
  bool refused = false;
  CaptionRecorder interrupter(m_screen->overlay(), [&](const QString& caption) {
    if (refused || importedCount(caption) < 0) return;
    settings().setDate(DateUpdatedDefaultKey, *ui::dates::dateWithDaysBeforeNow(30));
    fnd::NotificationCenter::defaultCenter().post(std::string(kApplicationWillEnterForegroundNotification));
    refused = !m_screen->protectionCycle().startDownload();
  });
  showScreen(*m_screen);
  ASSERT_TRUE(waitUntilIdle(120s));
  EXPECT_TRUE(refused);
  EXPECT_EQ(m_service.requestCount(), 1);
  EXPECT_EQ(protectionContacts(), 1u);
  EXPECT_EQ(protectedNumbers(), 3000u);
  EXPECT_EQ(protectSwitch().isOn(), settings().boolForKey(AutoImportEnabledKey));
}

TEST_F(MainScreen, BothListAddressesFailingShowsTheErrorAndKeepsTheStoredList) {
  addRecords(7);
  const fnd::Ref<fnd::Date> expired = ui::dates::dateWithDaysBeforeNow(8);
  settings().setDate(DateUpdatedDefaultKey, *expired);
  m_service.setFaults({.status = 503});
  m_screen = std::make_unique<RootViewController>();
  showScreen(*m_screen);
  ASSERT_TRUE(waitUntilIdle());
  EXPECT_EQ(m_service.requestCount(), 2);
  EXPECT_FALSE(caption().isEmpty());
  EXPECT_NE(caption(), "Oppdaterer telefonnummerlisten");
  EXPECT_FALSE(m_screen->overlay().blockTouches());
  EXPECT_EQ(Contact::countOfEntities(), 7u);
  EXPECT_NEAR(settings().dateForKey(DateUpdatedDefaultKey)->timeIntervalSince1970(), expired->timeIntervalSince1970(),
              1);
}

TEST_F(MainScreen, AListWithNoUsableRecordKeepsTheStoredList) {
  addRecords(7);
  const fnd::Ref<fnd::Date> expired = ui::dates::dateWithDaysBeforeNow(8);
  settings().setDate(DateUpdatedDefaultKey, *expired);
  m_service.setBody(R"({"telefonnumre": [1, "to", null]})");
  open();
  ASSERT_TRUE(waitUntilIdle());
  EXPECT_EQ(caption(), "Kunne ikke legge inn nye nummer");
  EXPECT_EQ(Contact::countOfEntities(), 7u);
  EXPECT_NEAR(settings().dateForKey(DateUpdatedDefaultKey)->timeIntervalSince1970(), expired->timeIntervalSince1970(),
              1);
}

TEST_F(MainScreen, SearchFindsTheFirmIgnoresSpacesAndMissesOfferTheAddButton) {
  addRecords(5);
  addRecord({"22334455", "", "Telefonsalg", 9, true});  // listed, but without a firm
  addRecord({"40506070", "Kort AS", "x", 10, true});
  saveStore();
  open();
  search("200 000 03");
  EXPECT_EQ(searchField().text(), "Firma 3");
  EXPECT_EQ(result(), "20000003, Telefonsalg");
  EXPECT_TRUE(addButton().isHidden());

  search("+4720000003");
  EXPECT_EQ(result(), "Ingen treff");
  EXPECT_EQ(searchField().text(), "+4720000003");
  EXPECT_FALSE(addButton().isHidden());

  search("22334455");
  EXPECT_EQ(result(), "Ingen treff");

  search("40506070");
  EXPECT_EQ(result(), "40506070, Ingen kategori");

  search("   ");
  EXPECT_EQ(result(), "Ingen nummer spesifisert");
  EXPECT_EQ(searchField().text(), "");
}

TEST_F(MainScreen, TypingSwapsTheRefreshButtonForADisabledSearchButton) {
  addRecords(2);
  open();
  QTest::mouseClick(&searchField(), Qt::LeftButton);
  uikit::BarButtonItem* right = m_screen->navigationBarTitle().rightBarButtonItem();
  ASSERT_NE(right, &m_screen->refreshButton());
  EXPECT_EQ(right->title(), "Søk");
  EXPECT_FALSE(right->isEnabled());
  QTest::keyClicks(&searchField(), "2");
  EXPECT_TRUE(right->isEnabled());
  QTest::keyClick(&searchField(), Qt::Key_Backspace);
  EXPECT_FALSE(right->isEnabled());
  // A touch outside the field ends the typing without searching.
  QTest::keyClicks(&searchField(), "9");
  QTest::mouseClick(m_screen->findChild<QLabel*>("protectMeLabel"), Qt::LeftButton);
  settle();
  EXPECT_EQ(m_screen->navigationBarTitle().rightBarButtonItem(), &m_screen->refreshButton());
  EXPECT_EQ(searchField().text(), "9");
  EXPECT_EQ(result(), "");
}

TEST_F(MainScreen, AnyTextInTheSearchFieldIsAnsweredAndKeptWhole) {
  addRecords(2);
  settings().setDate(DateUpdatedDefaultKey, *fnd::Date::now());
  open();
  for (const QString& text :
       {QString(10000, QChar(u'9')), QStringLiteral("📞 ٠١٢٣٤٥ שלום"), QStringLiteral("%d %@ %s")}) {
    QTest::mouseClick(&searchField(), Qt::LeftButton);
    pasteboard::setGeneralPasteboardString(text);
    QTest::keySequence(&searchField(), QKeySequence::Paste);
    QTest::keyClick(&searchField(), Qt::Key_Return);
    settle();
    EXPECT_EQ(result(), "Ingen treff");
    EXPECT_EQ(searchField().text(), text);
    EXPECT_FALSE(addButton().isHidden());
  }
}

TEST_F(MainScreen, AStarMatchesTheFirstRecordTheStoreGives) {
  addRecords(3);
  open();
  search("*");
  EXPECT_EQ(result(), "20000001, Telefonsalg");
}

TEST_F(MainScreen, TheClipboardIsSearchedAtStartAndOnEveryReturnToTheForeground) {
  addRecords(4);
  settings().setDate(DateUpdatedDefaultKey, *fnd::Date::now());
  pasteboard::setGeneralPasteboardString("20000002");
  open();
  EXPECT_EQ(result(), "20000002, Telefonsalg, Søkte med kopiert nummer");
  EXPECT_EQ(searchField().text(), "Firma 2");

  // The return to the foreground as the application announces it.
  const auto returnToTheForeground = [] {
    fnd::NotificationCenter::defaultCenter().post(std::string(kApplicationWillEnterForegroundNotification));
    settle();
  };
  pasteboard::setGeneralPasteboardString("+47 99 99 99 99");
  returnToTheForeground();
  EXPECT_EQ(result(), "Ingen treff, Søkte med kopiert nummer");

  for (const char* ignored : {"hei", "-20000002", "0", ""}) {
    pasteboard::setGeneralPasteboardString(ignored);
    returnToTheForeground();
    EXPECT_EQ(result(), "Ingen treff, Søkte med kopiert nummer") << ignored;
  }
}

TEST_F(MainScreen, ANumberAddedByHandIsFoundBySearchingAgain) {
  addRecords(2);
  settings().setDate(DateUpdatedDefaultKey, *fnd::Date::now());
  open();
  search("91 23 45 67");
  ASSERT_FALSE(addButton().isHidden());
  QTest::mouseClick(&addButton(), Qt::LeftButton);
  settle();
  auto* added = qobject_cast<NewContactViewController*>(m_screen->modalViewController());
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->number(), "91 23 45 67");
  added->didTouchAddContactButton();
  added->didTouchCloseButton();
  settle();
  EXPECT_EQ(m_screen->modalViewController(), nullptr);
  EXPECT_EQ(result(), "91234567, Din kontakt");
  EXPECT_EQ(searchField().text(), "Ukjent");
}

TEST_F(MainScreen, SettingsChangedWhileProtectedRebuildAndUnchangedDoNot) {
  addRecords(250);
  settings().setDate(DateUpdatedDefaultKey, *fnd::Date::now());
  settings().setBool(AutoImportEnabledKey, true);
  settings().setInteger(ImportNumberKey, 200);
  open();
  m_screen->showSettings();
  settle();
  auto* screen = qobject_cast<SettingsViewController*>(m_screen->modalViewController());
  ASSERT_NE(screen, nullptr);
  screen->didTouchCloseButton();
  settle();
  EXPECT_FALSE(m_screen->protectionCycle().isBusy());
  EXPECT_EQ(protectionContacts(), 0u);

  m_screen->showSettings();
  settle();
  screen = qobject_cast<SettingsViewController*>(m_screen->modalViewController());
  ASSERT_NE(screen, nullptr);
  auto* table = screen->findChild<uikit::TableView*>("importCountSelectionTableView");
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->rectForRowAtIndexPath({0, 0}).center());
  screen->didTouchCloseButton();
  ASSERT_TRUE(waitUntilIdle());
  EXPECT_EQ(protectionContacts(), 1u);
  EXPECT_EQ(protectedNumbers(), 100u);
}

// Another program holds the address book's write lock for as long as it
// lives, so the screen's saves fail after a short wait.
class MainScreenWithABusyBook : public MainScreen {
 protected:
  MainScreenWithABusyBook() : MainScreen(ab::Configuration{.busyTimeout = std::chrono::milliseconds(200)}) {}
  void protect() {
    tapSwitch();
    answerAlert("Fortsett");
    ASSERT_TRUE(waitUntilIdle());
  }
};

TEST_F(MainScreenWithABusyBook, ASaveThatFailsShowsWhyOpensTheHelpAndLeavesProtectionOff) {
  addRecords(5);
  settings().setDate(DateUpdatedDefaultKey, *fnd::Date::now());
  open();
  {
    ab::test::ForeignWriteLock lock(m_book.path());
    ASSERT_TRUE(lock.held());
    protect();
  }
  settle();
  EXPECT_EQ(caption(), "En feil oppsto under lagring av kontakten!");
  EXPECT_NE(qobject_cast<ExchangeErrorViewController*>(m_screen->modalViewController()), nullptr);
  EXPECT_FALSE(settings().boolForKey(AutoImportEnabledKey));
  EXPECT_FALSE(protectSwitch().isOn());
  EXPECT_FALSE(m_screen->overlay().blockTouches());
  EXPECT_EQ(protectionContacts(), 0u);
}

TEST_F(MainScreenWithABusyBook, ARemovalThatFailsTurnsProtectionBackOn) {
  addRecords(5);
  settings().setDate(DateUpdatedDefaultKey, *fnd::Date::now());
  open();
  protect();
  ASSERT_EQ(protectionContacts(), 1u);
  {
    ab::test::ForeignWriteLock lock(m_book.path());
    ASSERT_TRUE(lock.held());
    tapSwitch();
    ASSERT_TRUE(waitUntilIdle());
  }
  EXPECT_EQ(caption(),
            "Kunne ikke fjerne ringeplagvernkontakten, vennligst sjekk rettighetene til Ringeplagvern applikasjonen "
            "under innstillingene på telefonen");
  EXPECT_TRUE(protectSwitch().isOn());
  EXPECT_TRUE(settings().boolForKey(AutoImportEnabledKey));
  EXPECT_EQ(protectionContacts(), 1u);
  // The next removal, with the book free again, goes through.
  tapSwitch();
  ASSERT_TRUE(waitUntilIdle());
  EXPECT_EQ(protectionContacts(), 0u);
  EXPECT_FALSE(settings().boolForKey(AutoImportEnabledKey));
}

class MainScreenWithoutLocalSource : public MainScreen {
 protected:
  MainScreenWithoutLocalSource()
      : MainScreen(ab::Configuration{.initialSources = {{"Exchange", ab::kSourceTypeExchange}}}) {}
};

TEST_F(MainScreenWithoutLocalSource, ARefreshWhileProtectedShowsTheHelpScreenAndReleasesTheOverlay) {
  settings().setBool(AutoImportEnabledKey, true);
  open();
  ASSERT_TRUE(waitUntilIdle());
  settle();
  EXPECT_NE(qobject_cast<ExchangeErrorViewController*>(m_screen->modalViewController()), nullptr);
  EXPECT_FALSE(m_screen->overlay().blockTouches());
  EXPECT_FALSE(protectSwitch().isOn());
  EXPECT_FALSE(settings().boolForKey(AutoImportEnabledKey));
}

class MainScreenWithoutAccess : public MainScreen {
 protected:
  MainScreenWithoutAccess() : MainScreen(ab::Configuration{.accessGrantedWithoutPrompt = false}) {}
};

TEST_F(MainScreenWithoutAccess, TurningProtectionOnExplainsTheMissingAccessAndSwitchesOff) {
  addRecords(3);
  settings().setDate(DateUpdatedDefaultKey, *fnd::Date::now());
  open();
  tapSwitch();
  answerAlert("Fortsett");
  EXPECT_EQ(caption(),
            "Ringeplagvern appen har ikke tilgang til din addressebok, vennligst skru på tilgangen i innstillingene på "
            "telefonen og prøv igjen!");
  EXPECT_FALSE(protectSwitch().isOn());
  EXPECT_FALSE(settings().boolForKey(AutoImportEnabledKey));
  EXPECT_FALSE(m_screen->overlay().blockTouches());
}

// Publishing to a folder that cannot be written: the contact is saved and
// protection is on, and the final message gains one line naming the place.
TEST_F(MainScreen, APlaceThatCannotBePublishedToAddsItsLineUnderTheFinalMessage) {
  QTemporaryDir root;
  QFile blocker(root.filePath("plain-file"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  publish::PublishConfig publishing;
  publishing.folder = blocker.fileName() + "/cards";
  setActivePublishConfig(publishing);
  addRecords(3);
  settings().setDate(DateUpdatedDefaultKey, *fnd::Date::now());
  open();
  tapSwitch();
  answerAlert("Fortsett");
  ASSERT_TRUE(waitUntilIdle());
  const QString saved = "Ringeplagvernkontakten er lagret i din adressebok. Du er beskyttet!";
  const bool failureShown =
      rp::test::runEventLoopUntil([&] { return caption().startsWith(saved + "\nvCard-mappe " + blocker.fileName()); });
  setActivePublishConfig({});
  EXPECT_TRUE(failureShown) << caption().toStdString();
  EXPECT_EQ(caption().count('\n'), 1) << "one line for the one place";
  EXPECT_TRUE(protectSwitch().isOn());
  EXPECT_EQ(protectedNumbers(), 3u);
}

}  // namespace

}  // namespace app
