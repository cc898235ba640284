// Small files changed at one random byte each: whatever the version-6 reader or the
// binary-body reader takes must read back with every record from the binary form and with the
// records the XML form carries from it, and give the same XML again from either form.
// VORLANE_MUTATIONS sets how many files each test tries (thousands run in the benchmark).

#include "mutations.h"
#include "tests/platform/core/tempfiles.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace vl {

namespace {

int Count(int standard) {
    const char* chosen = std::getenv("VORLANE_MUTATIONS");
    const long n = chosen ? std::atol(chosen) : 0;
    return n > 0 ? int(n) : standard;
}

} // namespace

TEST(MutatedRandom, SmallVersion6FilesReadBackWithTheSameRecords) {
    tempfiles::TempFolder dir;
    const mutations::Bytes seed = mutations::SmallV6File();
    ASSERT_LT(seed.size(), 20000u);
    ASSERT_EQ(mutations::SeedFault(seed, true, dir.Path("")), "");
    const mutations::Outcome r =
        mutations::MutateAndReload(seed, true, 55, Count(250), dir.Path(""));
    EXPECT_GT(r.loaded, r.tried / 4) << "too few changed files load to say anything";
    EXPECT_EQ(r.faults, 0) << r.first;
}

TEST(MutatedRandom, SmallBinaryBodiesReadBackToTheSameXml) {
    tempfiles::TempFolder dir;
    const mutations::Bytes seed = mutations::SmallBody();
    ASSERT_GT(seed.size(), 1000u);
    ASSERT_EQ(mutations::SeedFault(seed, false, dir.Path("")), "");
    const mutations::Outcome r = mutations::MutateAndReload(
        seed, false, 56, Count(250), dir.Path(""), mutations::Keep::kXmlText);
    EXPECT_GT(r.loaded, r.tried / 4) << "too few changed bodies load to say anything";
    EXPECT_EQ(r.faults, 0) << r.first;
}

TEST(MutatedRandom, SmallBinaryBodiesReadBackWithTheSameRecords) {
    tempfiles::TempFolder dir;
    const mutations::Bytes seed = mutations::SmallBody();
    const mutations::Outcome r =
        mutations::MutateAndReload(seed, false, 57, Count(250), dir.Path(""));
    EXPECT_GT(r.loaded, r.tried / 4) << "too few changed bodies load to say anything";
    EXPECT_EQ(r.faults, 0) << r.first;
}

} // namespace vl
