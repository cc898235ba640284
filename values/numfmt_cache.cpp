#include "values/numfmt_cache.h"

#include <memory>
#include <string>

namespace vl {

namespace {

constexpr int kCacheEntries = 8;
// Longer codes are compiled every time: they are rare and would make keys costly.
constexpr std::size_t kMaxCachedCode = 256;

struct CacheEntry {
    std::string code;
    char separators[4] = {};
    bool valid = false;
    bool compiled = false;
    CompiledFormat format;
};

struct FormatCache {
    bool enabled = true;
    int next = 0;
    std::unique_ptr<CacheEntry> entries[kCacheEntries];
    std::unique_ptr<CompiledFormat> scratch;
};

FormatCache& Cache() {
    thread_local FormatCache cache;
    return cache;
}

void SeparatorKey(const SeparatorSet& set, char key[4]) {
    key[0] = set.decimal;
    key[1] = set.thousands;
    key[2] = set.date;
    key[3] = set.time;
}

bool SameKey(const CacheEntry& e, std::string_view code, const char key[4]) {
    return e.valid && e.code == code && e.separators[0] == key[0] && e.separators[1] == key[1] &&
           e.separators[2] == key[2] && e.separators[3] == key[3];
}

const CompiledFormat* CompileFresh(FormatCache& cache, std::string_view code,
                                   const SeparatorSet* set) {
    if (!cache.scratch) cache.scratch = std::make_unique<CompiledFormat>();
    return CompileFormatCode(*cache.scratch, code, set) ? cache.scratch.get() : nullptr;
}

} // namespace

const CompiledFormat* CompileCachedFormat(std::string_view code, const SeparatorSet* set) {
    FormatCache& cache = Cache();
    if (!cache.enabled || code.size() > kMaxCachedCode) return CompileFresh(cache, code, set);
    char key[4];
    SeparatorKey(set ? *set : InternalSeparators(), key);
    for (auto& e : cache.entries)
        if (e && SameKey(*e, code, key)) return e->compiled ? &e->format : nullptr;
    auto& slot = cache.entries[cache.next];
    cache.next = (cache.next + 1) % kCacheEntries;
    if (!slot) slot = std::make_unique<CacheEntry>();
    slot->code.assign(code);
    for (int k = 0; k < 4; ++k) slot->separators[k] = key[k];
    slot->compiled = CompileFormatCode(slot->format, code, set);
    slot->valid = true;
    return slot->compiled ? &slot->format : nullptr;
}

void SetFormatCacheEnabled(bool enabled) {
    FormatCache& cache = Cache();
    cache.enabled = enabled;
    for (auto& e : cache.entries)
        if (e) e->valid = false;
}

} // namespace vl
