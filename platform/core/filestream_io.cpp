// Reading, writing and moving through the window of a file stream.

#include "platform/core/filestream.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <zlib.h>

namespace vl {

namespace {
constexpr int32_t kCryptChunk = 2048;
}

bool CFileStream::PositionLayer(int32_t at) {
    auto* gz = static_cast<gzFile>(gz_);
    if (gz && !writing_) {
        // Nothing can be read where the layer stopped, so it stays where it is.
        if (at >= layerStop_) return true;
        if (at < gztell(gz)) ++rewinds_;
    }
    const bool ok = gz ? gzseek(gz, at, SEEK_SET) == at : fseek(file_, at, SEEK_SET) == 0;
    if (!ok) Fail(kStreamSeek);
    return ok;
}

bool CFileStream::StopLayer(int32_t at, ErrorCode code) {
    if (gz_) {
        layerStop_ = at;
        layerStopCode_ = code;
    }
    Fail(code);
    return false;
}

bool CFileStream::Refill(int32_t at) {
    // Going back to where a gzip layer stopped would inflate the file again from its start.
    if (gz_ && at >= layerStop_) {
        Fail(layerStopCode_);
        return false;
    }
    if (!PositionLayer(at)) return false;
    // Positions are 32-bit: a window ends at INT32_MAX - 1, and a byte at INT32_MAX makes the
    // file one that cannot be read. No refill reads past that byte, so that the layer waits
    // where the next refill starts.
    const int32_t want = at == INT32_MAX ? 1 : std::min(bufferSize_, INT32_MAX - at);
    int32_t count = 0;
    if (gz_) {
        const int n = gzread(static_cast<gzFile>(gz_), buffer_, unsigned(want));
        if (n < 0) {
            Fail(kStreamRead);
            return false;
        }
        // zlib hands over what it could inflate of a stream that was cut short and marks it.
        int code = Z_OK;
        gzerror(static_cast<gzFile>(gz_), &code);
        if (n < want && code == Z_BUF_ERROR) return StopLayer(at, kErrorFileFormat);
        count = n;
    } else {
        count = int32_t(fread(buffer_, 1, size_t(want), file_));
        const bool failed = count < want && ferror(file_);
        clearerr(file_);
        if (failed) {
            Fail(kStreamRead);
            return false;
        }
    }
    if (at == INT32_MAX && count > 0) return StopLayer(at, kErrorFileFormat);
    windowStart_ = position_ = at;
    windowEnd_ = count > 0 ? at + count - 1 : -1;
    return true;
}

bool CFileStream::WriteBack() {
    if (!file_) return false;
    if (!dirty_) return true;
    if (!PositionLayer(windowStart_)) return false;
    const int32_t n = windowEnd_ - windowStart_ + 1;
    int32_t written = 0;
    if (gz_) {
        written = gzwrite(static_cast<gzFile>(gz_), buffer_, unsigned(n));
    } else {
        written = int32_t(fwrite(buffer_, 1, size_t(n), file_));
        clearerr(file_);
    }
    if (written != n) {
        Fail(kStreamRead);
        return false;
    }
    dirty_ = 0;
    return true;
}

bool CFileStream::Seek(int origin, int32_t offset) {
    if (!file_) return true;
    int64_t target = offset;
    if (origin == kSeekCurrent) {
        target = int64_t(position_) + offset;
    } else if (origin == kSeekEnd) {
        if (gz_) {
            Fail(kStreamSeek);
            return false;
        }
        // Bytes still in the window belong to the file's end too.
        if (!WriteBack()) return false;
        if (fseek(file_, 0, SEEK_END) != 0) {
            Fail(kStreamSeek);
            return false;
        }
        target = ftell(file_);
    }
    if (target < 0 || target > INT32_MAX) {
        Fail(kStreamSeek);
        return false;
    }
    const int32_t to = int32_t(target);
    if (!WindowEmpty() && to >= windowStart_ && to <= windowEnd_) {
        position_ = to;
        return true;
    }
    if (!WriteBack()) return false;
    if (!PositionLayer(to)) return false;
    windowStart_ = position_ = to;
    windowEnd_ = -1;
    return true;
}

bool CFileStream::Write(const void* bytes, int32_t n) {
    if (n < 1) return true;
    if (!file_) return false;
    if (int64_t(position_) + n > INT32_MAX) {
        Fail(kStreamWrite);
        return false;
    }
    const auto* src = static_cast<const uint8_t*>(bytes);
    while (n > 0) {
        if (position_ - windowStart_ >= bufferSize_) {
            // A full window whose earlier write-back failed: try again before going on.
            if (!WriteBack()) return false;
            windowStart_ += bufferSize_;
            windowEnd_ = -1;
        }
        const int32_t at = position_ - windowStart_;
        const int32_t k = std::min(n, bufferSize_ - at);
        std::memcpy(buffer_ + at, src, size_t(k));
        position_ += k;
        src += k;
        n -= k;
        dirty_ = 1;
        if (position_ - 1 > windowEnd_) windowEnd_ = position_ - 1;
        if (position_ - windowStart_ == bufferSize_) {
            if (!WriteBack()) return false;
            windowStart_ += bufferSize_;
            windowEnd_ = -1;
        }
    }
    return true;
}

bool CFileStream::WriteAt(const void* bytes, int32_t n, int origin, int32_t offset) {
    return Seek(origin, offset) && Write(bytes, n);
}

bool CFileStream::WriteString(const char* text) {
    return text ? Write(text, int32_t(std::strlen(text))) : true;
}

bool CFileStream::WriteEncrypt(const void* bytes, int32_t n, CryptoContext* ctx) {
    if (!ctx) return Write(bytes, n);
    if (!ctx->hasKey) {
        status_ = kStreamEncrypt;
        return false;
    }
    const auto* src = static_cast<const uint8_t*>(bytes);
    uint8_t work[kCryptChunk];
    for (int32_t done = 0; done < n;) {
        const int32_t k = std::min(kCryptChunk, n - done);
        std::memcpy(work, src + done, size_t(k));
        if (!Rc4Crypt(*ctx, work, size_t(k))) {
            status_ = kStreamEncrypt;
            return false;
        }
        if (!Write(work, k)) return false;
        done += k;
    }
    return true;
}

int32_t CFileStream::Read(void* dest, int32_t n) {
    if (n < 1 || !file_) return 0;
    auto* out = static_cast<uint8_t*>(dest);
    int32_t copied = 0;
    while (copied < n) {
        // A status kept from an earlier call must not turn the end of the file into a failure.
        bool failed = false;
        if (!FillAtPosition(&failed)) {
            if (failed) return 0;
            break;
        }
        const int32_t k = std::min(windowEnd_ - position_ + 1, n - copied);
        std::memcpy(out + copied, buffer_ + (position_ - windowStart_), size_t(k));
        copied += k;
        if (!Seek(kSeekStart, position_ + k)) return 0;
    }
    return copied;
}

int32_t CFileStream::ReadAt(void* dest, int32_t n, int origin, int32_t offset) {
    return Seek(origin, offset) ? Read(dest, n) : 0;
}

int32_t CFileStream::ReadDecrypt(void* dest, int32_t n, CryptoContext* ctx) {
    if (!ctx) return Read(dest, n);
    if (!ctx->hasKey) {
        status_ = kStreamDecrypt;
        return 0;
    }
    const int32_t count = Read(dest, n);
    if (!Rc4Crypt(*ctx, static_cast<uint8_t*>(dest), size_t(count))) {
        status_ = kStreamDecrypt;
        return 0;
    }
    return count;
}

bool CFileStream::FillAtPosition(bool* failed) {
    if (!file_) return false;
    if (!WindowEmpty() && position_ >= windowStart_ && position_ <= windowEnd_) return true;
    // A stream being compressed cannot be read back: it ends where it is written.
    if (writing_) return false;
    if ((!WindowEmpty() && !Seek(kSeekStart, position_)) || !Refill(position_)) {
        if (failed) *failed = true;
        return false;
    }
    return !WindowEmpty();
}

uint8_t CFileStream::Peek() {
    return FillAtPosition() ? buffer_[position_ - windowStart_] : 0;
}

bool CFileStream::IsEof() {
    return !FillAtPosition();
}

int CFileStream::CompareAhead(const void* literal, int32_t n) {
    const auto* lit = static_cast<const uint8_t*>(literal);
    int result = 0;
    int32_t i = 0;
    for (; i < n; ++i) {
        if (!FillAtPosition()) {
            result = 1;
            break;
        }
        const uint8_t b = buffer_[position_ - windowStart_];
        if (b != lit[i]) {
            result = b < lit[i] ? 1 : -1;
            break;
        }
        if (!Next()) {
            result = 1;
            break;
        }
    }
    if (i > 0) Seek(kSeekCurrent, -i);
    return result;
}

} // namespace vl
