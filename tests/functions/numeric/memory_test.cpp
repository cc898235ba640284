// Running out of memory in the middle of a call: every failure point ends with the right
// result or #MEMORY!, one result on the stack, nothing left behind and no block kept.
#include "callharness.h"
#include "platform/core/alloc.h"
#include "tests/model/newhook.h"

namespace vl::stattest {

namespace {

// Fails the chosen allocator at every point until a call runs through; each call must
// give its full result or #MEMORY! and give back every block. True when some point failed.
bool FailEverywhere(CallHarness& h, const char* call, bool operatorNew) {
    SCOPED_TRACE(call);
    Outcome full = h.Call(call);
    EXPECT_EQ(full.error, 0);
    for (long at = 0; at < 200; ++at) {
        h.ctx.ReleaseScratchArrays();
        long live = LiveBlockCount();
        (operatorNew ? h.newFailAfter : h.blockFailAfter) = at;
        Outcome o = h.Call(call);
        h.newFailAfter = h.blockFailAfter = -1;
        EXPECT_TRUE(o.tidy) << "at " << at;
        EXPECT_EQ(o.status, 0) << "at " << at;
        h.ctx.ReleaseScratchArrays();
        EXPECT_EQ(LiveBlockCount(), live) << "at " << at;
        bool failed = o.error == kErrMemory;
        for (const Cell& cell : o.cells) failed = failed || cell == Cell{ErrorValue{kErrMemory}};
        if (!failed) {
            EXPECT_EQ(o.number, full.number) << "at " << at;
            EXPECT_EQ(o.cells, full.cells) << "at " << at;
            return at > 0;
        }
    }
    ADD_FAILURE() << "never ran through";
    return true;
}

} // namespace

TEST(OutOfMemory, EndsWithMemoryErrorAndGivesEverythingBack) {
    CallHarness h;
    h.setNewFailAfter = modeltest::SetNewFailAfter;
    for (uint32_t i = 0; i < 300; ++i) {
        h.Put(0, i, double((i * 37) % 101));
        h.Put(1, i, double((i * 37) % 101 + 1));
    }
    for (const char* call :
         {"MEDIAN(A1:A300, 5)", "MODE(A1:A300)", "SKEW(A1:A300)", "DEVSQ(A1:A300)",
          "LARGE(A1:A300, {1; 2; 3})", "FREQUENCY(A1:A300, {10, 50})", "SLOPE(A1:A300, B1:B300)",
          "TREND(A1:A300, B1:B300, {1, 2},)", "LINEST(A1:A300, B1:B300, 1)",
          "COVAR(A1:A300, B1:B300)", "CHITEST(A1:A300, B1:B300)"}) {
        bool newFailed = FailEverywhere(h, call, true);
        bool blockFailed = FailEverywhere(h, call, false);
        EXPECT_TRUE(newFailed || blockFailed) << call << " allocated nothing";
    }
}

} // namespace vl::stattest
