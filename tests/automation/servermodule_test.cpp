#include "automation/serverlock.h"
#include "automation/servermodule.h"
#include "tests/core/faketimers.h"

#include <charconv>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

namespace vl {

TEST(ServerModule, QuitsAfterTheTimeoutAndThePause) {
    struct Case {
        const char* script;
        int64_t quitAt;
    };
    const Case cases[] = {
        {"L F P", 0},                                   // the frame alone quits at once
        {"L L F T A60000 U A4999 A1 Q A999 A1", 66000}, // a client outlives the frame
        {"L U A3000 L U A4999 A1001", 9000},            // activity restarts the time-out
        {"L U A1000 L A10000 q U A6000", 17000},        // a lock held at the end waits for it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        testclock::FakeTimers timers;
        int quitCode = -1;
        int64_t quitAt = -1;
        CServerModule module{timers, [&](int code) {
                                 quitCode = code;
                                 quitAt = timers.now;
                             }};
        std::istringstream steps(c.script);
        for (std::string step; steps >> step;) {
            const char op = step[0];
            const bool check = std::string_view("QqTP").find(op) != std::string_view::npos;
            EXPECT_TRUE(check || quitCode == -1) << "quit before " << step;
            int64_t ms = 0;
            std::from_chars(step.data() + 1, step.data() + step.size(), ms);
            if (op == 'L') module.Lock();
            if (op == 'U') module.Unlock();
            if (op == 'F') module.ReleaseFrameLock();
            if (op == 'A') timers.Advance(ms);
            if (op == 'Q' || op == 'q') {
                EXPECT_EQ(module.Quitting(), op == 'Q');
            }
            if (op == 'T') {
                EXPECT_EQ(module.TimeoutMs(), 5000);
            }
            if (op == 'P') {
                EXPECT_EQ(module.PauseMs(), 0);
            }
        }
        EXPECT_EQ(quitCode, 0);
        EXPECT_EQ(quitAt, c.quitAt);
    }
}

// Installed as the objects' lock, the module counts every live object: the last one gone
// starts the time-out, and a module no longer installed counts nothing new.
TEST(ServerModule, CountsTheObjectsThatHoldItsLock) {
    testclock::FakeTimers timers;
    int quits = 0;
    CServerModule module{timers, [&](int) { ++quits; }};
    SetServerLock(&module);
    {
        CServerLockHold first;
        auto second = std::make_unique<CServerLockHold>();
        EXPECT_EQ(module.LockCount(), 2);
        second.reset();
        EXPECT_EQ(module.LockCount(), 1);
        EXPECT_FALSE(timers.Armed());
    }
    EXPECT_EQ(module.LockCount(), 0);
    EXPECT_TRUE(timers.Armed());
    SetServerLock(nullptr);
    { CServerLockHold unseen; }
    EXPECT_EQ(module.LockCount(), 0);
    timers.Advance(CServerModule::kTimeoutMs + CServerModule::kPauseMs);
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(module.Quitting());
}

} // namespace vl
