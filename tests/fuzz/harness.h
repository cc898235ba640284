#pragma once
// What the fuzz targets share: a broken promise that stops the run, the input read byte by
// byte or copied to an exact-size buffer, the checks after a formula, and, for readers that
// take a file, a temporary folder for it.

#include "formula/evalcontext.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vl::fuzz {

// A broken promise: the run stops here and the fuzzer keeps the input.
inline void Require(bool ok) {
    if (!ok) __builtin_trap();
}

// The input a byte at a time; past its end every byte is 0.
struct ByteReader {
    const uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;
    uint8_t Byte() { return pos < size ? data[pos++] : 0; }
    bool More() const { return pos < size; }
    // A count from 1 to `most`.
    int32_t Count(int32_t most) { return 1 + Byte() % most; }
    template <class T, std::size_t N> const T& Pick(const T (&table)[N]) {
        return table[Byte() % N];
    }
};

// An exact-size heap copy of the input after `prefix`, so that any read past its end is caught.
class ExactCopy {
public:
    ExactCopy(const uint8_t* data, std::size_t size, std::string_view prefix = {})
        : size_(prefix.size() + size), bytes_(new char[size_ ? size_ : 1]) {
        if (!prefix.empty()) std::memcpy(bytes_.get(), prefix.data(), prefix.size());
        if (size) std::memcpy(bytes_.get() + prefix.size(), data, size);
    }
    std::string_view View() const { return {bytes_.get(), size_}; }

private:
    std::size_t size_;
    std::unique_ptr<char[]> bytes_;
};

// After a formula of result `kind` (0 for none): a string or a temporary array is left only
// when the result is one.
inline void RequireOnlyResult(const CEvalContext& ctx, uint16_t kind) {
    Require(ctx.stringPool.count == (kind == kTokenText ? 1 : 0) &&
            ctx.scratch.arrayCount == (kind == kTokenArray ? 1 : 0));
}

inline void WriteFile(const std::string& path, const uint8_t* data, std::size_t size) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
}

// A folder of the run's own for input files, removed with them at exit; empty when none
// could be made. The name is a plain array: it must outlive the removal at exit.
inline std::string TempFolder() {
    static char folder[] = "/tmp/vlfuzz.XXXXXX";
    static const bool made = [] {
        if (!mkdtemp(folder)) return false;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(folder, ec);
        });
        return true;
    }();
    return made ? std::string(folder) : std::string();
}

} // namespace vl::fuzz
