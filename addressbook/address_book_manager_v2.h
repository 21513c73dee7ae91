#pragma once
// AddressBookManagerV2: owns the one protection contact, the person in the
// local address-book source whose note carries the product's marker and whose
// phone numbers are the listed numbers, each labelled with its firm. Builds,
// extends and removes it in the background, reporting to the delegate on the
// main thread while the background work waits (progress reports excepted:
// they coalesce, see sendUpdateProgressToDelegate). The synchronous operations run
// on the caller's thread; a background operation keeps the manager alive
// until its last report.

#include <QtGlobal>
#include <atomic>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "addressbook/manage_address_book.h"
#include "addressbook/wrapper/pb_address_book.h"

namespace abm {

// The protection contact's organisation: the product name.
inline constexpr std::string_view ProtectionContactName = "Ringeplagvern";
// The product name in lower case as the hexadecimal digits of its bytes: the
// contact's note and its identity mark.
inline constexpr std::string_view ProtectionContactNoteMarker = "72696e6765706c61677665726e";

class AddressBookManagerV2 final : public IManageAddressBook,
                                   public std::enable_shared_from_this<AddressBookManagerV2> {
 public:
  static constexpr std::string_view kImageName = ":/images/Icon.png";
  static constexpr std::string_view kQueueLabel = "no.tindravik.Queue";
  static constexpr std::string_view kErrorDomain = "AddressBookManager";
  static constexpr long kErrorCode = 100;
  static constexpr std::string_view kErrorText =
      QT_TRANSLATE_NOOP("Localizable", "En feil oppsto under lagring av kontakten!");

  // Looks for the local source at once when access is granted. The delegate
  // is not owned and must outlive every background operation it is told of.
  static std::shared_ptr<AddressBookManagerV2> initWithDelegate(IManageAddressBookDelegate* delegate);
  static std::shared_ptr<AddressBookManagerV2> init() { return initWithDelegate(nullptr); }

  void importLocalContactsInBackground(const numberlist::Contact::List& records) override;
  void removeImportedContactInBackground() override;
  std::size_t countOfMembers() override;
  bool hasAccessToAddressBook() override;
  bool hasLocalSource() override;
  void importNewLocalContactInBackground(const fnd::Ref<numberlist::Contact>& record) override;
  double progress() const override { return m_progress.load(std::memory_order_relaxed); }
  double maxProgress() const override { return m_maxProgress.load(std::memory_order_relaxed); }

  // The first protection contact of the source as the file holds it now, or null.
  std::shared_ptr<pb::PBPerson> findContact();
  // Every protection contact of the source, in the source's order.
  pb::PBAddressBook::People allContactsWithNote();
  // Removes every protection contact and saves; false without a source or when the save failed.
  bool removeImportedContact();
  void removeImportedContactWithoutSaving();

  std::shared_ptr<pb::PBSource> source() const;
  void setSource(std::shared_ptr<pb::PBSource> source);
  IManageAddressBookDelegate* manageAddressBookDelegate() const { return m_delegate; }
  void setManageAddressBookDelegate(IManageAddressBookDelegate* delegate) { m_delegate = delegate; }

  // The reports, each performed on the main thread when the delegate implements it.
  void sendCleaningUpBeforeImportDelegate();
  void sendUpdateProgressToDelegate();
  void sendStartedSavingToDelegate();
  void sendDidImportContactToDelegate();
  void sendDidFailImportOfContactWithErrorToDelegate(const fnd::Error& error);
  void sendDidRemoveContactToDelegate();
  void sendDidFailWhenRemovingContactToDelegate();
  void sendDidImportNewContactToDelegate();
  void sendDidFailImportNewContactToDelegate();
  void sendImportErrorToDelegate();

 private:
  // One number for the contact: the record's phone number and its firm as label.
  struct LabelledNumber {
    fnd::Ref<fnd::String> number;
    fnd::Ref<fnd::String> firm;
  };
  using LabelledNumbers = std::vector<LabelledNumber>;

  explicit AddressBookManagerV2(IManageAddressBookDelegate* delegate) : m_delegate(delegate) {}
  static LabelledNumbers labelledNumbers(const numberlist::Contact::List& records);
  void importInBackground(const LabelledNumbers& numbers);
  void appendInBackground(const LabelledNumber& number);
  template <class Report>
  void report(IManageAddressBookDelegate::Message message, Report&& deliver);

  IManageAddressBookDelegate* m_delegate;
  mutable std::mutex m_sourceMutex;
  std::shared_ptr<pb::PBSource> m_source;  // guarded by m_sourceMutex
  // Written by the background work while the main thread may read them in a report.
  std::atomic<double> m_progress{0};
  std::atomic<double> m_maxProgress{0};
  // A progress report is queued for the main thread and has not yet read the counter.
  std::atomic<bool> m_progressReportPending{false};
};

}  // namespace abm
