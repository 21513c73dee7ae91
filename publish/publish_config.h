#pragma once
// Which places the protection contact is published to. Each setting comes
// from, in rising precedence: the file Ringeplagvern/publish.conf under the
// user's configuration location, an environment variable, and a command-line
// option (see settings()). Nothing configured means nothing is published.
// In the file, a value holding a comma is written in double quotes.
// A plain value; the loaders run on the caller's thread.

#include <QString>
#include <optional>
#include <span>

class QCommandLineParser;

namespace publish {

struct PublishConfig {
  // A vCard folder: a path, or kKPeopleFolder for KPeople's folder.
  static constexpr const char* kKPeopleFolder = "kpeople";

  std::optional<QString> folder;
  std::optional<QString> cardDavUrl;
  QString cardDavUser;
  QString cardDavPassword;
  QString cardDavPasswordFile;           // read when the targets are made; the password wins when both are set
  std::optional<QString> evolutionBook;  // "system" or a book's name

  // One setting under its three names.
  struct Setting {
    const char* fileKey;
    const char* environmentVariable;
    const char* commandLineOption;  // nullptr: not offered on the command line
    const char* description;
  };
  static std::span<const Setting> settings();

  // The file and the environment; the command line is applied by the caller.
  static PublishConfig load();
  // Sets the named setting (by its file key); an empty value changes nothing.
  void set(const char* fileKey, const QString& value);

  bool publishesAnywhere() const { return folder || cardDavUrl || evolutionBook; }
};

// Adds the settings' command-line options to `parser`.
void addPublishOptions(QCommandLineParser& parser);
// Applies the options given on the command line over `config`.
void applyPublishOptions(const QCommandLineParser& parser, PublishConfig& config);

}  // namespace publish
