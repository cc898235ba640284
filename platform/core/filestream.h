#pragma once
// The one file abstraction under every reader and writer: a file opened exclusively, one
// read/write buffer window over it, an optional gzip layer that makes compressed files read
// and write like plain ones, and optional RC4 encryption. Nothing throws: every operation
// returns its result and leaves a status byte whose value is the document error code that
// callers report.

#include "platform/core/crypto.h"
#include "platform/core/errorcode.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace vl {

// The status byte holds a code of the error list: kErrorNone, kErrorFileFormat (a compressed
// stream that ends early, or content past the 2 GiB a position can reach) or a kStream code.

// The buffer size every caller asks for.
constexpr int32_t kFileBufferSize = 524228;

enum SeekOrigin : int { kSeekStart = 0, kSeekCurrent = 1, kSeekEnd = 2 };

class CFileStream {
public:
    CFileStream() = default;
    ~CFileStream();
    CFileStream(const CFileStream&) = delete;
    CFileStream& operator=(const CFileStream&) = delete;

    // Modes are those of fopen ("rb", "r+b", "w+b", ...); an "x" makes the open fail when
    // the file exists; an "n" on "rb" reads without taking a hold (what a writer that holds
    // the file alone refuses to other readers). A file is held with an exclusive lock while
    // it is open. Only a
    // regular file opens: a pipe, a device or a folder fails as a missing file would.
    bool Open(const char* path, const char* mode, bool gzip, int32_t bufferSize);
    // False when the window could not be written back or the file not closed.
    bool Close();
    // Writes the window back, ends the compressed stream and puts the bytes on disk.
    bool Flush();
    // Starts the open file over at position 0; "w" modes truncate it.
    bool Reopen(const char* mode, bool gzip);
    bool Seek(int origin, int32_t offset);

    bool Write(const void* bytes, int32_t n);
    bool WriteAt(const void* bytes, int32_t n, int origin, int32_t offset);
    bool WriteString(const char* text);
    // Encrypts a copy in chunks of 2,048 bytes; the caller's bytes stay as they are.
    bool WriteEncrypt(const void* bytes, int32_t n, CryptoContext* ctx);
    int32_t Read(void* dest, int32_t n);
    int32_t ReadAt(void* dest, int32_t n, int origin, int32_t offset);
    int32_t ReadDecrypt(void* dest, int32_t n, CryptoContext* ctx);

    // The byte at the position (0 at the end of the file), without moving.
    uint8_t Peek();
    bool Next() { return Seek(kSeekCurrent, 1); }
    bool Skip(int32_t offset) { return Seek(kSeekCurrent, offset); }
    bool IsEof();
    // -1, 0 or 1 as the coming bytes compare with the literal (unsigned); consumes nothing.
    int CompareAhead(const void* literal, int32_t n);
    void SavePosition() { savedPosition_ = position_; }
    bool RestorePosition() { return Seek(kSeekStart, savedPosition_); }

    int32_t GetPosition() const { return position_; }
    // The length on disk: neither the unwritten window nor, for gzip, uncompressed bytes.
    int32_t GetLength() const;
    bool IsOpen() const { return file_ != nullptr; }
    bool IsReadOnly() const { return readOnly_ != 0; }
    bool IsCompressed() const;
    ErrorCode GetError() const { return status_; }
    // The stream's own failure, or `fallback` when it has none.
    ErrorCode ErrorOr(ErrorCode fallback) const { return vl::ErrorOr(status_, fallback); }
    const std::string& GetPath() const { return path_; }
    // How often since the open a gzip layer being read went back to the start of the file to
    // reach an earlier position, inflating everything before it once more.
    int32_t GetRewinds() const { return rewinds_; }

    // Gives the open file the name `path`, replacing a file of that name (whose permission
    // bits it takes over), so that a save written aside becomes the document at once.
    bool RenameTo(const char* path);
    // Whether `path` names the open file (the same file, through any link or name).
    bool IsSameFile(const char* path) const;
    // Gives up (false) or takes again (true) the open file's lock, so that the file can be
    // opened once more while it stays open here; false when the lock could not be had.
    bool HoldLock(bool hold);
    // Exchanges everything two streams hold, open files included.
    void Swap(CFileStream& other) noexcept;

    static int32_t GetFileSize(const char* path, ErrorCode* status);
    static bool DeleteFile(const char* path, ErrorCode* status);
    static bool FileExists(const char* path);

private:
    bool PrepareBuffer(int32_t size);
    bool OpenFile(const char* path, const char* mode);
    bool CloseFiles();
    bool Refill(int32_t at);
    bool WriteBack();
    bool PositionLayer(int32_t at);
    // A new layer (or none) has neither stopped nor rewound.
    void StartLayer();
    // Records that a gzip layer being read delivers nothing from `at` on; false with `code`.
    bool StopLayer(int32_t at, ErrorCode code);
    // Makes the window hold the byte at the position; false at the end of the file, and
    // also with `failed` set when the window could not be had.
    bool FillAtPosition(bool* failed = nullptr);
    void Fail(ErrorCode code) {
        if (status_ == kErrorNone) status_ = code;
    }
    bool WindowEmpty() const { return windowEnd_ < windowStart_; }

    std::string path_;
    FILE* file_ = nullptr;
    void* gz_ = nullptr; // gzFile; kept opaque so that zlib stays out of this header
    int32_t position_ = 0;
    int32_t windowStart_ = 0;
    int32_t windowEnd_ = -1;
    int32_t savedPosition_ = 0;
    uint8_t* buffer_ = nullptr;
    int32_t bufferSize_ = 0;
    int32_t capacity_ = 0;
    uint8_t dirty_ = 0;
    uint8_t readOnly_ = 0;
    uint8_t writing_ = 0; // the gzip layer was opened for writing
    ErrorCode status_ = kErrorNone;
    int64_t layerStop_ = INT64_MAX; // see StopLayer
    ErrorCode layerStopCode_ = kErrorNone;
    int32_t rewinds_ = 0;
};

} // namespace vl
