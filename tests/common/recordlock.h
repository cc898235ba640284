#pragma once
// Another process that holds a file with a record lock (fcntl), as most programs lock a file
// they edit, until the object is destroyed.

#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace vl::testlock {

enum class RecordLock { kProcessRead, kProcessWrite, kOfdRead, kOfdWrite };

inline const char* LockName(RecordLock kind) {
    switch (kind) {
    case RecordLock::kProcessRead:
        return "process read lock";
    case RecordLock::kProcessWrite:
        return "process write lock";
    case RecordLock::kOfdRead:
        return "open file description read lock";
    default:
        return "open file description write lock";
    }
}

class RecordLockingProcess {
public:
    // Locks `length` bytes from `start` (0: to the end and beyond, the whole file).
    RecordLockingProcess(const std::string& path, RecordLock kind, off_t start = 0,
                         off_t length = 0) {
        int up[2], down[2];
        if (pipe(up) != 0) return;
        if (pipe(down) != 0) {
            close(up[0]);
            close(up[1]);
            return;
        }
        child_ = fork();
        if (child_ == 0) {
            close(up[0]);
            close(down[1]);
            const bool reading = kind == RecordLock::kProcessRead || kind == RecordLock::kOfdRead;
            const bool ofd = kind == RecordLock::kOfdRead || kind == RecordLock::kOfdWrite;
            const int fd = open(path.c_str(), reading ? O_RDONLY : O_RDWR);
            struct flock lock {};
            lock.l_type = short(reading ? F_RDLCK : F_WRLCK);
            lock.l_whence = SEEK_SET;
            lock.l_start = start;
            lock.l_len = length;
            const char ready =
                fd >= 0 && fcntl(fd, ofd ? F_OFD_SETLK : F_SETLK, &lock) == 0 ? 'h' : 'x';
            char end = 0;
            if (write(up[1], &ready, 1) != 1 || read(down[0], &end, 1) < 0) _exit(2);
            _exit(0);
        }
        close(up[1]);
        close(down[0]);
        end_ = down[1];
        char ready = 0;
        held_ = child_ > 0 && ::read(up[0], &ready, 1) == 1 && ready == 'h';
        close(up[0]);
    }
    ~RecordLockingProcess() { Release(); }
    RecordLockingProcess(const RecordLockingProcess&) = delete;
    RecordLockingProcess& operator=(const RecordLockingProcess&) = delete;

    bool Held() const { return held_; }
    // Ends the process, and with it the lock.
    void Release() {
        if (child_ <= 0) return;
        close(end_);
        int status = 0;
        waitpid(child_, &status, 0);
        child_ = -1;
        held_ = false;
    }

private:
    pid_t child_ = -1;
    int end_ = -1;
    bool held_ = false;
};

} // namespace vl::testlock
