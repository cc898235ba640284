#pragma once
// Gzip files that inflate to gigabytes of one byte. One member of 64 MiB is compressed once
// and written again and again (zlib reads members that follow each other as one stream),
// so 2 GiB of blanks take 2 MB on disk and a fraction of a second to make.

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>
#include <zlib.h>

namespace vl::tempfiles {

inline std::vector<char> GzipMember(const std::string& text) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
    std::vector<char> out(deflateBound(&z, uLong(text.size())) + 32);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = uInt(text.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// `head`, `count` bytes of `fill` and `tail`, compressed.
inline void WriteGzipFill(const std::string& path, const std::string& head, char fill,
                          uint64_t count, const std::string& tail) {
    constexpr uint64_t kMember = uint64_t(64) << 20;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const auto put = [&out](const std::vector<char>& bytes) {
        out.write(bytes.data(), std::streamsize(bytes.size()));
    };
    put(GzipMember(head));
    if (count >= kMember) {
        const std::vector<char> whole = GzipMember(std::string(kMember, fill));
        for (; count >= kMember; count -= kMember) put(whole);
    }
    put(GzipMember(std::string(count, fill) + tail));
}

} // namespace vl::tempfiles
