#include "platform/uikit/image_named.h"

#include <gtest/gtest.h>

#include "platform/foundation/system_log.h"

namespace {

TEST(ImageNamed, AMissingImageIsNullAndNamedOnceInTheLog) {
  std::vector<std::string> log;
  fnd::setLogSinkForTesting([&log](std::string_view line) { log.emplace_back(line); });
  EXPECT_TRUE(uikit::imageNamed("finnes-ikke").isNull());
  EXPECT_TRUE(uikit::imageNamed("finnes-ikke").isNull());
  fnd::setLogSinkForTesting({});
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("finnes-ikke"), std::string::npos) << log[0];
}

TEST(ImageNamed, FindsTheApplicationsImagesWithOrWithoutTheirExtension) {
  const QPixmap bar = uikit::imageNamed("topBar");
  ASSERT_FALSE(bar.isNull());
  EXPECT_EQ(bar.deviceIndependentSize().toSize(), QSize(320, 44));
  EXPECT_EQ(uikit::imageNamed("topBar").cacheKey(), bar.cacheKey()) << "cached";
  EXPECT_FALSE(uikit::imageNamed("table-header.png").isNull());
  EXPECT_FALSE(uikit::imageNamed("Icon").isNull());
}

}  // namespace
