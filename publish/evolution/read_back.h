#pragma once
// Test support: the numbers of a stored contact as an independent reader finds
// them, by the vCard attributes themselves rather than the writer's code.

#include <libebook/libebook.h>

#include <vector>

#include "publish/publish_target.h"

namespace publish::evolution::test {

// Each `itemN` group's TEL and X-ABLabel, in the order of the groups' numbers.
std::vector<LabelledNumber> labelledNumbers(EContact* contact);

// Fails the current test unless `contact` holds exactly `expected`, in order.
void expectSameNumbers(EContact* contact, const std::vector<LabelledNumber>& expected);

}  // namespace publish::evolution::test
