#pragma once
// The formula comparison's cases and answers: the generated cases with the peer's cached
// answers, ours evaluated beside the same data block, and how two answers agree.

#include "tests/formula/evaltestutil.h"

#include <string>
#include <vector>

namespace vl::test {

// An answer: a number, a text or an error's text.
struct Answer {
    char kind = 'n'; // 'n', 't' or 'e'
    double number = 0;
    std::string text;
};

struct PeerCase {
    int line = 0;
    std::string kind, function, formula;
    Answer peer;
};

struct DataCell {
    std::string cell, kind, content;
};

struct PeerFile {
    std::vector<DataCell> data;
    std::vector<PeerCase> cases;
};

std::string DataPath(const char* name);
std::vector<std::string> Fields(const std::string& line);
std::string Describe(const Answer& a);
PeerFile ReadPeerFile();

bool SameError(const std::string& ours, const std::string& peer);
bool ParseComplex(std::string text, double& re, double& im);
bool Agree(const Answer& ours, const Answer& peer, bool complex = false);
bool SameMoment(const std::string& text, double serial);

Answer FromRecord(const uint8_t* r);
Answer Evaluate(TestBook& book, const std::string& formula, uint16_t column, uint32_t row);
void PutData(TestBook& book, const std::vector<DataCell>& data);
std::vector<Answer> EvaluateRecalculations(const std::vector<const PeerCase*>& cases);

} // namespace vl::test
