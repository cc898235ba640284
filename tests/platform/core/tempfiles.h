#pragma once
// A folder of its own for each test, removed with everything in it when the test ends.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace vl::tempfiles {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vltest.XXXXXX").string();
        dir_ = mkdtemp(pattern.data()) ? pattern : std::string();
        EXPECT_FALSE(dir_.empty());
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    const std::string& Dir() const { return dir_; }

private:
    std::string dir_;
};

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace vl::tempfiles
