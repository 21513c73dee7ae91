#pragma once
// PBRecord: the wrapper of one address-book record (base of PBSource, PBGroup
// and PBPerson). Every platform call runs on its instance's thread while the
// caller waits, so a record may be used from any thread.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/addressbook/record.h"

namespace pb {

class PBAddressBook;
class PBMultiValue;

class PBRecord : public std::enable_shared_from_this<PBRecord> {
 public:
  virtual ~PBRecord();
  PBRecord(const PBRecord&) = delete;
  PBRecord& operator=(const PBRecord&) = delete;

  // Wraps `record` for `addressBook` (may be null) and checks the wrapper in.
  template <class T>
  static std::shared_ptr<T> make(std::shared_ptr<PBAddressBook> addressBook, fnd::Ref<ab::Record> record);

  const std::shared_ptr<PBAddressBook>& addressBook() const noexcept { return m_addressBook; }
  const fnd::Ref<ab::Record>& recordRef() const noexcept { return m_recordRef; }
  void performRecordAction(const std::function<void(ab::Record&)>& action, bool waitUntilDone = true) const;

  ab::RecordID recordID() const;
  ab::RecordType recordType() const;
  fnd::Ref<fnd::String> compositeName() const;

  fnd::Ref<fnd::Object> getBasicValueForPropertyID(ab::PropertyID property) const;
  bool setBasicValue(fnd::Object* value, ab::PropertyID property, std::optional<fnd::Error>* error = nullptr);
  bool unsetBasicValueForPropertyID(ab::PropertyID property, std::optional<fnd::Error>* error = nullptr);
  std::shared_ptr<PBMultiValue> getMultiValueForPropertyID(ab::PropertyID property) const;
  bool setMultiValue(const PBMultiValue* value, ab::PropertyID property, std::optional<fnd::Error>* error = nullptr);
  bool unsetMultiValueForPropertyID(ab::PropertyID property, std::optional<fnd::Error>* error = nullptr);

  // Forwarded to the instance: a record's save saves the whole instance.
  bool save();
  bool save(std::optional<fnd::Error>* error);
  bool hasUnsavedChanges();
  void revert();

  virtual const char* className() const { return "PBRecord"; }
  virtual std::string description() const;
  static std::string descriptionForRecordType(std::uint32_t recordType);
  static std::string descriptionForPropertyType(std::uint32_t propertyType);

 protected:
  PBRecord(std::shared_ptr<PBAddressBook> addressBook, fnd::Ref<ab::Record> record);
  // "(null)" for an absent text, as descriptions show it.
  static std::string textOrNull(const fnd::String* text);

 private:
  void checkIn();

  std::shared_ptr<PBAddressBook> m_addressBook;
  fnd::Ref<ab::Record> m_recordRef;
};

template <class T>
std::shared_ptr<T> PBRecord::make(std::shared_ptr<PBAddressBook> addressBook, fnd::Ref<ab::Record> record) {
  std::shared_ptr<T> wrapper(new T(std::move(addressBook), std::move(record)));
  wrapper->checkIn();
  return wrapper;
}

}  // namespace pb
