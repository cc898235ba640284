#pragma once
// The memo files of xBase tables: texts kept in blocks of a file beside the table, in the
// layout of the table's format (3 dBase III+, 4 dBase IV, 5 FoxPro, 6 Clipper).

#include "platform/core/errorcode.h"
#include "platform/core/filestream.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

constexpr uint8_t kXBaseDBase3 = 3;
constexpr uint8_t kXBaseDBase4 = 4;
constexpr uint8_t kXBaseFoxPro = 5;
constexpr uint8_t kXBaseClipper = 6;
constexpr uint32_t kMemoHeaderSize = 512;

// The memo file of a table: ".fpt" for FoxPro, ".dbt" for the others.
std::string MemoFilePath(std::string_view tablePath, uint8_t format);

// Reads memo texts of one table; the file stays open between reads.
class CMemoReader {
public:
    // False when the memo file cannot be opened; for FoxPro ".ftp" is tried when ".fpt" is
    // missing.
    bool Open(std::string_view tablePath, uint8_t format);
    // The text of a block, at most the cell-text limit long. A block the file does not hold,
    // or a header that gives no usable block size or length, gives an empty text; false only
    // for a stream error.
    bool Read(uint32_t block, std::string& text);

private:
    bool ReadText(int64_t offset, int64_t length, std::string& text);

    CFileStream file_;
    uint8_t format_ = 0;
    int64_t size_ = 0;
    uint32_t blockSize_ = 0;
};

// Writes the memo texts of one table into a new memo file aside, beside `memoPath` (the memo
// file's own target, links followed), which Finish leaves waiting under PairPath(memoPath)
// for the table to put it in place; the old memo file is not touched.
class CMemoWriter {
public:
    // `format` chooses the layout.
    CMemoWriter(std::string memoPath, std::string_view tablePath, uint8_t format);
    ~CMemoWriter();
    // Creates the file with its header; false with the stream's code in `error`.
    bool Prepare(ErrorCode& error);
    // Stores one text and gives its block; an empty text gives block 0 and writes nothing.
    // False with the stream's code in `error`.
    bool Write(std::string_view text, uint32_t& block, ErrorCode& error);
    // Completes the header, syncs the file and leaves it waiting under its pair name.
    bool Finish(ErrorCode& error);

private:
    bool Fail(ErrorCode& error);

    std::string memoPath_;
    std::string tableName_;
    uint8_t format_;
    CFileStream file_;
    uint32_t blockSize_ = 0;
    int64_t size_ = 0;
};

} // namespace vl
