#pragma once
// Name matching and ordering of people, as the address book's lists and
// searches use them. Pure functions of the records; safe from any thread that
// may read the records.

#include <string_view>

#include "platform/addressbook/record.h"

namespace ab {

// Whether each word of `query` starts one of the person's name words
// (first, middle, last, nickname, organisation), ignoring case.
bool personMatchesName(const Record& person, std::string_view query);

}  // namespace ab
