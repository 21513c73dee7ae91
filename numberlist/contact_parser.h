#pragma once
// ContactParser: replaces the stored downloaded records with the records of a
// freshly downloaded list in one background save, keeping the records added
// by hand, and reports on the main thread. A list none of whose items gives a
// phone number changes nothing and is reported as a failure; so is a list
// that could not be written to the store file, which then keeps its old list. Main thread only; a
// parse in flight keeps the parser and its items alive until it has reported.

#include <QtGlobal>
#include <memory>
#include <string_view>

#include "numberlist/parse_contacts.h"

namespace numberlist {

class ContactParser final : public IParseContacts, public std::enable_shared_from_this<ContactParser> {
 public:
  static constexpr std::string_view kErrorDomain = "ContactParser";
  static constexpr long kErrorCode = 100;
  static constexpr std::string_view kErrorText = QT_TRANSLATE_NOOP("Localizable", "Kunne ikke legge inn nye nummer");
  // The list was read but could not be written to the store file; the
  // store's own reason follows the text.
  static constexpr long kSaveFailedCode = 101;
  static constexpr std::string_view kSaveFailedText =
      QT_TRANSLATE_NOOP("Localizable", "Kunne ikke lagre den nye nummerlisten");

  // The delegate is not owned and must outlive every parse it is told of.
  static std::shared_ptr<ContactParser> initWithDelegate(IParseContactsDelegate* delegate);

  void startParsingContactsInArray(fnd::Ref<fnd::Array> items) override;
  void respondDidFinishParsingContactsToDelegate(const numberlist::Contact::List& records) override;
  void respondDidFaiParsingWithErrorToDelegate(const fnd::Error& error) override;
  IParseContactsDelegate* theDelegate() const override { return m_delegate; }
  void setTheDelegate(IParseContactsDelegate* delegate) override { m_delegate = delegate; }

  // The failure report's error, with its text looked up for the user's language.
  static fnd::Error failureError();
  // The report's error for a list that could not be written, naming `cause`.
  static fnd::Error saveFailedError(const fnd::Error& cause);

 private:
  explicit ContactParser(IParseContactsDelegate* delegate) : m_delegate(delegate) {}
  IParseContactsDelegate* m_delegate;
};

}  // namespace numberlist
