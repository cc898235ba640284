#pragma once
// The answers of the text-file comparison with the peer and the models of the reasons a
// listed difference may have: each model holds only for the pairs of answers its reason
// explains.

#include "model/exchangesettings.h"

#include <cstdint>
#include <map>
#include <string>

namespace vl::textpeer {

// n number (shortest text), t text (UTF-8), d date (ISO day), e error name, b no cell.
struct Answer {
    char kind = 'b';
    std::string value;
};
using Cells = std::map<std::string, Answer>; // by A1

// What a model may know of a cell: its column, the case's settings and all our cells.
struct CaseFacts {
    TextFileSettings settings;
    const Cells* ours = nullptr;
    uint16_t column = 0;
};

bool SameAnswer(const Answer& ours, const Answer& peer);
// The first reason whose model holds for the pair, or "" for none.
std::string ReasonFor(const Answer& ours, const Answer& peer, const CaseFacts& facts);
bool ReasonHolds(const std::string& reason, const Answer& ours, const Answer& peer,
                 const CaseFacts& facts);

} // namespace vl::textpeer
