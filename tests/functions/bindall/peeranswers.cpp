// Our stored answers to the accepted differences.
#include "tests/functions/bindall/peeranswers.h"

#include "tests/common/tsvtext.h"

#include <cmath>
#include <cstdio>
#include <fstream>

namespace vl::test {

namespace {

const char* const kFile = "peer-accepted-answers.tsv";

} // namespace

std::string StoredForm(const Answer& a) {
    if (a.kind == 'n') {
        char digits[40];
        // -0 and 0 are one answer; 15 digits leave the last bits' noise out.
        std::snprintf(digits, sizeof digits, "%.15g", a.number == 0 ? 0.0 : a.number);
        return std::string("n\t") + digits;
    }
    return std::string(1, a.kind) + '\t' + tsvtext::Escape(a.text);
}

std::map<std::string, std::string> ReadStoredAnswers() {
    std::map<std::string, std::string> out;
    std::ifstream in(DataPath(kFile));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        out[line.substr(0, tab)] = line.substr(tab + 1);
    }
    return out;
}

bool WriteStoredAnswers(const std::map<std::string, std::string>& answers) {
    std::ofstream out(DataPath(kFile));
    out << "# Our answer to every difference from the peer that peer-accepted.tsv or "
           "peer-pending.tsv\n"
           "# accepts, and to every case judged by a reference of ours: formula, kind (n "
           "number to 15\n"
           "# significant digits, t text, e error), answer.\n"
           "# The comparison fails when an answer changes. Written by tools/store-peer-answers.sh "
           "after a\n"
           "# change that is meant to change them (read the differences it prints first).\n";
    for (const auto& [formula, stored] : answers) out << formula << '\t' << stored << '\n';
    return bool(out);
}

} // namespace vl::test
