#include "app/new_contact_view_controller.h"

#include "addressbook/address_book_manager_v2.h"
#include "app/constants.h"
#include "app/hand_added_number.h"
#include "app/localizable.h"
#include "app/manage_modal_view.h"
#include "app/screen_parts.h"
#include "app/text_field_table_view_cell.h"
#include "numberlist/contact.h"
#include "platform/defaults/user_defaults.h"
#include "platform/uikit/navigation_bar.h"
#include "ui_NewContactViewController.h"

namespace app {

namespace {

struct FormRow {
  const char* label;
  const char* placeholder;
  uikit::TextField::ReturnKeyType returnKey;
  uikit::TextField::KeyboardType keyboard;
};

constexpr FormRow kForm[NewContactViewController::RowCount] = {
    {QT_TRANSLATE_NOOP("Localizable", "Telefon"), QT_TRANSLATE_NOOP("Localizable", "Påkrevd"),
     uikit::TextField::ReturnKeyType::Next, uikit::TextField::KeyboardType::PhonePad},
    {QT_TRANSLATE_NOOP("Localizable", "Firma"), QT_TRANSLATE_NOOP("Localizable", "Påkrevd"),
     uikit::TextField::ReturnKeyType::Next, uikit::TextField::KeyboardType::Default},
    {QT_TRANSLATE_NOOP("Localizable", "Hjemmeside"), "", uikit::TextField::ReturnKeyType::Next,
     uikit::TextField::KeyboardType::URL},
    {QT_TRANSLATE_NOOP("Localizable", "Ditt navn"), "", uikit::TextField::ReturnKeyType::Next,
     uikit::TextField::KeyboardType::Default},
    {QT_TRANSLATE_NOOP("Localizable", "Kommentar"), "", uikit::TextField::ReturnKeyType::Go,
     uikit::TextField::KeyboardType::Default},
};

QString localized(const char* text) { return *text ? Localizable::tr(text) : QString(); }

}  // namespace

NewContactViewController::NewContactViewController(QWidget* parent) : uikit::ViewController(parent) {
  setObjectName(QStringLiteral("NewContactViewController"));
}

NewContactViewController::~NewContactViewController() = default;

void NewContactViewController::loadView() {
  m_ui = std::make_unique<Ui::NewContactViewController>();
  m_ui->setupUi(this);
  m_aNavigationTitle =
      screen_parts::installNavigationItem(*m_ui->aNavigationBar, *this, QStringLiteral("aNavigationTitle"));
  screen_parts::addCloseButton(*m_aNavigationTitle, this, &NewContactViewController::didTouchCloseButton);
  connect(m_ui->addContactButton, &QPushButton::clicked, this, &NewContactViewController::didTouchAddContactButton);
  m_ui->contactTableView->setDataSource(this);
  // The form's fields take the keyboard, never the list around them.
  m_ui->contactTableView->setFocusPolicy(Qt::NoFocus);
}

void NewContactViewController::viewDidLoad() {
  m_hud.setDelegate(this);
  m_aNavigationTitle->setTitle(Localizable::tr("Legg til ny"));
  const QString addTitle = Localizable::tr("Legg til telefonnummer");
  m_ui->addContactButton->setTitle(addTitle, uikit::Button::ControlState::Normal);
  m_ui->addContactButton->setTitle(addTitle, uikit::Button::ControlState::Highlighted);
  screen_parts::installOverlay(m_hud, *this);
  m_didImport = false;
  m_ui->contactTableView->reloadData();
}

void NewContactViewController::viewDidAppear(bool) {
  // The rows were configured before the screen was on show, when no field
  // can take the focus yet.
  if (auto* firm = qobject_cast<TextFieldTableViewCell*>(m_ui->contactTableView->cellForRowAtIndexPath({0, FirmRow})))
    firm->textField()->becomeFirstResponder();
}

int NewContactViewController::numberOfRowsInSection(uikit::TableView&, int) { return RowCount; }

uikit::TableViewCell* NewContactViewController::cellForRowAtIndexPath(uikit::TableView& table,
                                                                      const uikit::IndexPath& path) {
  auto* cell = qobject_cast<TextFieldTableViewCell*>(
      table.dequeueReusableCellWithIdentifier(QString::fromLatin1(TextFieldTableViewCell::kReuseIdentifier)));
  if (!cell) cell = new TextFieldTableViewCell;
  uikit::TextField* field = cell->textField();
  field->setDelegate(this);
  const FormRow& row = kForm[path.row];
  cell->staticTextLabel()->setText(localized(row.label));
  field->setPlaceholder(localized(row.placeholder));
  field->setReturnKeyType(row.returnKey);
  field->setKeyboardType(row.keyboard);
  if (path.row == PhoneRow) field->setText(m_number);
  if (path.row == FirmRow) field->becomeFirstResponder();
  return cell;
}

QString NewContactViewController::getCellTextFieldContentFromCellAt(unsigned row, unsigned section) {
  const auto* cell = qobject_cast<TextFieldTableViewCell*>(
      m_ui->contactTableView->cellForRowAtIndexPath({static_cast<int>(section), static_cast<int>(row)}));
  if (!cell) return QString();
  cell->textField()->resignFirstResponder();
  return cell->textField()->text();
}

bool NewContactViewController::textFieldShouldReturn(uikit::TextField& field) {
  const auto* cell = qobject_cast<uikit::TableViewCell*>(field.parentWidget()->parentWidget());
  const std::optional<uikit::IndexPath> path = cell ? m_ui->contactTableView->indexPathForCell(cell) : std::nullopt;
  if (!path) return true;
  if (path->row >= CommentRow) {
    field.resignFirstResponder();
    didTouchAddContactButton();
    return true;
  }
  const uikit::IndexPath next{path->section, path->row + 1};
  uikit::TableView& table = *m_ui->contactTableView;
  auto* nextCell = qobject_cast<TextFieldTableViewCell*>(table.cellForRowAtIndexPath(next));
  table.scrollToRowAtIndexPath(next, uikit::TableView::ScrollPosition::Top, true);
  if (nextCell) nextCell->textField()->becomeFirstResponder();
  return false;
}

void NewContactViewController::didTouchAddContactButton() {
  const std::optional<QString> phoneNumber = acceptedHandAddedNumber(getCellTextFieldContentFromCellAt(PhoneRow, 0));
  const QString firm = getCellTextFieldContentFromCellAt(FirmRow, 0);
  const QString homepage = getCellTextFieldContentFromCellAt(HomepageRow, 0);

  if (!phoneNumber) {
    m_hud.setCaption(handAddedNumberRefusal());
    m_hud.show();
    m_hud.hideAfter(kRefusalSeconds);
    return;
  }

  const fnd::Ref<numberlist::Contact> record = storeHandAddedNumber(*phoneNumber, firm, homepage);
  m_didImport = true;

  if (!defaults::UserDefaults::standard().boolForKey(AutoImportEnabledKey)) return;
  const std::shared_ptr<abm::AddressBookManagerV2> manager = abm::AddressBookManagerV2::initWithDelegate(this);
  if (manager->hasAccessToAddressBook() && manager->hasLocalSource()) {
    m_hud.setCaption(Localizable::tr("Legger til kontakten i addresseboken din!"));
    m_hud.setBlockTouches(true);
    m_hud.setActivity(true);
    m_hud.show();
    // The manager keeps itself alive until it has reported.
    manager->importNewLocalContactInBackground(record);
  } else {
    finish();
  }
}

void NewContactViewController::didTouchCloseButton() { finish(); }

void NewContactViewController::didImportNewContact() {
  m_hud.hide();
  finish();
}

void NewContactViewController::didFailImportNewContact() {
  m_hud.hide();
  finish();
}

void NewContactViewController::userDidTapHud(ui::OVHud& hud) { hud.hide(); }

void NewContactViewController::finish() {
  if (m_delegate) m_delegate->modalViewControllerDidFinish(*this);
}

}  // namespace app
