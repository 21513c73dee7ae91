#include "platform/files/whole_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QTemporaryDir>

namespace files {
namespace {

class WholeFileTest : public ::testing::Test {
 protected:
  std::string path(const char* relative) const { return m_root.filePath(relative).toStdString(); }
  QTemporaryDir m_root;
};

TEST_F(WholeFileTest, WriteCreatesFoldersReplacesWholeAndKeepsTheFilePrivate) {
  const std::string file = path("new/folder/card.vcf");
  ASSERT_EQ(writeFileAtomically(file, "first, and longer"), "");
  ASSERT_EQ(writeFileAtomically(file, std::string("second\0\xff", 8)), "");
  EXPECT_EQ(readWholeFile(file), std::string("second\0\xff", 8));
  struct stat status {};
  ASSERT_EQ(::stat(file.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u);
  EXPECT_EQ(QDir(m_root.filePath("new/folder")).entryList(QDir::Files | QDir::Hidden).size(), 1)
      << "no temporary file is left beside the card";
}

TEST_F(WholeFileTest, AFailedWriteNamesThePathAndKeepsTheOldContent) {
  const std::string blocker = path("plain-file");
  ASSERT_EQ(writeFileAtomically(blocker, "keep me"), "");
  const std::string failure = writeFileAtomically(blocker + "/card.vcf", "lost");
  EXPECT_NE(failure.find(blocker), std::string::npos) << failure;
  EXPECT_EQ(readWholeFile(blocker), "keep me");

  ASSERT_EQ(::mkdir(path("occupied.vcf").c_str(), 0700), 0);
  EXPECT_NE(writeFileAtomically(path("occupied.vcf"), "x"), "") << "a folder in the file's place is an error";
}

TEST_F(WholeFileTest, ReadAndRemoveOfMissingFiles) {
  EXPECT_EQ(readWholeFile(path("missing")), std::nullopt);
  EXPECT_EQ(removeFileIfPresent(path("missing")), "");
  ASSERT_EQ(writeFileAtomically(path("there"), "x"), "");
  EXPECT_NE(removeFileIfPresent(path("there") + "/below"), "") << "a path under a regular file cannot be checked";
  EXPECT_EQ(removeFileIfPresent(path("there")), "");
  EXPECT_EQ(readWholeFile(path("there")), std::nullopt);
}

}  // namespace
}  // namespace files
