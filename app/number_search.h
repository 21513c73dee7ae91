#pragma once
// The number search: whether a typed number is on the stored list. Spaces are
// ignored; the stored list's own matching rule applies ('*' and '?' as
// wildcards). Main thread only (reads the default context).

#include <QString>
#include <optional>

namespace app {

struct ListedNumber {
  QString firm;
  // The stored number and its category, as the search result shows them.
  QString numberAndCategory;
};

// The typed text as the search takes it: without spaces. Empty means no number was given.
QString normalisedSearchText(const QString& typed);
// The first stored record that matches `normalised`, or none.
std::optional<ListedNumber> findListedNumber(const QString& normalised);

}  // namespace app
