#pragma once
// Error: a reported failure as a value: a domain, an integer code and user
// information whose localised description is the text screens show.

#include <string>

#include "platform/foundation/containers.h"

namespace fnd {

// User-information key of the human-readable text.
inline constexpr std::string_view kLocalizedDescriptionKey = "NSLocalizedDescription";

class Error {
 public:
  Error(std::string domain, long code, Ref<Dictionary> userInfo = {});
  // An error whose user information holds only `description`.
  static Error withDescription(std::string domain, long code, std::string_view description);

  const std::string& domain() const noexcept { return m_domain; }
  long code() const noexcept { return m_code; }
  // Never null: an error without user information has an empty dictionary.
  const Ref<Dictionary>& userInfo() const noexcept { return m_userInfo; }
  // The description from the user information, or the platform's generic text.
  std::string localizedDescription() const;

 private:
  std::string m_domain;
  long m_code;
  Ref<Dictionary> m_userInfo;
};

}  // namespace fnd
