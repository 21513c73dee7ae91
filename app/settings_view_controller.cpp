#include "app/settings_view_controller.h"

#include <QGraphicsDropShadowEffect>
#include <QLabel>

#include "app/bundle_info.h"
#include "app/constants.h"
#include "app/device.h"
#include "app/localizable.h"
#include "app/manage_modal_view.h"
#include "app/screen_parts.h"
#include "numberlist/contact.h"
#include "platform/defaults/user_defaults.h"
#include "platform/uikit/image_named.h"
#include "platform/uikit/navigation_bar.h"
#include "platform/uikit/table_view_cell.h"
#include "platform/uikit/theme.h"
#include "ui_SettingsViewController.h"

namespace {

const QString kCellIdentifier = QStringLiteral("Cell");

QColor grey(int level) { return QColor(level, level, level); }
QString colourStyle(int greyLevel) { return QStringLiteral("color: rgb(%1, %1, %1);").arg(greyLevel); }

// The look of the count list and its header.
constexpr int kSeparatorGrey = 224;
constexpr int kCellGrey = 247;
constexpr int kCellTextGrey = 85;  // the platform's dark grey
constexpr int kHeaderTextGrey = 125;
constexpr int kHeaderShadowGrey = 241;
constexpr int kListFontSize = 16;
const QRect kHeaderFrame(10, 0, 300, 34);
// The caption starts 10 points into the header and must end inside the list,
// which is as wide as the header.
const QRect kHeaderCaptionFrame(10, 0, 290, 34);

// The header's caption in a condensed bold face, made smaller only as far as
// needed for the whole caption to fit on its one line.
QFont headerFont(const QString& caption, int width) {
  constexpr int kSmallestSize = 11;
  QFont font = uikit::theme::font(kListFontSize, true);
  font.setFamily(QStringLiteral("DejaVu Sans Condensed"));
  while (font.pixelSize() > kSmallestSize && QFontMetrics(font).horizontalAdvance(caption) > width)
    font.setPixelSize(font.pixelSize() - 1);
  return font;
}

defaults::UserDefaults& settings() { return defaults::UserDefaults::standard(); }

}  // namespace

SettingsViewController::SettingsViewController(QWidget* parent) : uikit::ViewController(parent) {
  setObjectName(QStringLiteral("SettingsViewController"));
}

SettingsViewController::~SettingsViewController() = default;

void SettingsViewController::loadView() {
  m_ui = std::make_unique<Ui::SettingsViewController>();
  m_ui->setupUi(this);
  m_navigationBarTitle =
      screen_parts::installNavigationItem(*m_ui->aNavigationBar, *this, QStringLiteral("navigationBarTitle"));
  screen_parts::addCloseButton(*m_navigationBarTitle, this, &SettingsViewController::didTouchCloseButton);
  connect(m_ui->approvedSwitch, &uikit::Switch::valueChanged, this,
          &SettingsViewController::didChangeImportApprovedOption);
  m_ui->importCountSelectionTableView->setDataSource(this);
  m_ui->importCountSelectionTableView->setDelegate(this);
  m_ui->textView->setTextInteractionFlags(Qt::NoTextInteraction);
  m_ui->textView->setFocusPolicy(Qt::NoFocus);
  m_ui->approvedLabel->setText(Localizable::tr("Importer også nummer som ikke er godkjent"));
}

void SettingsViewController::viewDidLoad() {
  m_navigationBarTitle->setTitle(Localizable::tr("Innstillinger"));
  // A count, not a fetch of every record: the same number without loading them.
  const std::size_t records = numberlist::Contact::countOfEntities().value_or(0);
  m_rowCount = static_cast<std::uint32_t>(records / kRecordsPerRow + 1);
  m_selectedImportOption = static_cast<std::int32_t>(Device::getCapabilitiesForImport());
  const BundleInfo bundle = BundleInfo::main();
  m_ui->versionLabel->setText(
      fillFormat(Localizable::tr("%@ v%@ (build %@)"), {bundle.displayName, bundle.shortVersion, bundle.buildNumber}));
  m_ui->textView->setText(
      Localizable::tr("Her kan du overstyre antall nummer som skal importeres til din adressebok! Alle numre er "
                      "rangert etter antall søk globalt."));
  m_ui->importCountSelectionTableView->setSeparatorColor(grey(kSeparatorGrey));
  m_ui->importCountSelectionTableView->reloadData();
}

void SettingsViewController::viewWillAppear(bool) {
  m_ui->approvedSwitch->setOn(settings().boolForKey(ImportApprovedKey));
}

void SettingsViewController::didTouchCloseButton() {
  if (m_delegate) m_delegate->modalViewControllerDidFinish(*this);
}

void SettingsViewController::didChangeImportApprovedOption() {
  settings().setInteger(ImportApprovedKey, m_ui->approvedSwitch->isOn() ? 1 : 0);
  settings().synchronize();
  m_didChangeSettings = true;
}

std::int32_t SettingsViewController::valueOfRow(int row) const {
  return isImportAllRow(row) ? 0 : (row + 1) * kRecordsPerRow;
}

int SettingsViewController::numberOfRowsInSection(uikit::TableView&, int) { return static_cast<int>(m_rowCount); }

uikit::TableViewCell* SettingsViewController::cellForRowAtIndexPath(uikit::TableView& table,
                                                                    const uikit::IndexPath& path) {
  uikit::TableViewCell* cell = table.dequeueReusableCellWithIdentifier(kCellIdentifier);
  if (!cell) {
    cell = new uikit::TableViewCell(uikit::TableViewCell::Style::Default, kCellIdentifier);
    // The screen's style sheet decides text colours beneath it, so the colour is given as one too.
    cell->textLabel()->setStyleSheet(colourStyle(kCellTextGrey));
  }
  cell->textLabel()->setFont(uikit::theme::font(kListFontSize, true));
  cell->setBackgroundColor(grey(kCellGrey));
  cell->setAccessoryType(uikit::TableViewCell::AccessoryType::None);

  const bool checked =
      isImportAllRow(path.row) ? m_selectedImportOption == kImportAll : valueOfRow(path.row) == m_selectedImportOption;
  cell->textLabel()->setText(isImportAllRow(path.row)
                                 ? Localizable::tr("Importer alle")
                                 : fillFormat(Localizable::tr("%d"), {QString::number(valueOfRow(path.row))}));
  if (checked) cell->setAccessoryType(uikit::TableViewCell::AccessoryType::Checkmark);
  return cell;
}

double SettingsViewController::heightForHeaderInSection(uikit::TableView&, int) { return kHeaderHeight; }

QWidget* SettingsViewController::viewForHeaderInSection(uikit::TableView&, int) {
  auto* header = new QWidget;
  header->setObjectName(QStringLiteral("importCountHeader"));
  header->setGeometry(kHeaderFrame);
  QPalette background = header->palette();
  background.setBrush(QPalette::Window, QBrush(uikit::imageNamed(QStringLiteral("table-header.png"))));
  header->setPalette(background);
  header->setAutoFillBackground(true);

  auto* caption = new QLabel(Localizable::tr("Antall tlfnummer som importeres").toUpper(), header);
  caption->setObjectName(QStringLiteral("importCountHeaderLabel"));
  caption->setGeometry(kHeaderCaptionFrame);
  caption->setAttribute(Qt::WA_TranslucentBackground);
  caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  caption->setStyleSheet(colourStyle(kHeaderTextGrey));
  caption->setFont(headerFont(caption->text(), kHeaderCaptionFrame.width()));
  auto* shadow = new QGraphicsDropShadowEffect(caption);
  shadow->setColor(grey(kHeaderShadowGrey));
  shadow->setOffset(0, 1);
  shadow->setBlurRadius(0);
  caption->setGraphicsEffect(shadow);
  return header;
}

void SettingsViewController::didSelectRowAtIndexPath(uikit::TableView& table, const uikit::IndexPath& path) {
  // "Importer alle" counts as 0 here, never as the stored -1, so choosing it
  // again stores it again and counts as a change.
  const std::int32_t chosen = valueOfRow(path.row);
  if (chosen != m_selectedImportOption) {
    m_selectedImportOption = chosen == 0 ? kImportAll : chosen;
    settings().setInteger(ImportNumberKey, m_selectedImportOption);
    settings().synchronize();
    m_didChangeSettings = true;
  }
  table.reloadData();
}
