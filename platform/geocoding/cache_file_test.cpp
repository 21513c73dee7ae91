// The cache file is replaced whole or not at all: a writer killed at a random
// moment leaves the previous contents or the new ones, never a mixture.
#include "platform/geocoding/cache_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <chrono>
#include <random>
#include <thread>

namespace geo {
namespace {

constexpr std::size_t kFileBytes = 4 * 1024 * 1024;
constexpr int kKills = 6;

// Every version of the file is one byte repeated; the byte tells the version.
std::string version(char mark) { return std::string(kFileBytes, mark); }

bool isWholeVersion(const std::string& bytes) {
  return bytes.size() == kFileBytes && bytes.find_first_not_of(bytes.front()) == std::string::npos;
}

// Writes ever new versions of the file, a byte to `progress` after each.
[[noreturn]] void writeForever(const std::string& path, int progress) {
  for (int round = 0;; ++round) {
    if (!writeCacheFile(path, version(static_cast<char>('a' + round % 26)))) _exit(2);
    const char written = 1;
    if (write(progress, &written, 1) != 1) _exit(3);
  }
}

TEST(GeocodingCacheFile, AWriterKilledMidWriteLeavesAWholeFile) {
  QTemporaryDir directory;
  const std::string path = directory.filePath("PBAddressBookGeoCache.cache").toStdString();
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> delay(0, 40);
  for (int kill = 0; kill < kKills; ++kill) {
    int progress[2];
    ASSERT_EQ(pipe(progress), 0);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) writeForever(path, progress[1]);
    close(progress[1]);
    char written = 0;
    ASSERT_EQ(read(progress[0], &written, 1), 1) << "the writer never finished a file";
    std::this_thread::sleep_for(std::chrono::milliseconds(delay(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(progress[0]);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself with " << WEXITSTATUS(status);

    const std::optional<std::string> contents = readCacheFile(path);
    ASSERT_TRUE(contents);
    EXPECT_TRUE(isWholeVersion(*contents)) << "after kill " << kill << ": " << contents->size() << " bytes";
  }
}

TEST(GeocodingCacheFile, WritingMakesTheFolderAndRemovingForgetsTheFile) {
  QTemporaryDir directory;
  const std::string path = directory.filePath("new/folder/cache").toStdString();
  EXPECT_FALSE(readCacheFile(path));
  ASSERT_TRUE(writeCacheFile(path, "first"));
  ASSERT_TRUE(writeCacheFile(path, "second"));
  EXPECT_EQ(readCacheFile(path), "second");
  EXPECT_TRUE(removeCacheFile(path));
  EXPECT_FALSE(readCacheFile(path));
}

}  // namespace
}  // namespace geo
