#pragma once
// Configuration of the address book service: where the shared file lives, what
// a new file holds, how a headless run answers the access question, and the
// user's name-ordering preferences. Process-wide; thread-safe.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/addressbook/properties.h"

namespace ab {

struct SourceDescription {
  std::string name;
  // A source without a type (as some accounts store them) reads as local.
  std::optional<SourceType> type = kSourceTypeLocal;
};

struct Configuration {
  // The address book file; empty means the default under the user's shared data location.
  std::string filePath;
  // The application whose access is asked and remembered; empty means the running program's name.
  std::string applicationName;
  // The sources a newly created file starts with.
  std::vector<SourceDescription> initialSources{{"", kSourceTypeLocal}};
  // Answer to the access question when no prompt is installed (headless runs, tests).
  bool accessGrantedWithoutPrompt = true;
  // Access is restricted for this user (for example by a device policy): never asked, never granted.
  bool accessRestricted = false;
  SortOrdering sortOrdering = SortOrdering::ByLastName;
  CompositeNameFormat compositeNameFormat = CompositeNameFormat::FirstNameFirst;
  // How often an instance with change callbacks looks for saves of other instances and programs.
  std::chrono::milliseconds changePollInterval{250};
  // How long a save or an opening waits for another program's write before it
  // fails; long enough to outlast another program's save of a large contact.
  std::chrono::milliseconds busyTimeout{10000};
};

// The configuration in force: the one set last, else one read from the
// environment (RP_ADDRESSBOOK_FILE, RP_ADDRESSBOOK_SOURCES as a comma list of
// "local", "exchange", "carddav", "ldap", RP_ADDRESSBOOK_ACCESS as "granted",
// "denied" or "restricted").
Configuration configuration();
void setConfiguration(Configuration configuration);
Configuration configurationFromEnvironment();

// The file the configuration names, with the default filled in.
std::string addressBookFilePath(const Configuration& configuration);
std::string applicationName(const Configuration& configuration);

// Asks the person whether `application` may use the address book; the
// application installs one that shows a dialog. Called once per application,
// on a background thread; the answer is remembered in the address book file.
using AccessPrompt = std::function<bool(const std::string& application)>;
void setAccessPrompt(AccessPrompt prompt);
AccessPrompt accessPrompt();

}  // namespace ab
