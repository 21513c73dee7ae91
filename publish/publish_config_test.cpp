// covers: publish_config.cpp, target_factory.cpp
#include "publish/publish_config.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCommandLineParser>
#include <QFile>

#include "platform/defaults/configuration_sources.h"
#include "platform/files/whole_file.h"
#include "publish/carddav_target.h"
#include "publish/folder_target.h"
#include "publish/target_factory.h"

namespace publish {
namespace {

class PublishConfigTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const PublishConfig::Setting& setting : PublishConfig::settings()) ::unsetenv(setting.environmentVariable);
    files::removeFileIfPresent(configFile());
  }
  static std::string configFile() { return defaults::userConfigurationFile("publish.conf").toStdString(); }
};

TEST_F(PublishConfigTest, NothingConfiguredPublishesNowhere) {
  const PublishConfig config = PublishConfig::load();
  EXPECT_FALSE(config.publishesAnywhere());
  QStringList problems;
  EXPECT_TRUE(makeTargets(config, problems).empty());
  EXPECT_TRUE(problems.isEmpty());
}

TEST_F(PublishConfigTest, TheEnvironmentOverridesTheFileAndTheCommandLineOverridesBoth) {
  ASSERT_EQ(files::writeFileAtomically(configFile(),
                                       "folder=\"/from/file, kontakter\"\ncarddav=https://file.example/book/\n"
                                       "carddavUser=fil\n"),
            "");
  ::setenv("RINGEPLAGVERN_PUBLISH_CARDDAV", "https://env.example/book/", 1);
  ::setenv("RINGEPLAGVERN_PUBLISH_FOLDER", "", 1);  // empty: the file's value stays
  PublishConfig config = PublishConfig::load();

  QCommandLineParser parser;
  addPublishOptions(parser);
  ASSERT_TRUE(parser.parse({"ringeplagvern", "--publish-carddav-user", "cli", "--publish-evolution", "system"}));
  applyPublishOptions(parser, config);

  EXPECT_EQ(config.folder, QStringLiteral("/from/file, kontakter"));
  EXPECT_EQ(config.cardDavUrl, QStringLiteral("https://env.example/book/"));
  EXPECT_EQ(config.cardDavUser, QStringLiteral("cli"));
  EXPECT_EQ(config.evolutionBook, QStringLiteral("system"));
  EXPECT_FALSE(parser.parse({"ringeplagvern", "--publish-carddav-password", "secret"}))
      << "a password on the command line would be readable by every user of the machine";
}

TEST_F(PublishConfigTest, TheFactoryMakesTheNamedTargetsAndExplainsTheUnusableOnes) {
  PublishConfig config;
  config.folder = QString::fromLatin1(PublishConfig::kKPeopleFolder);
  config.cardDavUrl = QStringLiteral("https://dav.example/book/");
  config.cardDavPasswordFile = QStringLiteral("/nonexistent/password");
  config.evolutionBook = QStringLiteral("Kontakter");
  QStringList problems;
  Publisher::Targets targets = makeTargets(config, problems);
  ASSERT_EQ(targets.size(), 2u);
  EXPECT_TRUE(targets[0]->displayName().contains(QStringLiteral("Evolution")))
      << targets[0]->displayName().toStdString();
  EXPECT_EQ(targets[1]->displayName(), QStringLiteral("vCard-mappe ") + FolderTarget::kpeopleFolder());
  ASSERT_EQ(problems.size(), 1);
  EXPECT_TRUE(problems[0].contains(QStringLiteral("/nonexistent/password"))) << problems[0].toStdString();

  problems.clear();
  config = {};
  config.cardDavUrl = QStringLiteral("ftp://dav.example/");
  EXPECT_TRUE(makeTargets(config, problems).empty());
  EXPECT_EQ(problems.size(), 1);
}

TEST_F(PublishConfigTest, APasswordFileGivesItsFirstLine) {
  const std::string passwordFile = defaults::userConfigurationFile("dav-password").toStdString();
  ASSERT_EQ(files::writeFileAtomically(passwordFile, "hemmelig æ\r\nignored\n"), "");
  PublishConfig config;
  config.cardDavUrl = QStringLiteral("http://127.0.0.1:1/book");
  config.cardDavPasswordFile = QString::fromStdString(passwordFile);
  QStringList problems;
  const Publisher::Targets targets = makeTargets(config, problems);
  ASSERT_EQ(targets.size(), 1u) << problems.join('\n').toStdString();
  const auto* cardDav = dynamic_cast<const CardDavTarget*>(targets[0].get());
  ASSERT_NE(cardDav, nullptr);
  EXPECT_EQ(cardDav->resourceUrl(), QStringLiteral("http://127.0.0.1:1/book/ringeplagvern.vcf"));
  EXPECT_EQ(cardDav->settings().password, QStringLiteral("hemmelig æ"));
  files::removeFileIfPresent(passwordFile);
}

}  // namespace
}  // namespace publish
