// covers: error.cpp, localization.cpp, system_log.cpp
#include <gtest/gtest.h>

#include "platform/foundation/error.h"
#include "platform/foundation/localization.h"
#include "platform/foundation/object_dictionary.h"
#include "platform/foundation/string_object.h"
#include "platform/foundation/system_log.h"

namespace fnd {
namespace {

TEST(Error, DescriptionComesFromUserInfoOrTheGenericText) {
  const Error parser = Error::withDescription("ContactParser", 100, "Kunne ikke legge inn nye nummer");
  EXPECT_EQ(parser.domain(), "ContactParser");
  EXPECT_EQ(parser.code(), 100);
  EXPECT_EQ(parser.localizedDescription(), "Kunne ikke legge inn nye nummer");
  const Error bare("JDErrorDomain", -1);
  EXPECT_EQ(bare.userInfo()->count(), 0u);
  EXPECT_EQ(bare.localizedDescription(), "The operation couldn’t be completed. (JDErrorDomain error -1.)");
}

TEST(Localization, WithoutATranslationTheNorwegianKeyIsTheText) {
  EXPECT_EQ(localizedString("Oppdaterer nummerlisten"), "Oppdaterer nummerlisten");
  EXPECT_EQ(localizedString("Vurder appen", "RatingPromptLocalizable"), "Vurder appen");
  EXPECT_FALSE(installTranslations("xx"));
}

TEST(SystemLog, FormatsLocationLineAndMessageWithTrailingBlank) {
  std::string captured;
  setLogSinkForTesting([&](std::string_view line) { captured = line; });
  systemLog("-[PBAddressBook save]", 42, "failed");
  setLogSinkForTesting({});
  EXPECT_EQ(captured, "-[PBAddressBook save]:42 failed ");
}

}  // namespace
}  // namespace fnd
