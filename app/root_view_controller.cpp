#include "app/root_view_controller.h"

#include <QApplication>

#include "app/application_lifecycle.h"
#include "app/constants.h"
#include "app/exchange_error_view_controller.h"
#include "app/localizable.h"
#include "app/new_contact_view_controller.h"
#include "app/number_search.h"
#include "app/screen_parts.h"
#include "app/settings_view_controller.h"
#include "numberlist/number_list_format.h"
#include "platform/defaults/user_defaults.h"
#include "platform/pasteboard/pasteboard.h"
#include "platform/uikit/bar_button_item.h"
#include "platform/uikit/navigation_bar.h"
#include "platform/uikit/transition.h"
#include "ui/ub_dialogs.h"
#include "ui_RootViewController.h"

namespace app {

RootViewController::RootViewController(QWidget* parent) : uikit::ViewController(parent) {
  setObjectName(QStringLiteral("RootViewController"));
}

RootViewController::~RootViewController() = default;

void RootViewController::loadView() {
  m_ui = std::make_unique<Ui::RootViewController>();
  m_ui->setupUi(this);
  m_navigationBarTitle =
      screen_parts::installNavigationItem(*m_ui->aNavigationBar, *this, QStringLiteral("navigationBarTitle"));
  m_refreshButton = new uikit::BarButtonItem(uikit::BarButtonItem::SystemItem::Refresh, this);
  m_refreshButton->setObjectName(QStringLiteral("refreshButton"));
  m_settingsButton = new uikit::BarButtonItem(uikit::BarButtonItem::SystemItem::Settings, this);
  m_settingsButton->setObjectName(QStringLiteral("settingsButton"));
  m_navigationBarTitle->setLeftBarButtonItem(m_settingsButton);
  m_navigationBarTitle->setRightBarButtonItem(m_refreshButton);

  connect(m_refreshButton, &uikit::BarButtonItem::triggered, this, &RootViewController::refreshContact);
  connect(m_settingsButton, &uikit::BarButtonItem::triggered, this, &RootViewController::showSettings);
  connect(m_ui->protectMeSwitch, &uikit::Switch::valueChanged, this, &RootViewController::switchChangedState);
  connect(m_ui->insertContactButton, &QPushButton::clicked, this, &RootViewController::showNewContactView);
  // The information text is read, never edited or selected.
  m_ui->detailInformationTextView->setTextInteractionFlags(Qt::NoTextInteraction);
  m_ui->detailInformationTextView->setFocusPolicy(Qt::NoFocus);
  m_ui->numberTextField->setDelegate(this);
  m_ui->numberTextField->setKeyboardType(uikit::TextField::KeyboardType::PhonePad);
  m_ui->numberTextField->setReturnKeyType(uikit::TextField::ReturnKeyType::Search);
  m_ui->numberTextField->setPlaceholder(Localizable::tr("Telefonnummer"));
  qApp->installEventFilter(this);
}

void RootViewController::viewDidLoad() {
  m_cycle = std::make_unique<ProtectionCycle>(static_cast<ProtectionCycleView&>(*this));
  m_hud.setDelegate(this);

  m_navigationBarTitle->setTitle(Localizable::tr("Ringeplagvern"));
  screen_parts::installOverlay(m_hud, *this);

  m_ui->insertContactButton->hide();
  m_ui->protectMeSwitch->setOn(defaults::UserDefaults::standard().boolForKey(AutoImportEnabledKey), true);
  m_ui->protectMeLabel->setText(Localizable::tr("Beskytt meg"));
  const QString addTitle = Localizable::tr("Legg til nytt nummer");
  m_ui->insertContactButton->setTitle(addTitle, uikit::Button::ControlState::Normal);
  m_ui->insertContactButton->setTitle(addTitle, uikit::Button::ControlState::Highlighted);

  m_ui->numberTextField->setText(QString());
  m_ui->searchResultLabel->setText(Localizable::tr("Trykk ovenfor og skriv inn nummer for å søke"));

  m_cycle->startDownloadIfDateIsExpired();
  searchWithPasteboard();
  m_foregroundObserver =
      fnd::ScopedObserver(fnd::NotificationCenter::defaultCenter(),
                          fnd::NotificationCenter::defaultCenter().addObserver(
                              std::string(kApplicationWillEnterForegroundNotification), nullptr,
                              [this](const fnd::Notification&) { applicationWillEnterForeground(); }));
}

void RootViewController::viewDidAppear(bool) { setInformationText(m_cycle->applicationInformation()); }

void RootViewController::applicationWillEnterForeground() {
  m_cycle->startDownloadIfDateIsExpired();
  searchWithPasteboard();
}

// --- Protection ------------------------------------------------------------

bool RootViewController::isProtectionSwitchOn() const { return m_ui->protectMeSwitch->isOn(); }

void RootViewController::setProtectionSwitchOn(bool on) { m_ui->protectMeSwitch->setOn(on, true); }

void RootViewController::setInformationText(const QString& text) { m_ui->detailInformationTextView->setText(text); }

void RootViewController::switchChangedState() {
  if (!m_ui->protectMeSwitch->isOn()) {
    m_cycle->removeImportedContacts();
  } else if (m_cycle->hasTerrorNumbers()) {
    askBeforeProtecting();
  } else {
    m_cycle->protectWithoutRecords();
  }
}

void RootViewController::askBeforeProtecting() {
  auto cancel = ui::UBButtonItem::itemWithLabel(Localizable::tr("Avbryt"));
  cancel->setAction([this] { m_ui->protectMeSwitch->setOn(false, true); });
  auto proceed = ui::UBButtonItem::itemWithLabel(Localizable::tr("Fortsett"));
  proceed->setAction([this] { m_cycle->startImportOfContact(false); });
  auto* alert = new ui::UBAlertView(
      Localizable::tr("Beskytt meg"),
      Localizable::tr("Det vil bli lagt inn en kontakt med ringeplagvernnumre i din adressebok"), cancel, {proceed});
  alert->setObjectName(QStringLiteral("protectAlert"));
  alert->show(window());
}

void RootViewController::refreshContact() { m_cycle->startDownload(); }

void RootViewController::userDidTapHud(ui::OVHud& hud) { hud.hide(); }

// --- Modal screens -----------------------------------------------------------

void RootViewController::showSettings() {
  auto* settings = new SettingsViewController;
  settings->setDelegate(this);
  presentModalViewController(settings, true);
}

void RootViewController::showNewContactView() {
  auto* newContact = new NewContactViewController;
  newContact->setNumber(m_ui->numberTextField->text());
  newContact->setDelegate(this);
  presentModalViewController(newContact, true);
}

void RootViewController::showNotPossibleToImportContactsError() {
  auto* help = new ExchangeErrorViewController;
  help->setDelegate(this);
  presentModalViewController(help, true);
}

void RootViewController::modalViewControllerDidFinish(uikit::ViewController& screen) {
  const auto* settings = qobject_cast<SettingsViewController*>(&screen);
  const bool rebuild =
      settings && settings->didChangeSettings() && defaults::UserDefaults::standard().boolForKey(AutoImportEnabledKey);
  const auto* newContact = qobject_cast<NewContactViewController*>(&screen);
  const bool searchAgain = newContact && newContact->didImport();
  // The screen leaves first: a rebuild that cannot write the contact presents
  // the help screen, which could not come while another screen is up.
  dismissModalViewControllerAnimated(true);
  if (rebuild) m_cycle->startImportOfContact(false);
  if (searchAgain) {
    m_cycle->publishProtectionContact({});  // the new number went into the protection contact
    doTextFieldSearch();
  }
  setInformationText(m_cycle->applicationInformation());
}

// --- Number search ------------------------------------------------------------

void RootViewController::searchForContactWithPhoneNumber(const QString& text) {
  const QString normalised = normalisedSearchText(text);
  QString fieldText;
  QString result;
  if (normalised.isEmpty()) {
    result = Localizable::tr("Ingen nummer spesifisert");
  } else {
    if (const std::optional<ListedNumber> listed = findListedNumber(normalised)) {
      m_ui->insertContactButton->hide();
      fieldText = listed->firm;
      result = listed->numberAndCategory;
    } else {
      m_ui->insertContactButton->show();
      fieldText = text;
      result = Localizable::tr("Ingen treff");
    }
  }
  uikit::transitionWithView(m_ui->inputNumberView, kFlipSeconds, uikit::TransitionOption::FlipFromRight,
                            [this, &fieldText, &result] {
                              m_ui->numberTextField->setText(fieldText);
                              m_ui->searchResultLabel->setText(result);
                            });
  removeSearchButton();
}

void RootViewController::searchWithPasteboard() {
  const std::optional<QString> copied = pasteboard::generalPasteboardString();
  // The same leading-integer reading as a list rank: a phone number with a
  // leading "+" counts, a word or a negative number does not.
  if (!copied || numberlist::rankFromText(copied->toStdString()) <= 0) return;
  m_ui->numberTextField->setText(*copied);
  searchForContactWithPhoneNumber(*copied);
  m_ui->searchResultLabel->setText(
      fillFormat(Localizable::tr("%@, Søkte med kopiert nummer"), {m_ui->searchResultLabel->text()}));
}

bool RootViewController::textFieldShouldBeginEditing(uikit::TextField& field) {
  addSearchButton();
  m_ui->insertContactButton->hide();
  m_ui->searchResultLabel->setText(QString());
  field.setPlaceholder(QString());
  field.setText(QString());
  return true;
}

bool RootViewController::textFieldShouldChangeCharactersInRange(uikit::TextField& field, int location, int length,
                                                                const QString& replacement) {
  const QString edited = QString(field.text()).replace(location, length, replacement).trimmed();
  uikit::BarButtonItem* right = m_navigationBarTitle->rightBarButtonItem();
  if (edited.isEmpty()) {
    m_ui->insertContactButton->hide();
    if (right) right->setEnabled(false);
  } else if (right) {
    right->setEnabled(true);
  }
  return true;
}

bool RootViewController::textFieldShouldReturn(uikit::TextField&) {
  doTextFieldSearch();
  return true;
}

void RootViewController::doTextFieldSearch() {
  m_ui->numberTextField->resignFirstResponder();
  searchForContactWithPhoneNumber(m_ui->numberTextField->text());
}

void RootViewController::addSearchButton() {
  // The navigation item's own, so that it goes once the refresh button is back.
  auto* search =
      new uikit::BarButtonItem(Localizable::tr("Søk"), uikit::BarButtonItem::Style::Bordered, m_navigationBarTitle);
  search->setObjectName(QStringLiteral("searchButton"));
  connect(search, &uikit::BarButtonItem::triggered, this, &RootViewController::doTextFieldSearch);
  m_navigationBarTitle->setRightBarButtonItem(search, true);
  search->setEnabled(false);
}

void RootViewController::removeSearchButton() {
  m_navigationBarTitle->setRightBarButtonItem(m_refreshButton, true);
  m_refreshButton->setEnabled(true);
}

bool RootViewController::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress && m_ui) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && isAncestorOf(widget) && !modalViewController()) touchesBegan(watched);
  }
  return uikit::ViewController::eventFilter(watched, event);
}

void RootViewController::touchesBegan(QObject* touched) {
  uikit::TextField* field = m_ui->numberTextField;
  if (!field->isEditing() || touched == field) return;
  field->resignFirstResponder();
  removeSearchButton();
  if (field->text().isEmpty()) m_ui->insertContactButton->hide();
}

}  // namespace app
