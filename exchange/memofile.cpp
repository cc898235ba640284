#include "exchange/memofile.h"

#include "exchange/foreignfile.h"
#include "files/savetarget.h"
#include "model/cellrecord.h"
#include "platform/core/bytes.h"
#include "platform/core/cp1252.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vl {

namespace {

constexpr int32_t kMemoBuffer = 65536;
constexpr uint32_t kDBase3Block = 512;
constexpr uint32_t kDBase4Block = 512;
constexpr uint32_t kFoxProBlock = 64;
constexpr uint32_t kBlockHead = 8;
constexpr int64_t kLargestOffset = std::numeric_limits<int32_t>::max();

uint32_t LoadU32Big(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

void StoreU32Big(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}

bool IsDBase4(uint8_t format) {
    return format == kXBaseDBase4;
}

// The block size the header gives.
uint32_t HeaderBlockSize(const uint8_t* header, uint8_t format) {
    if (format == kXBaseFoxPro) return uint32_t(header[6]) << 8 | header[7];
    if (IsDBase4(format)) return LoadU16(header + 20);
    return kDBase3Block;
}

void AppendZeros(std::string& out, std::size_t n) {
    out.append(n, '\0');
}

} // namespace

std::string MemoFilePath(std::string_view tablePath, uint8_t format) {
    return ReplaceExtension(tablePath, format == kXBaseFoxPro ? ".fpt" : ".dbt");
}

bool CMemoReader::Open(std::string_view tablePath, uint8_t format) {
    format_ = format;
    std::string path = MemoFilePath(tablePath, format);
    // Older saves of ours named FoxPro memo files ".ftp".
    if (format == kXBaseFoxPro && !CFileStream::FileExists(path.c_str()))
        path = ReplaceExtension(tablePath, ".ftp");
    if (!file_.Open(path.c_str(), "rb", false, kMemoBuffer)) return false;
    size_ = file_.GetLength();
    uint8_t header[kMemoHeaderSize] = {};
    file_.ReadAt(header, int32_t(sizeof header), kSeekStart, 0);
    blockSize_ = HeaderBlockSize(header, format);
    return file_.GetError() == kErrorNone;
}

bool CMemoReader::ReadText(int64_t offset, int64_t length, std::string& text) {
    length = std::min<int64_t>({length, int64_t(kMaxCellText), size_ - offset});
    if (length <= 0) return true;
    text.resize(std::size_t(length));
    const int32_t n = file_.ReadAt(text.data(), int32_t(length), kSeekStart, int32_t(offset));
    text.resize(std::size_t(std::max(n, 0)));
    return file_.GetError() == kErrorNone;
}

bool CMemoReader::Read(uint32_t block, std::string& text) {
    text.clear();
    if (blockSize_ == 0 || block == 0) return true;
    const int64_t offset = int64_t(block) * blockSize_;
    if (offset >= size_ || offset > kLargestOffset) return true;
    if (format_ == kXBaseDBase3 || format_ == kXBaseClipper) {
        // The text ends at two 0x1A bytes, or at the end of the file.
        if (!ReadText(offset, int64_t(kMaxCellText) + 1, text)) return false;
        const std::size_t end = text.find("\x1A\x1A");
        if (end != std::string::npos) text.resize(end);
        if (text.size() > kMaxCellText) text.resize(kMaxCellText);
        return true;
    }
    uint8_t head[kBlockHead] = {};
    if (offset + int64_t(kBlockHead) > size_) return true;
    if (file_.ReadAt(head, int32_t(kBlockHead), kSeekStart, int32_t(offset)) != kBlockHead)
        return file_.GetError() == kErrorNone;
    int64_t length = 0;
    if (IsDBase4(format_)) {
        const uint32_t stored = LoadU32(head + 4);
        if (stored < kBlockHead) return true;
        length = int64_t(stored) - kBlockHead;
    } else {
        length = LoadU32Big(head + 4);
    }
    return ReadText(offset + kBlockHead, length, text);
}

CMemoWriter::CMemoWriter(std::string memoPath, std::string_view tablePath, uint8_t format)
    : memoPath_(std::move(memoPath)), tableName_(FileNameOfPath(tablePath)), format_(format) {}

CMemoWriter::~CMemoWriter() {
    // A memo file that was not finished is no one's.
    if (!file_.IsOpen()) return;
    const std::string path = file_.GetPath();
    file_.Close();
    CFileStream::DeleteFile(path.c_str(), nullptr);
}

bool CMemoWriter::Fail(ErrorCode& error) {
    error = file_.ErrorOr(kStreamWrite);
    return false;
}

bool CMemoWriter::Prepare(ErrorCode& error) {
    if (file_.IsOpen()) return true;
    uint8_t header[kMemoHeaderSize] = {};
    if (format_ == kXBaseFoxPro) {
        StoreU32Big(header, kMemoHeaderSize / kFoxProBlock);
        header[6] = uint8_t(kFoxProBlock >> 8);
        header[7] = uint8_t(kFoxProBlock);
    } else {
        StoreU32(header, 1);
        if (IsDBase4(format_)) {
            const std::size_t n = std::min<std::size_t>(tableName_.find('.'), 8);
            for (std::size_t i = 0; i < n && i < tableName_.size(); ++i)
                header[8 + i] = uint8_t(CharUpper1252(tableName_[i]));
            StoreU16(header + 20, uint16_t(kDBase4Block));
        } else {
            header[16] = 3;
        }
    }
    // Beside the memo file only: the table puts it in place by renaming it.
    if (!OpenTemporary(file_, memoPath_, false)) return Fail(error);
    if (!file_.Write(header, int32_t(sizeof header))) return Fail(error);
    size_ = kMemoHeaderSize;
    blockSize_ = HeaderBlockSize(header, format_);
    return true;
}

bool CMemoWriter::Write(std::string_view text, uint32_t& block, ErrorCode& error) {
    block = 0;
    if (text.empty()) return true;
    // A dBase III+ or Clipper memo ends at two end-of-file bytes: a text holding them (or
    // ending in one) would read back cut, so it is refused, as a form refuses what it cannot
    // hold.
    if ((format_ == kXBaseDBase3 || format_ == kXBaseClipper) &&
        (text.find("\x1A\x1A") != std::string_view::npos || text.back() == '\x1A')) {
        error = kStreamWrite;
        return false;
    }
    if (!Prepare(error)) return false;
    // The text goes at the block its number names, after zero bytes when the file's last
    // block was left short.
    const int64_t first = (size_ + blockSize_ - 1) / blockSize_;
    const int64_t at = first * blockSize_;
    std::string bytes;
    uint8_t head[kBlockHead] = {};
    if (format_ == kXBaseFoxPro) {
        StoreU32Big(head, 1);
        StoreU32Big(head + 4, uint32_t(text.size()));
        bytes.append(reinterpret_cast<const char*>(head), kBlockHead);
    } else if (IsDBase4(format_)) {
        head[0] = head[1] = 0xFF;
        head[2] = 0x08;
        StoreU32(head + 4, uint32_t(text.size() + kBlockHead));
        bytes.append(reinterpret_cast<const char*>(head), kBlockHead);
    }
    bytes += text;
    if (format_ == kXBaseDBase3 || format_ == kXBaseClipper) bytes += "\x1A\x1A";
    AppendZeros(bytes, (blockSize_ - bytes.size() % blockSize_) % blockSize_);
    const int64_t end = at + int64_t(bytes.size());
    if (end > kLargestOffset || first > std::numeric_limits<uint32_t>::max()) {
        error = kStreamWrite;
        return false;
    }
    if (at > size_) {
        const std::string gap(std::size_t(at - size_), '\0');
        if (!file_.WriteAt(gap.data(), int32_t(gap.size()), kSeekStart, int32_t(size_)))
            return Fail(error);
    }
    if (!file_.WriteAt(bytes.data(), int32_t(bytes.size()), kSeekStart, int32_t(at)))
        return Fail(error);
    size_ = end;
    block = uint32_t(first);
    return true;
}

bool CMemoWriter::Finish(ErrorCode& error) {
    if (!file_.IsOpen()) return true;
    uint8_t next[4];
    const uint32_t nextBlock = uint32_t((size_ + blockSize_ - 1) / blockSize_);
    if (format_ == kXBaseFoxPro)
        StoreU32Big(next, nextBlock);
    else
        StoreU32(next, nextBlock);
    // save target: the memo's own pair name, beside the memo the table's save checked.
    if (!file_.WriteAt(next, 4, kSeekStart, 0) || !file_.Flush() ||
        !file_.RenameTo(PairPath(memoPath_).c_str()))
        return Fail(error);
    return file_.Close() || Fail(error);
}

} // namespace vl
