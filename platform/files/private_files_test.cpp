#include "platform/files/private_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <fstream>

namespace files {
namespace {

mode_t modeOf(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// Runs the test under the common umask, which would give 0755 folders and 0644 files.
class PrivateFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_root.isValid());
    m_previousMask = ::umask(022);
  }
  void TearDown() override { ::umask(m_previousMask); }
  std::string path(const char* relative) const { return m_root.filePath(relative).toStdString(); }

  QTemporaryDir m_root;
  mode_t m_previousMask = 0;
};

TEST_F(PrivateFilesTest, CreatedFoldersArePrivateAndExistingOnesKeepTheirMode) {
  ASSERT_EQ(::chmod(m_root.path().toUtf8().constData(), 0755), 0);
  ASSERT_TRUE(createPrivateFolders(path("a/b/c")));
  EXPECT_EQ(modeOf(path("")), 0755u) << "a folder the program did not create is left alone";
  for (const char* created : {"a", "a/b", "a/b/c"}) EXPECT_EQ(modeOf(path(created)), 0700u) << created;

  ASSERT_EQ(::chmod(path("a").c_str(), 0750), 0);
  EXPECT_TRUE(createPrivateFolders(path("a/b/c/d")));
  EXPECT_EQ(modeOf(path("a")), 0750u);
  EXPECT_EQ(modeOf(path("a/b/c/d")), 0700u);
}

TEST_F(PrivateFilesTest, AbsentFileIsMadePrivateAndAPresentOneIsLeftAsItIs) {
  ASSERT_TRUE(createPrivateFileIfAbsent(path("data/book.sqlite")));
  EXPECT_EQ(modeOf(path("data")), 0700u);
  EXPECT_EQ(modeOf(path("data/book.sqlite")), 0600u);

  std::ofstream(path("kept.sqlite")) << "contents";
  ASSERT_EQ(::chmod(path("kept.sqlite").c_str(), 0640), 0);
  EXPECT_TRUE(createPrivateFileIfAbsent(path("kept.sqlite")));
  EXPECT_EQ(modeOf(path("kept.sqlite")), 0640u);
  std::ifstream kept(path("kept.sqlite"));
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "contents");
}

TEST_F(PrivateFilesTest, AFileInTheWayOfAFolderIsAFailure) {
  std::ofstream(path("plain")) << "x";
  EXPECT_FALSE(createPrivateFolders(path("plain")));
  EXPECT_FALSE(createPrivateFileIfAbsent(path("plain/inside.sqlite")));
}

}  // namespace
}  // namespace files
