#pragma once
// ProtectionCycle: the application's whole cycle behind the main screen. It
// decides when the number list is out of date, downloads, decodes and stores
// it, and builds or removes the protection contact from the records the
// settings select, keeping the stored protection setting in step and telling
// the person every step through a CycleHud. It owns the downloader, the
// parser and the protection contact manager, and is the delegate of all
// three. One cycle runs at a time: a start while another runs is refused,
// so two rebuilds can never overlap. Main thread only.

#include <QString>
#include <chrono>
#include <memory>
#include <string_view>

#include "addressbook/address_book_manager_v2.h"
#include "app/protection_publishing.h"
#include "numberlist/contact_parser.h"
#include "numberlist/data_downloader.h"

namespace app {

class CycleHud;

// What the cycle needs of the screen (or the terminal) that shows it.
class ProtectionCycleView {
 public:
  virtual CycleHud& hud() = 0;
  virtual bool isProtectionSwitchOn() const = 0;
  virtual void setProtectionSwitchOn(bool on) = 0;
  virtual void setInformationText(const QString& text) = 0;
  // The protection contact could not be written: explain why.
  virtual void showNotPossibleToImportContactsError() = 0;

 protected:
  ~ProtectionCycleView() = default;
};

class ProtectionCycle final : public numberlist::IDownloadDataDelegate,
                              public numberlist::IParseContactsDelegate,
                              public abm::ManageAddressBookDelegate<ProtectionCycle> {
 public:
  // How long a final message stays before the overlay hides by itself.
  static constexpr double kMessageSeconds = 7.0;
  // A stored list this many whole days old is refreshed.
  static constexpr std::int64_t kListLifetimeDays = 7;
  static constexpr std::string_view kDecodeQueueLabel = "no.tindravik.Decode";
  static constexpr std::string_view kSelectQueueLabel = "no.tindravik.Select";
  // How long after a cycle's end its workers have surely let go of the list.
  static constexpr std::chrono::milliseconds kMemoryReleaseDelay{1000};

  enum class Stage { Idle, Downloading, Storing, Importing, Removing };

  explicit ProtectionCycle(ProtectionCycleView& view);
  ~ProtectionCycle() override;
  ProtectionCycle(const ProtectionCycle&) = delete;
  ProtectionCycle& operator=(const ProtectionCycle&) = delete;

  // Downloads when the stored list is expired or no record is stored;
  // returns whether a download started.
  bool startDownloadIfDateIsExpired();
  bool isListExpired() const;
  // Downloads the list now; false when another cycle is running.
  bool startDownload();
  // Builds the protection contact from the selected records; `hudVisible`
  // when the overlay already shows (a refresh goes straight on to the import).
  bool startImportOfContact(bool hudVisible);
  bool removeImportedContacts();
  // The person turned protection on while no record is stored: fetch the list first.
  bool protectWithoutRecords();

  // Mirrors the protection contact as saved now to the configured places; a
  // place that fails adds a line under `caption` in the overlay.
  void publishProtectionContact(const QString& caption);
  // Blocks until the places have the contact as last saved, failures shown.
  void waitForPublishing() { m_publishing.waitForRounds(); }

  QString applicationInformation() const;
  bool hasTerrorNumbers() const;
  Stage stage() const { return m_stage; }
  bool isBusy() const { return m_stage != Stage::Idle; }

  numberlist::IDownloadData& dataDownloader() { return *m_dataDownloader; }
  numberlist::IParseContacts& contactParser() { return *m_contactParser; }
  abm::AddressBookManagerV2& addressBookManager() { return *m_addressBookManager; }

  // Reports of the downloader, the parser and the manager, on the main thread.
  void didFinishDownloadData(const fnd::Ref<fnd::Data>& data) override;
  void didFailDownloadWithError(const fnd::Error& error) override;
  void didFinishParsingContactsInArray(const numberlist::Contact::List& records) override;
  void didFailParsingWithError(const fnd::Error& error) override;
  void didUpdateProgress() override;
  void importStartedSaving() override;
  void didImportContacts() override;
  void didFailImportOfContactsWithError(const fnd::Error& error) override;
  void didRemoveContacts() override;
  void didFailWhenRemovingContacts() override;

 private:
  // Refuses a start while another cycle runs, so that reports never interleave.
  bool begin(Stage stage, const char* what);
  void finish() { m_stage = Stage::Idle; }
  void showFailure(const fnd::Error& error);
  void storeProtectionEnabled(bool enabled);
  void refreshInformationText();
  void showPublishingFailures(const QStringList& failures);
  void releaseMemoryOnceIdle();

  ProtectionCycleView& m_view;
  std::shared_ptr<numberlist::DataDownloader> m_dataDownloader;
  std::shared_ptr<numberlist::ContactParser> m_contactParser;
  std::shared_ptr<abm::AddressBookManagerV2> m_addressBookManager;
  Stage m_stage = Stage::Idle;
  ProtectionPublishing m_publishing;
  QString m_publishedCaption;  // the final message the latest publication belongs to
  // Work that finishes on another thread reaches the cycle only while this lives.
  std::shared_ptr<ProtectionCycle*> m_lifetime = std::make_shared<ProtectionCycle*>(this);
};

}  // namespace app
