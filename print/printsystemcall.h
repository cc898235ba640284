#pragma once
// Every question to the print system goes through here. The print system's client library
// waits a minute for each answer, and a print server that accepts and stays silent would hold
// the windows that long; so each question runs on one thread of its own and the caller waits
// at most a bounded time, the windows painting meanwhile. A print system that has not answered
// is not asked again until it does: the next questions fail at once.

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vl {

constexpr int kPrintSystemWaitMs = 1500;
// The wait for the print system's answers: kPrintSystemWaitMs, or the milliseconds
// VORLANE_PRINT_SYSTEM_WAIT_MS gives (100 to 600000), so that a check of what the windows do
// during the wait is not a race against it on a busy machine.
int PrintSystemWaitMs();
// The wait `text` gives, as PrintSystemWaitMs reads it (kPrintSystemWaitMs when it gives none).
int PrintSystemWaitFrom(const char* text);
// A question that may take long shows its wait after this time.
constexpr int kPrintWaitShownAfterMs = 500;

// What the windows do while a long question waits, from its start to its end (the object's
// life): they hold what the user types for later, and show a box with the text and Cancel
// once the answer is late.
class IPrintWait {
public:
    virtual ~IPrintWait() = default;
    virtual void Show() = 0;
    virtual bool Cancelled() const = 0;
};
using PrintWaitFactory = std::function<std::unique_ptr<IPrintWait>(const std::string& text)>;
// Installs what shows the waits (the windows do); none: waits show nothing.
void SetPrintWaitFactory(PrintWaitFactory factory);

enum class PrintWaitEnd { kAnswered, kLate, kCancelled };
// As AskPrintSystem, showing `text` with Cancel while the answer is late; the user's keys
// and clicks go to that box meanwhile. kCancelled when the user ended the wait.
PrintWaitEnd AskPrintSystemShowingWait(std::function<void()> question, int waitMs,
                                       const std::string& text);

// Runs `question` on the print system's thread; true when it finished within `waitMs`. A
// question given up on still runs to its end there, touching only what it owns.
bool AskPrintSystem(std::function<void()> question, int waitMs = PrintSystemWaitMs());

// The answer of `question`, or nothing when the print system did not give it in time.
template <class T>
std::optional<T> AskPrintSystemFor(std::function<T()> question, int waitMs = PrintSystemWaitMs()) {
    auto answer = std::make_shared<std::optional<T>>();
    if (!AskPrintSystem([answer, question = std::move(question)] { *answer = question(); }, waitMs))
        return std::nullopt;
    return std::move(*answer);
}

} // namespace vl
