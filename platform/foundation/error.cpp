#include "platform/foundation/error.h"

#include "platform/foundation/exception.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/foundation/string_object.h"

namespace fnd {

Error::Error(std::string domain, long code, Ref<Dictionary> userInfo)
    : m_domain(std::move(domain)),
      m_code(code),
      m_userInfo(userInfo ? std::move(userInfo) : Ref<Dictionary>(ObjectDictionary::create())) {}

Error Error::withDescription(std::string domain, long code, std::string_view description) {
  auto userInfo = ObjectDictionary::createMutable();
  userInfo->setObject(String::create(description).get(), kLocalizedDescriptionKey);
  return Error(std::move(domain), code, userInfo->copy());
}

std::string Error::localizedDescription() const {
  if (Object* description = m_userInfo->objectForKey(kLocalizedDescriptionKey);
      description && description->kind() == ObjectKind::String) {
    return std::string(static_cast<String*>(description)->utf8());
  }
  return formatString("The operation couldn’t be completed. (%s error %ld.)", m_domain.c_str(), m_code);
}

}  // namespace fnd
