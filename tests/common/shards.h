// Long random and exhaustive tests split into shards: each shard is a test of its own, so
// that CTest runs them side by side and no one test holds a run up. Shard `shard` of
// `count` takes every count-th item of the whole (a seed, a byte offset) from its own index
// on, so that together the shards cover the whole exactly once.
#pragma once

#include <gtest/gtest.h>

namespace vl::shards {

constexpr bool Takes(int shard, int count, long item) {
    return item % count == shard;
}

} // namespace vl::shards

// Runs the value-parameterized test suite `suite` once per shard; GetParam() is the shard.
#define VORLANE_SHARDS(suite, count)                                                               \
    INSTANTIATE_TEST_SUITE_P(Shard, suite, ::testing::Range(0, count))
