#include "files/savetarget.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace vl {

namespace {

constexpr int kMaxLinkDepth = 40;
constexpr int kTemporaryNameTries = 100;
constexpr int32_t kProbeBuffer = 512;
// The longest name of a folder entry, and what a temporary name adds to the target's: ".",
// ".~" and a suffix of up to 20 characters (the process id and a counter).
constexpr std::size_t kLongestName = 255;
constexpr std::size_t kTemporaryRoom = 23;

namespace fs = std::filesystem;

// A temporary name of the prefix: ".~" then the process and a counter, digits and one dot.
bool IsTemporarySuffix(const std::string& rest) {
    size_t dots = 0;
    for (const char c : rest) {
        if (c == '.')
            ++dots;
        else if (c < '0' || c > '9')
            return false;
    }
    return dots == 1 && rest.front() != '.' && rest.back() != '.';
}

// FNV-1a of the text as 16 hexadecimal digits.
std::string HashText(std::string_view text) {
    uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (int shift = 60; shift >= 0; shift -= 4) out += kHex[(hash >> shift) & 15];
    return out;
}

} // namespace

std::string FollowLinks(const std::string& path) {
    fs::path target(path);
    std::error_code ec;
    for (int depth = 0; depth < kMaxLinkDepth && fs::is_symlink(target, ec); ++depth) {
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target.lexically_normal().string();
}

bool WritesOverLeftOut(const CFileStream& own, uint32_t leftOut, const std::string& path) {
    if (leftOut == 0 || !own.IsOpen()) return false;
    return own.IsSameFile(path.c_str()) || FollowLinks(path) == FollowLinks(own.GetPath());
}

ErrorCode PrepareSaveTarget(const char* path, CFileStream& own, SaveTarget& target,
                            CFileStream& guard) {
    target = SaveTarget{};
    target.path = FollowLinks(path);
    struct stat st;
    if (lstat(target.path.c_str(), &st) != 0) return kErrorNone;
    target.exists = true;
    if (!S_ISREG(st.st_mode) || access(target.path.c_str(), W_OK) != 0) return kStreamOpenWrite;
    target.inPlace = st.st_nlink > 1;
    const bool same = own.IsOpen() && own.IsSameFile(target.path.c_str());
    // Only a document that opened its file for writing holds it; one that could only read
    // it must find it free like any other target.
    target.own = same && !own.IsReadOnly();
    if (target.own) return kErrorNone;
    // The reader's own shared hold would refuse the guard: it is lent for the check.
    target.lent = same && own.HoldLock(false);
    if (guard.Open(target.path.c_str(), "r+b", false, kFileBufferSize)) return kErrorNone;
    if (target.lent) own.HoldLock(true);
    target.lent = false;
    return guard.GetError() == kStreamInUse ? kStreamInUse : kStreamOpenWrite;
}

std::string TemporaryPrefix(const std::string& target) {
    const std::string::size_type slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    // A name the folder takes with room for the longest suffix ("4194304.99", "saved");
    // a longer one is stood for by a hash of it, so that every name that opens also saves.
    if (base.size() + kTemporaryRoom <= kLongestName) return dir + "." + base + ".~";
    return dir + "." + HashText(base) + ".~";
}

namespace {

// A save that is still running holds its file; one that died holds nothing.
void RemoveIfStale(const std::string& leftover) {
    CFileStream probe;
    if (probe.Open(leftover.c_str(), "rb", false, kProbeBuffer)) {
        probe.Close();
        CFileStream::DeleteFile(leftover.c_str(), nullptr);
    }
}

void RemoveStaleFiles(const std::string& target) {
    const std::string prefix = TemporaryPrefix(target);
    const std::string::size_type slash = prefix.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : prefix.substr(0, slash + 1);
    const std::string namePrefix = slash == std::string::npos ? prefix : prefix.substr(slash + 1);
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= namePrefix.size() || name.compare(0, namePrefix.size(), namePrefix))
            continue;
        if (!IsTemporarySuffix(name.substr(namePrefix.size()))) continue;
        RemoveIfStale(it->path().string());
    }
}

} // namespace

void RemoveStaleSaves(const std::string& target) {
    RemoveStaleFiles(target);
    const std::string aside = PrivatePath(target);
    if (!aside.empty()) RemoveStaleFiles(aside);
}

bool OpenTemporary(CFileStream& stream, const std::string& target, bool gzip) {
    const std::string prefix = TemporaryPrefix(target);
    // A copy of a file that is there already is read only by its owner until it takes the
    // file's place (and its permissions); a new file is made with the usual ones.
    const bool replaces = CFileStream::FileExists(target.c_str());
    for (int i = 0; i < kTemporaryNameTries; ++i) {
        const std::string name = prefix + std::to_string(getpid()) + "." + std::to_string(i);
        if (stream.Open(name.c_str(), "w+bx", gzip, kFileBufferSize)) {
            if (replaces) chmod(name.c_str(), S_IRUSR | S_IWUSR);
            return true;
        }
        if (!CFileStream::FileExists(name.c_str())) return false;
    }
    return false;
}

namespace {

// Only a folder of ours that no one else may enter holds copies of workbooks.
bool IsPrivateFolder(const std::string& folder) {
    struct stat st;
    return lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// The user's state folder ($XDG_STATE_HOME, else ~/.local/state), which a reboot leaves as
// it is: a copy kept there while its file is rewritten survives a cut and the boot after it.
std::string PrivateFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    std::string base;
    if (state && state[0] == '/')
        base = state;
    else if (home && home[0] == '/')
        base = std::string(home) + "/.local/state";
    else
        return {};
    std::error_code ec;
    fs::create_directories(base, ec);
    const std::string own = base + "/Vorlane";
    mkdir(own.c_str(), S_IRWXU);
    const std::string saves = own + "/saves";
    mkdir(saves.c_str(), S_IRWXU);
    return IsPrivateFolder(saves) ? saves : std::string();
}

// Where older versions kept such copies: the temporary folder, which a boot may empty.
std::string TemporaryFolder() {
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec);
    if (ec) return {};
    const std::string own = (folder / ("vorlane-" + std::to_string(geteuid()))).string();
    return IsPrivateFolder(own) ? own : std::string();
}

std::string PathIn(const std::string& folder, const std::string& target) {
    if (folder.empty()) return {};
    // The hash of the whole path tells files of one name in different folders apart.
    return folder + "/" + target.substr(target.rfind('/') + 1).substr(0, 100) + '-' +
           HashText(target);
}

} // namespace

std::string PrivatePath(const std::string& target) {
    return PathIn(PrivateFolder(), target);
}

void RemoveStalePrivateSaves() {
    const std::string folder = PrivateFolder();
    if (folder.empty()) return;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::string::size_type mark = name.rfind(".~");
        if (name[0] == '.' && mark != std::string::npos && mark > 0 &&
            IsTemporarySuffix(name.substr(mark + 2)))
            RemoveIfStale(it->path().string());
    }
}

bool OpenAside(CFileStream& stream, const std::string& target, bool gzip) {
    if (OpenTemporary(stream, target, gzip)) return true;
    const std::string aside = PrivatePath(target);
    if (aside.empty() || !OpenTemporary(stream, aside, gzip)) return false;
    chmod(stream.GetPath().c_str(), S_IRUSR | S_IWUSR);
    return true;
}

bool CopyInto(const std::string& from, CFileStream& to) {
    std::ifstream in(from, std::ios::binary);
    std::vector<char> chunk(kFileBufferSize);
    while (in) {
        in.read(chunk.data(), std::streamsize(chunk.size()));
        const auto n = int32_t(in.gcount());
        if (n > 0 && !to.Write(chunk.data(), n)) return false;
    }
    return in.eof() && to.Flush();
}

namespace {

constexpr const char* kKeptSuffix = ".~saved";

// Where a rewrite keeps its whole copy: beside the target, or in the private folder; the
// copies older versions left in the temporary folder are still found and offered.
enum class KeptPlace { kBeside, kPrivate, kTemporary };

std::string KeptCopyPath(const std::string& target, KeptPlace place) {
    if (place == KeptPlace::kBeside) return TemporaryPrefix(target).append("saved");
    const std::string aside =
        place == KeptPlace::kPrivate ? PrivatePath(target) : PathIn(TemporaryFolder(), target);
    return aside.empty() ? aside : aside + kKeptSuffix;
}

// Makes a rename in the folder of `path` last through a power cut.
void SyncFolder(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

bool IsOwnFile(const std::string& path) {
    struct stat st;
    return !path.empty() && lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           st.st_uid == geteuid();
}

// Moves `written` to where its rewrite keeps it whole. Beside the target a copy of another
// user's cut save may wait under that name: it is theirs to take or drop, so it is never
// replaced; ours then goes to our private folder. The kept path, or empty on failure.
std::string KeepCopy(const std::string& written, const std::string& target, bool beside) {
    if (beside) {
        const std::string kept = KeptCopyPath(target, KeptPlace::kBeside);
        if (renameat2(AT_FDCWD, written.c_str(), AT_FDCWD, kept.c_str(), RENAME_NOREPLACE) == 0)
            return kept;
        if (errno != EEXIST && errno != EINVAL && errno != ENOSYS) return {};
        // Taken, or a folder without that rename: none there, or a copy of our own (an older
        // cut save of ours, which this one replaces), is replaced by ours.
        struct stat st;
        const bool free = lstat(kept.c_str(), &st) != 0 && errno == ENOENT;
        if ((free || IsOwnFile(kept)) && rename(written.c_str(), kept.c_str()) == 0) return kept;
        if (free) return {};
    }
    const std::string kept = KeptCopyPath(target, KeptPlace::kPrivate);
    if (kept.empty()) return {};
    if (rename(written.c_str(), kept.c_str()) == 0) return kept;
    if (errno != EXDEV) return {};
    // Another file system: copied, read only by us, and synced before the rewrite starts.
    CFileStream copy;
    if (!copy.Open(kept.c_str(), "w+b", false, kFileBufferSize)) return {};
    chmod(kept.c_str(), S_IRUSR | S_IWUSR);
    const bool copied = CopyInto(written, copy);
    if (!copy.Close() || !copied) {
        CFileStream::DeleteFile(kept.c_str(), nullptr);
        return {};
    }
    CFileStream::DeleteFile(written.c_str(), nullptr);
    return kept;
}

} // namespace

bool RewriteKeepingCopy(const std::string& written, CFileStream& held, const std::string& target,
                        const PlaceHook& partner) {
    const bool beside =
        written.compare(0, TemporaryPrefix(target).size(), TemporaryPrefix(target)) == 0;
    const std::string kept = KeepCopy(written, target, beside);
    if (kept.empty()) {
        CFileStream::DeleteFile(written.c_str(), nullptr);
        return false;
    }
    SyncFolder(kept);
    if (partner && !partner()) {
        CFileStream::DeleteFile(kept.c_str(), nullptr);
        return false;
    }
    // Cut from here on, the target may be torn, but the copy is whole and the next open
    // offers it; it goes only once the rewrite is on the disk.
    if (!held.Reopen("w+b", false) || !CopyInto(kept, held)) return false;
    CFileStream::DeleteFile(kept.c_str(), nullptr);
    return true;
}

std::string PairPath(const std::string& target) {
    return TemporaryPrefix(target).append("pair");
}

namespace {

// A file that waited under its pair name takes the place of `target` with the permissions of
// the file it replaces (it was made readable by its owner only while it waited).
bool PutWaitingInPlace(const std::string& waiting, const std::string& target) {
    struct stat st;
    if (stat(target.c_str(), &st) == 0) chmod(waiting.c_str(), st.st_mode & 07777);
    return rename(waiting.c_str(), target.c_str()) == 0;
}

} // namespace

void FinishPairedSave(const std::string& target, const std::vector<std::string>& partners) {
    // A save that is still running holds the target.
    CFileStream probe;
    if (!probe.Open(target.c_str(), "r+b", false, kProbeBuffer) && probe.GetError() == kStreamInUse)
        return;
    probe.Close();
    const std::string waiting = PairPath(target);
    const bool whole = CFileStream::FileExists(waiting.c_str());
    for (const std::string& partner : partners) {
        const std::string pending = PairPath(partner);
        if (!CFileStream::FileExists(pending.c_str())) continue;
        if (whole)
            PutWaitingInPlace(pending, partner);
        else
            CFileStream::DeleteFile(pending.c_str(), nullptr);
    }
    if (whole && PutWaitingInPlace(waiting, target)) SyncFolder(target);
}

std::string InterruptedSaveCopy(const std::string& target) {
    for (const KeptPlace place : {KeptPlace::kBeside, KeptPlace::kPrivate, KeptPlace::kTemporary}) {
        const std::string kept = KeptCopyPath(target, place);
        if (IsOwnFile(kept)) return kept;
    }
    return {};
}

namespace {

// Whether the file at `target` holds what a rewrite with the bytes of `copy` leaves when it is
// cut: it wrote the copy's bytes from the start, in order, over a file it had emptied. A file
// that cannot be read is left to the restore, which says why it fails.
bool LeftTornBy(const std::string& copy, const std::string& target) {
    std::ifstream file(target, std::ios::binary), whole(copy, std::ios::binary);
    if (!file || !whole) return true;
    std::vector<char> a(1 << 16), b(1 << 16);
    bool lost = false; // past the first byte that differs: only zeros may follow
    while (file) {
        file.read(a.data(), std::streamsize(a.size()));
        const auto n = std::size_t(file.gcount());
        std::size_t m = 0;
        if (!lost) {
            whole.read(b.data(), std::streamsize(n));
            m = std::size_t(whole.gcount());
        }
        for (std::size_t i = 0; i < n; ++i) {
            lost = lost || i >= m || a[i] != b[i];
            if (lost && a[i] != 0) return false;
        }
    }
    return file.eof();
}

} // namespace

std::string OfferedSaveCopy(const std::string& target) {
    const std::string kept = InterruptedSaveCopy(target);
    return kept.empty() || !LeftTornBy(kept, target) ? std::string() : kept;
}

void DropInterruptedSaveCopies(const std::string& target) {
    for (const KeptPlace place : {KeptPlace::kBeside, KeptPlace::kPrivate, KeptPlace::kTemporary}) {
        const std::string kept = KeptCopyPath(target, place);
        if (IsOwnFile(kept)) CFileStream::DeleteFile(kept.c_str(), nullptr);
    }
}

ErrorCode RestoreInterruptedSave(const std::string& target) {
    const std::string kept = InterruptedSaveCopy(target);
    if (kept.empty()) return kErrorNone;
    CFileStream held;
    if (!held.Open(target.c_str(), "r+b", false, kFileBufferSize))
        return held.GetError() == kStreamInUse ? kStreamInUse : kStreamOpenWrite;
    if (!held.Reopen("w+b", false) || !CopyInto(kept, held)) return held.ErrorOr(kStreamWrite);
    if (!held.Close()) return held.ErrorOr(kStreamWrite);
    CFileStream::DeleteFile(kept.c_str(), nullptr);
    return kErrorNone;
}

ErrorCode WriteSaveTarget(const char* path, const StreamWriter& write) {
    if (!path) return kStreamOpenWrite;
    SaveTarget target;
    CFileStream none, guard;
    if (const ErrorCode refused = PrepareSaveTarget(path, none, target, guard)) return refused;
    RemoveStaleSaves(target.path);
    CFileStream aside;
    const bool beside = !target.inPlace && OpenTemporary(aside, target.path, false);
    if (!beside && (!target.exists || !OpenAside(aside, target.path, false)))
        return aside.ErrorOr(kStreamOpenWrite);
    bool ok = write(aside) && aside.Flush();
    ErrorCode error = ok ? ErrorCode(kErrorNone) : aside.ErrorOr(kStreamWrite);
    const std::string written = aside.GetPath();
    if (ok && beside) {
        ok = aside.RenameTo(target.path.c_str());
        if (!ok) error = aside.ErrorOr(kStreamWrite);
    }
    if (ok && beside) {
        if (!aside.Close()) return aside.ErrorOr(kStreamWrite);
        DropInterruptedSaveCopies(target.path);
        return kErrorNone;
    }
    aside.Close();
    // Other names of the target, or a folder that takes no new file: the finished bytes are
    // copied into the held file itself.
    if (!ok) {
        CFileStream::DeleteFile(written.c_str(), nullptr);
        return error;
    }
    if (!RewriteKeepingCopy(written, guard, target.path)) return guard.ErrorOr(kStreamWrite);
    return guard.Close() ? ErrorCode(kErrorNone) : guard.ErrorOr(kStreamWrite);
}

} // namespace vl
