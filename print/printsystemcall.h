#pragma once
// Every question to the print system goes through here. The print system's client library
// waits a minute for each answer, and a print server that accepts and stays silent would hold
// the windows that long; so each question runs on one thread of its own and the caller waits
// at most a bounded time, the windows painting meanwhile. A print system that has not answered
// is not asked again until it does: the next questions fail at once.

#include <functional>
#include <memory>
#include <optional>

namespace vl {

constexpr int kPrintSystemWaitMs = 1500;

// Runs `question` on the print system's thread; true when it finished within `waitMs`. A
// question given up on still runs to its end there, touching only what it owns.
bool AskPrintSystem(std::function<void()> question, int waitMs = kPrintSystemWaitMs);

// The answer of `question`, or nothing when the print system did not give it in time.
template <class T>
std::optional<T> AskPrintSystemFor(std::function<T()> question, int waitMs = kPrintSystemWaitMs) {
    auto answer = std::make_shared<std::optional<T>>();
    if (!AskPrintSystem([answer, question = std::move(question)] { *answer = question(); }, waitMs))
        return std::nullopt;
    return std::move(*answer);
}

} // namespace vl
