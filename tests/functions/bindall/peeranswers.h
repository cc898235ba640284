#pragma once
// Our own answers to the differences the comparison accepts, stored beside the peer's in
// peer-accepted-answers.tsv, so that a change to any of them fails the comparison.

#include "tests/functions/bindall/peercases.h"

#include <map>
#include <string>

namespace vl::test {

// "n<TAB>number to 15 significant digits", "t<TAB>text escaped" or "e<TAB>error".
std::string StoredForm(const Answer& a);

// formula -> stored form, from peer-accepted-answers.tsv (empty when it is missing).
std::map<std::string, std::string> ReadStoredAnswers();

// Rewrites peer-accepted-answers.tsv: the answers given, in the order of the formulas.
bool WriteStoredAnswers(const std::map<std::string, std::string>& answers);

} // namespace vl::test
