// Running out of memory in the middle of a call: every failure point ends with the right
// result or #MEMORY!, one result on the stack, nothing left behind and no block kept.
#include "callharness.h"
#include "platform/core/alloc.h"
#include "tests/model/newhook.h"

namespace vl::stattest {

namespace {

struct MemoryCase {
    const char* name;
    std::vector<Arg> args;
};

// Fails the chosen allocator at every point until a call runs through; each call must
// give its full result or #MEMORY! and give back every block. True when some point failed.
bool FailEverywhere(CallHarness& h, const MemoryCase& c, bool operatorNew) {
    Outcome full = h.Call(c.name, c.args);
    EXPECT_EQ(full.error, 0) << c.name;
    for (long at = 0; at < 200; ++at) {
        h.ctx.ReleaseScratchArrays();
        long live = LiveBlockCount();
        (operatorNew ? h.newFailAfter : h.blockFailAfter) = at;
        Outcome o = h.Call(c.name, c.args);
        h.newFailAfter = h.blockFailAfter = -1;
        EXPECT_TRUE(o.tidy) << c.name << " at " << at;
        EXPECT_EQ(o.status, 0) << c.name << " at " << at;
        h.ctx.ReleaseScratchArrays();
        EXPECT_EQ(LiveBlockCount(), live) << c.name << " at " << at;
        bool failed = o.error == kErrMemory;
        for (const Cell& cell : o.cells) failed = failed || cell == Cell{ErrorValue{kErrMemory}};
        if (!failed) {
            EXPECT_EQ(o.number, full.number) << c.name << " at " << at;
            EXPECT_EQ(o.cells, full.cells) << c.name << " at " << at;
            return at > 0;
        }
    }
    ADD_FAILURE() << c.name << " never ran through";
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
    const Area a{0, 0, 0, 299}, b{1, 0, 1, 299};
    const std::vector<MemoryCase> cases = {
        {"MEDIAN", {a, 5.0}},
        {"MODE", {a}},
        {"SKEW", {a}},
        {"DEVSQ", {a}},
        {"LARGE", {a, NumbersColumn({1, 2, 3})}},
        {"FREQUENCY", {a, NumbersRow({10, 50})}},
        {"SLOPE", {a, b}},
        {"TREND", {a, b, NumbersRow({1, 2}), Omit{}}},
        {"LINEST", {a, b, 1.0}},
        {"COVAR", {a, b}},
        {"CHITEST", {a, b}},
    };
    for (const MemoryCase& c : cases) {
        bool newFailed = FailEverywhere(h, c, true);
        bool blockFailed = FailEverywhere(h, c, false);
        EXPECT_TRUE(newFailed || blockFailed) << c.name << " allocated nothing";
    }
}

} // namespace vl::stattest
