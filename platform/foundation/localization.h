#pragma once
// Localisation lookup: every user-visible text is looked up with its Norwegian
// text as the key in a named table; without a translation the key itself is
// the answer. Tables are Qt translation contexts.

#include <string>
#include <string_view>

namespace fnd {

inline constexpr std::string_view kDefaultStringTable = "Localizable";

// The translation of `key` in `table`, or `key` when there is none.
std::string localizedString(std::string_view key, std::string_view table = kDefaultStringTable);

// Loads the translations for the system's language (or `language`, e.g. "en")
// from the application's resources, replacing any loaded before; returns
// whether a translation was found. Norwegian, the language of the keys, needs
// none, and a Norwegian locale never falls back to another language.
bool installTranslations(std::string_view language = {});

// The language the texts are shown in: the loaded translation's ("en"), or
// "nb" for the keys themselves.
std::string languageInUse();

}  // namespace fnd
