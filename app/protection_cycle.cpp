#include "app/protection_cycle.h"

#include "app/constants.h"
#include "app/cycle_hud.h"
#include "app/import_count.h"
#include "app/import_selection.h"
#include "app/localizable.h"
#include "numberlist/number_list_format.h"
#include "platform/defaults/user_defaults.h"
#include "platform/dispatch/block_thread.h"
#include "platform/dispatch/main_thread.h"
#include "platform/dispatch/process_heap.h"
#include "platform/foundation/system_log.h"
#include "ui/date_utilities.h"

namespace app {

namespace {

defaults::UserDefaults& settings() { return defaults::UserDefaults::standard(); }

bool protectionEnabled() { return settings().boolForKey(AutoImportEnabledKey); }

}  // namespace

ProtectionCycle::ProtectionCycle(ProtectionCycleView& view)
    : m_view(view),
      m_dataDownloader(numberlist::DataDownloader::initWithDelegate(this)),
      m_contactParser(numberlist::ContactParser::initWithDelegate(this)),
      // Asks for address-book access on first use and looks for the local source.
      m_addressBookManager(abm::AddressBookManagerV2::initWithDelegate(this)),
      m_publishing(m_addressBookManager, [this](const QStringList& failures) { showPublishingFailures(failures); }) {}

ProtectionCycle::~ProtectionCycle() {
  // A download or parse still in flight keeps its worker alive; it must not
  // report to a cycle that is gone.
  m_dataDownloader->setTheDelegate(nullptr);
  m_contactParser->setTheDelegate(nullptr);
}

bool ProtectionCycle::begin(Stage stage, const char* what) {
  if (isBusy()) {
    RP_LOG(std::string("refused to start ") + what + ": another cycle is still running");
    return false;
  }
  m_stage = stage;
  return true;
}

// --- The list -------------------------------------------------------------

bool ProtectionCycle::isListExpired() const {
  const fnd::Ref<fnd::Date> updated = settings().dateForKey(DateUpdatedDefaultKey);
  return updated && ui::dates::daysAfterDate(*fnd::Date::now(), *updated) >= kListLifetimeDays;
}

bool ProtectionCycle::startDownloadIfDateIsExpired() {
  if (isListExpired() || !hasTerrorNumbers()) return startDownload();
  return false;
}

bool ProtectionCycle::startDownload() {
  if (!begin(Stage::Downloading, "a download")) return false;
  CycleHud& hud = m_view.hud();
  hud.setBlockTouches(true);
  m_dataDownloader->startDownloadWithUrl(NumberListUrl(), NumberListBackupUrl());
  hud.setCaption(Localizable::tr("Oppdaterer telefonnummerlisten"));
  hud.show();
  return true;
}

void ProtectionCycle::didFinishDownloadData(const fnd::Ref<fnd::Data>& data) {
  m_stage = Stage::Storing;
  // Decoding a large list takes longer than a frame, so it runs beside the
  // main thread, and the parser gets the items back on it. A body that is no
  // object holding a list hands the parser none, which it reports as a failed
  // list.
  dispatch::asyncOnNewSerialQueue(std::string(kDecodeQueueLabel), [data, cycle = std::weak_ptr(m_lifetime)] {
    fnd::Ref<fnd::Array> items = data ? numberlist::itemsFromListBody(*data) : nullptr;
    dispatch::performOnMainThread(
        [cycle, items = std::move(items)] {
          if (const auto alive = cycle.lock()) (*alive)->m_contactParser->startParsingContactsInArray(items);
        },
        false);
  });
}

void ProtectionCycle::didFailDownloadWithError(const fnd::Error& error) { showFailure(error); }

void ProtectionCycle::didFailParsingWithError(const fnd::Error& error) { showFailure(error); }

void ProtectionCycle::showFailure(const fnd::Error& error) {
  finish();
  refreshInformationText();
  CycleHud& hud = m_view.hud();
  hud.setCaption(QString::fromStdString(error.localizedDescription()));
  hud.setBlockTouches(false);
  hud.hideAfter(kMessageSeconds);
  hud.update();
}

void ProtectionCycle::didFinishParsingContactsInArray(const numberlist::Contact::List&) {
  finish();
  // Counted before the import starts: its selection reads the whole list
  // beside the main thread, and a count taken meanwhile waits for it. The
  // text comes out the same, as the count of members asks what the import
  // asks first.
  refreshInformationText();
  if (protectionEnabled()) {
    startImportOfContact(true);
  } else {
    CycleHud& hud = m_view.hud();
    hud.setBlockTouches(false);
    hud.hideAfter(kMessageSeconds);
    hud.setCaption(Localizable::tr("Telefonnummerlisten er oppdatert"));
    hud.update();
  }
  settings().setDate(DateUpdatedDefaultKey, *fnd::Date::now());
  settings().synchronize();
  releaseMemoryOnceIdle();
}

// --- The protection contact ------------------------------------------------

bool ProtectionCycle::protectWithoutRecords() {
  m_view.setProtectionSwitchOn(false);
  if (isBusy()) return false;
  CycleHud& hud = m_view.hud();
  hud.setCaption(Localizable::tr("Det finnes ingen nummer klare for importering, oppdatering av databasen starter!"));
  hud.show();
  return startDownload();
}

bool ProtectionCycle::startImportOfContact(bool hudVisible) {
  if (!begin(Stage::Importing, "an import")) return false;
  CycleHud& hud = m_view.hud();
  const auto present = [&hud, hudVisible] { hudVisible ? hud.update() : hud.show(); };

  if (!m_addressBookManager->hasAccessToAddressBook()) {
    hud.setCaption(Localizable::tr(
        "Ringeplagvern appen har ikke tilgang til din addressebok, vennligst skru på tilgangen i innstillingene på "
        "telefonen og prøv igjen!"));
    hud.setBlockTouches(false);
    hud.hideAfter(kMessageSeconds);
    present();
    storeProtectionEnabled(false);
    m_view.setProtectionSwitchOn(false);
    finish();
    return true;
  }
  if (!m_addressBookManager->hasLocalSource()) {
    m_view.setProtectionSwitchOn(false);
    storeProtectionEnabled(false);
    // Right after a refresh the overlay still blocks touches with the
    // download's caption; the help screen explains instead, so let it go.
    if (hudVisible) {
      hud.setBlockTouches(false);
      hud.hide();
    }
    finish();
    m_view.showNotPossibleToImportContactsError();
    return true;
  }

  hud.setBlockTouches(true);
  hud.setCaption(Localizable::tr("Starter importering av ringeplagvernkontakten"));
  present();
  // Reading every stored record takes longer than a frame, so the records are
  // selected beside the main thread, in that thread's own context, which the
  // manager reads them from; the context and its records go with the thread.
  dispatch::asyncOnNewSerialQueue(
      std::string(kSelectQueueLabel), [manager = m_addressBookManager, importCount = Device::getCapabilitiesForImport(),
                                       importUnapproved = settings().boolForKey(ImportApprovedKey)] {
        manager->importLocalContactsInBackground(selectRecordsForImport(importCount, importUnapproved));
      });
  return true;
}

bool ProtectionCycle::removeImportedContacts() {
  if (!begin(Stage::Removing, "a removal")) {
    // The switch must keep showing what is stored while the other cycle runs.
    m_view.setProtectionSwitchOn(protectionEnabled());
    return false;
  }
  m_addressBookManager->removeImportedContactInBackground();
  CycleHud& hud = m_view.hud();
  hud.setBlockTouches(true);
  hud.setCaption(Localizable::tr("Fjerner ringeplagvernkontakten fra din adressebok"));
  hud.setActivity(true);
  hud.show();
  return true;
}

void ProtectionCycle::importStartedSaving() {
  CycleHud& hud = m_view.hud();
  hud.setBlockTouches(true);
  hud.setCaption(Localizable::tr("Ringeplagvernkontakten blir lagret, dette kan ta litt tid..."));
  hud.setActivity(true);
  hud.setProgress(0);
  hud.update();
}

void ProtectionCycle::didUpdateProgress() {
  const double progress = m_addressBookManager->progress();
  const double maxProgress = m_addressBookManager->maxProgress();
  CycleHud& hud = m_view.hud();
  hud.setActivity(false);
  hud.setBlockTouches(true);
  hud.setProgress(maxProgress > 0 ? static_cast<float>(progress / maxProgress) : 0.0f);
  hud.setCaption(fillFormat(
      Localizable::tr("Importerer %d av %d nummer"),
      {QString::number(static_cast<long long>(progress)), QString::number(static_cast<long long>(maxProgress))}));
  hud.update();
}

void ProtectionCycle::didImportContacts() {
  finish();
  storeProtectionEnabled(true);
  refreshInformationText();
  CycleHud& hud = m_view.hud();
  hud.setBlockTouches(false);
  const QString caption = Localizable::tr("Ringeplagvernkontakten er lagret i din adressebok. Du er beskyttet!");
  hud.setCaption(caption);
  hud.setActivity(false);
  hud.hideAfter(kMessageSeconds);
  hud.update();
  publishProtectionContact(caption);
  releaseMemoryOnceIdle();
}

void ProtectionCycle::didFailImportOfContactsWithError(const fnd::Error& error) {
  finish();
  refreshInformationText();
  CycleHud& hud = m_view.hud();
  hud.setBlockTouches(false);
  hud.setCaption(QString::fromStdString(error.localizedDescription()));
  hud.hideAfter(kMessageSeconds);
  hud.setActivity(false);
  hud.update();
  m_view.showNotPossibleToImportContactsError();
  storeProtectionEnabled(false);
  // The contact was not written: a switch left on would claim protection
  // that the stored setting and the address book no longer have.
  m_view.setProtectionSwitchOn(false);
}

void ProtectionCycle::didRemoveContacts() {
  finish();
  refreshInformationText();
  CycleHud& hud = m_view.hud();
  hud.setBlockTouches(false);
  const QString caption = Localizable::tr("Fjernet ringeplagvernkontakten fra din adressebok");
  hud.setCaption(caption);
  hud.setActivity(false);
  hud.hideAfter(kMessageSeconds);
  hud.update();
  storeProtectionEnabled(false);
  publishProtectionContact(caption);
  releaseMemoryOnceIdle();
}

// A whole list and its records were made and freed by the cycle's workers;
// the heap keeps those pages for later unless asked, which held the
// application at its peak for as long as it ran. A cycle that has started
// again meanwhile keeps them.
void ProtectionCycle::releaseMemoryOnceIdle() {
  dispatch::performAfterDelay(kMemoryReleaseDelay, [cycle = std::weak_ptr(m_lifetime)] {
    const auto alive = cycle.lock();
    if (alive && !(*alive)->isBusy()) dispatch::backgroundQueue().async(dispatch::releaseFreeHeapMemory);
  });
}

void ProtectionCycle::publishProtectionContact(const QString& caption) {
  m_publishedCaption = caption;
  m_publishing.publishCurrentContact();
}

// The final message shows again with one line per place that failed; while a
// new cycle reports, the failures stay in the log only.
void ProtectionCycle::showPublishingFailures(const QStringList& failures) {
  if (isBusy()) return;
  QStringList lines = failures;
  if (!m_publishedCaption.isEmpty()) lines.prepend(m_publishedCaption);
  CycleHud& hud = m_view.hud();
  hud.setBlockTouches(false);
  hud.setActivity(false);
  hud.setCaption(lines.join(QLatin1Char('\n')));
  hud.show();
  hud.hideAfter(kMessageSeconds);
  hud.update();
}

void ProtectionCycle::didFailWhenRemovingContacts() {
  finish();
  CycleHud& hud = m_view.hud();
  hud.setBlockTouches(false);
  hud.setCaption(Localizable::tr(
      "Kunne ikke fjerne ringeplagvernkontakten, vennligst sjekk rettighetene til Ringeplagvern applikasjonen under "
      "innstillingene på telefonen"));
  hud.hideAfter(kMessageSeconds);
  hud.setActivity(false);
  hud.update();
  // The contact is still in the address book, so protection is still on.
  m_view.setProtectionSwitchOn(true);
  storeProtectionEnabled(m_view.isProtectionSwitchOn());
}

// --- What the screen shows --------------------------------------------------

bool ProtectionCycle::hasTerrorNumbers() const { return numberlist::Contact::countOfEntities().value_or(0) != 0; }

QString ProtectionCycle::applicationInformation() const {
  std::size_t members = 0;
  if (protectionEnabled()) {
    const std::shared_ptr<abm::AddressBookManagerV2> probe = abm::AddressBookManagerV2::init();
    if (probe->hasAccessToAddressBook() && probe->hasLocalSource()) members = m_addressBookManager->countOfMembers();
  }
  const std::size_t stored = numberlist::Contact::countOfEntities().value_or(0);
  return fillFormat(Localizable::tr("Søker i %d nummer"), {QString::number(stored)}) + u'\n' +
         fillFormat(Localizable::tr("Din adressebok inneholder %d telefonselgere/markedsundersøkere"),
                    {QString::number(members)});
}

void ProtectionCycle::refreshInformationText() { m_view.setInformationText(applicationInformation()); }

void ProtectionCycle::storeProtectionEnabled(bool enabled) {
  // Writing the settings file waits for the disk, which right after a large
  // contact was saved takes longer than a frame: only a change is written.
  if (settings().boolForKey(AutoImportEnabledKey) == enabled) return;
  settings().setBool(AutoImportEnabledKey, enabled);
  settings().synchronize();
}

}  // namespace app
