#include "platform/core/filestream.h"

#include "platform/core/alloc.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <zlib.h>

namespace vl {

namespace {

// What a C-runtime mode string asks of open(2).
struct OpenMode {
    bool valid = false;
    char kind = 0; // 'r', 'w' or 'a'
    bool update = false;
    bool exclusive = false;
    bool unlocked = false; // 'n': a reader that takes no hold, for a file a writer holds
};

OpenMode ParseMode(const char* mode) {
    OpenMode m;
    if (!mode || (mode[0] != 'r' && mode[0] != 'w' && mode[0] != 'a')) return m;
    m.valid = true;
    m.kind = mode[0];
    for (const char* p = mode + 1; *p; ++p) {
        if (*p == '+') m.update = true;
        if (*p == 'x') m.exclusive = true;
        if (*p == 'n') m.unlocked = m.kind == 'r' && !m.update;
    }
    return m;
}

int OpenFlags(const OpenMode& m) {
    int flags = O_CLOEXEC;
    if (m.kind == 'r') return flags | (m.update ? O_RDWR : O_RDONLY);
    flags |= O_CREAT | (m.update ? O_RDWR : O_WRONLY);
    if (m.kind == 'a') flags |= O_APPEND;
    if (m.exclusive) flags |= O_EXCL;
    return flags;
}

const char* FdopenMode(const OpenMode& m) {
    switch (m.kind) {
    case 'r':
        return m.update ? "r+" : "r";
    case 'w':
        return m.update ? "w+" : "w";
    default:
        return m.update ? "a+" : "a";
    }
}

// A gzip layer over a duplicate of the file's descriptor, reading or writing as `kind` says.
gzFile OpenLayer(FILE* file, char kind) {
    const int fd = dup(fileno(file));
    if (fd < 0) return nullptr;
    gzFile gz = gzdopen(fd, kind == 'r' ? "rb" : kind == 'a' ? "ab" : "wb");
    if (!gz) {
        close(fd);
        return nullptr;
    }
    gzbuffer(gz, 1u << 17);
    return gz;
}

// Most programs hold a file they edit with a record lock (fcntl) rather than flock. Any
// such lock another holder has on any byte of the file keeps writers out, as a flock hold
// does: asked as a whole-file write lock would be. The query of open file descriptions sees
// both their locks and those of processes; older kernels answer only the latter.
bool RecordLockedElsewhere(int fd) {
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    if (fcntl(fd, F_OFD_GETLK, &probe) == 0) return probe.l_type != F_UNLCK;
    probe = {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    return fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

int32_t ClampSize(off_t size) {
    return size > INT32_MAX ? INT32_MAX : int32_t(size);
}

} // namespace

CFileStream::~CFileStream() {
    if (file_) Close();
    FreeBlock(buffer_);
}

bool CFileStream::PrepareBuffer(int32_t size) {
    if (size < 1) return false;
    if (buffer_ && capacity_ >= size) {
        bufferSize_ = size;
        return true;
    }
    FreeBlock(buffer_);
    buffer_ = static_cast<uint8_t*>(AllocBlock(size_t(size)));
    capacity_ = bufferSize_ = buffer_ ? size : 0;
    return buffer_ != nullptr;
}

// Opens and locks the file. Only a lock held elsewhere is "in use": a flock hold, or for a
// writer also a record lock; a file opened for writing is truncated only once it is ours.
bool CFileStream::OpenFile(const char* path, const char* mode) {
    const OpenMode m = ParseMode(mode);
    const ErrorCode failure = m.kind == 'r' ? kStreamOpenRead : kStreamOpenWrite;
    if (!m.valid || !path) {
        status_ = failure;
        return false;
    }
    // Not blocking, so that a pipe with no writer cannot hold the open; only a regular
    // file is a document (a pipe or a device would block or never end).
    const int fd = open(path, OpenFlags(m) | O_NONBLOCK, 0666);
    if (fd < 0) {
        status_ = failure;
        return false;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        close(fd);
        status_ = failure;
        return false;
    }
    // Readers share the file; a writer must have it alone.
    const bool reader = m.kind == 'r' && !m.update;
    const bool flockHeld = !m.unlocked && flock(fd, (reader ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0 &&
                           errno == EWOULDBLOCK;
    if (flockHeld || (!reader && RecordLockedElsewhere(fd))) {
        close(fd);
        status_ = m.kind == 'r' ? kStreamInUse : kStreamOpenWrite;
        return false;
    }
    if (m.kind == 'w' && ftruncate(fd, 0) != 0) {
        close(fd);
        status_ = failure;
        return false;
    }
    file_ = fdopen(fd, FdopenMode(m));
    if (!file_) {
        close(fd);
        status_ = failure;
        return false;
    }
    // The window is the only buffer.
    setvbuf(file_, nullptr, _IONBF, 0);
    return true;
}

void CFileStream::StartLayer() {
    layerStop_ = INT64_MAX;
    layerStopCode_ = kErrorNone;
    rewinds_ = 0;
}

bool CFileStream::CloseFiles() {
    bool ok = true;
    if (gz_) {
        ok = gzclose(static_cast<gzFile>(gz_)) == Z_OK;
        gz_ = nullptr;
    }
    if (file_) {
        ok = fclose(file_) == 0 && ok;
        file_ = nullptr;
    }
    return ok;
}

bool CFileStream::Open(const char* path, const char* mode, bool gzip, int32_t bufferSize) {
    if (file_) {
        if (!WriteBack()) Fail(kStreamClose);
        if (!CloseFiles()) Fail(kStreamClose);
        path_.clear();
    }
    if (!PrepareBuffer(bufferSize)) {
        status_ = kStreamBuffer;
        return false;
    }
    if (!OpenFile(path, mode)) return false;
    const OpenMode m = ParseMode(mode);
    if (gzip) gz_ = OpenLayer(file_, m.kind);
    writing_ = gz_ && m.kind != 'r';
    StartLayer();
    position_ = windowStart_ = 0;
    windowEnd_ = -1;
    dirty_ = 0;
    readOnly_ = m.kind == 'r' && !m.update;
    path_ = path;
    status_ = kErrorNone;
    return true;
}

bool CFileStream::Close() {
    if (!file_) return false;
    const bool written = WriteBack();
    if (!written) Fail(kStreamClose);
    const bool closed = CloseFiles();
    if (!closed) Fail(kStreamClose);
    path_.clear();
    dirty_ = 0;
    position_ = windowStart_ = 0;
    windowEnd_ = -1;
    return written && closed;
}

bool CFileStream::Flush() {
    if (!WriteBack()) return false;
    const int result = gz_ ? gzflush(static_cast<gzFile>(gz_), Z_FINISH) : fflush(file_);
    // A save is not done until its bytes are on the disk; devices that cannot sync pass.
    const bool synced = fsync(fileno(file_)) == 0 || errno == EINVAL || errno == EROFS;
    if (result != 0 || !synced) {
        status_ = kStreamWrite;
        return false;
    }
    return true;
}

bool CFileStream::Reopen(const char* mode, bool gzip) {
    if (!file_) return false;
    status_ = kErrorNone;
    WriteBack();
    if (gz_) {
        gzclose(static_cast<gzFile>(gz_));
        gz_ = nullptr;
    }
    if (fseek(file_, 0, SEEK_SET) != 0) Fail(kStreamSeek);
    const bool writing = mode && mode[0] == 'w';
    if (writing && ftruncate(fileno(file_), 0) != 0) status_ = kStreamWrite;
    if (gzip && status_ == kErrorNone) {
        gz_ = OpenLayer(file_, writing ? 'w' : 'r');
        if (!gz_) status_ = kStreamWrite;
    }
    writing_ = gz_ && writing;
    StartLayer();
    position_ = windowStart_ = 0;
    windowEnd_ = -1;
    dirty_ = 0;
    return status_ == kErrorNone;
}

int32_t CFileStream::GetLength() const {
    struct stat st;
    if (!file_ || fstat(fileno(file_), &st) != 0) return 0;
    return ClampSize(st.st_size);
}

bool CFileStream::IsCompressed() const {
    return gz_ && (writing_ || !gzdirect(static_cast<gzFile>(gz_)));
}

bool CFileStream::RenameTo(const char* path) {
    if (!file_ || !path) return false;
    struct stat st;
    if (stat(path, &st) == 0) fchmod(fileno(file_), st.st_mode & 07777);
    if (rename(path_.c_str(), path) != 0) {
        Fail(kStreamWrite);
        return false;
    }
    path_ = path;
    return true;
}

bool CFileStream::IsSameFile(const char* path) const {
    struct stat own, other;
    return file_ && path && fstat(fileno(file_), &own) == 0 && stat(path, &other) == 0 &&
           own.st_dev == other.st_dev && own.st_ino == other.st_ino;
}

// A document kept open holds its file shared: other documents may open it read-only, but
// no one for writing.
bool CFileStream::HoldLock(bool hold) {
    if (!file_) return false;
    return flock(fileno(file_), hold ? LOCK_SH | LOCK_NB : LOCK_UN) == 0;
}

void CFileStream::Swap(CFileStream& other) noexcept {
    std::swap(path_, other.path_);
    std::swap(file_, other.file_);
    std::swap(gz_, other.gz_);
    std::swap(position_, other.position_);
    std::swap(windowStart_, other.windowStart_);
    std::swap(windowEnd_, other.windowEnd_);
    std::swap(savedPosition_, other.savedPosition_);
    std::swap(buffer_, other.buffer_);
    std::swap(bufferSize_, other.bufferSize_);
    std::swap(capacity_, other.capacity_);
    std::swap(dirty_, other.dirty_);
    std::swap(readOnly_, other.readOnly_);
    std::swap(writing_, other.writing_);
    std::swap(status_, other.status_);
    std::swap(layerStop_, other.layerStop_);
    std::swap(layerStopCode_, other.layerStopCode_);
    std::swap(rewinds_, other.rewinds_);
}

int32_t CFileStream::GetFileSize(const char* path, ErrorCode* status) {
    struct stat st;
    if (!path || stat(path, &st) != 0) {
        if (status) *status = kStreamFileSize;
        return 0;
    }
    return ClampSize(st.st_size);
}

bool CFileStream::DeleteFile(const char* path, ErrorCode* status) {
    if (path && unlink(path) == 0) return true;
    if (status) *status = kStreamDelete;
    return false;
}

bool CFileStream::FileExists(const char* path) {
    struct stat st;
    return path && stat(path, &st) == 0;
}

} // namespace vl
