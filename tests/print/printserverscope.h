#pragma once
// Points the print system's client library at one server for a test, and back after it. The
// library reads its server once per thread and keeps it: without telling every thread that
// asks (this one and the print system's own) to read it again, a test would reach the server
// of the test before it.

#include "print/printsystemcall.h"

#include <chrono>
#include <cstdlib>
#include <cups/cups.h>
#include <optional>
#include <string>
#include <thread>

namespace vl {

class CPrintServerScope {
public:
    explicit CPrintServerScope(const std::string& server) {
        if (const char* given = std::getenv("CUPS_SERVER")) previous_ = given;
        setenv("CUPS_SERVER", server.c_str(), 1);
        // A question an earlier test gave up on may still hold the print system's thread.
        read_ = ReadAgain(100);
    }
    ~CPrintServerScope() {
        if (previous_)
            setenv("CUPS_SERVER", previous_->c_str(), 1);
        else
            unsetenv("CUPS_SERVER");
        // A server that stays silent holds the thread now: the next scope reads it again.
        ReadAgain(1);
    }
    CPrintServerScope(const CPrintServerScope&) = delete;
    CPrintServerScope& operator=(const CPrintServerScope&) = delete;

    // True when the print system's thread has read the server of this scope.
    bool Read() const { return read_; }

private:
    static bool ReadAgain(int tries) {
        cupsSetServer(nullptr);
        for (int i = 0; i < tries; ++i) {
            if (AskPrintSystem([] { cupsSetServer(nullptr); })) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    std::optional<std::string> previous_;
    bool read_ = false;
};

} // namespace vl
