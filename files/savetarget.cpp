#include "files/savetarget.h"

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
    return dir + "." + base + ".~";
}

void RemoveStaleSaves(const std::string& target) {
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
        // A save that is still running holds its file; one that died holds nothing.
        CFileStream probe;
        const std::string leftover = it->path().string();
        if (probe.Open(leftover.c_str(), "rb", false, kProbeBuffer))
            CFileStream::DeleteFile(leftover.c_str(), nullptr);
    }
}

bool OpenTemporary(CFileStream& stream, const std::string& target, bool gzip) {
    const std::string prefix = TemporaryPrefix(target);
    for (int i = 0; i < kTemporaryNameTries; ++i) {
        const std::string name = prefix + std::to_string(getpid()) + "." + std::to_string(i);
        if (stream.Open(name.c_str(), "w+bx", gzip, kFileBufferSize)) return true;
        if (!CFileStream::FileExists(name.c_str())) return false;
    }
    return false;
}

bool OpenAside(CFileStream& stream, const std::string& target, bool gzip) {
    if (OpenTemporary(stream, target, gzip)) return true;
    std::error_code ec;
    const fs::path folder = fs::temp_directory_path(ec);
    if (ec) return false;
    const std::string name = target.substr(target.rfind('/') + 1);
    return OpenTemporary(stream, (folder / name).string(), gzip);
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
    if (ok && beside) return aside.Close() ? ErrorCode(kErrorNone) : aside.ErrorOr(kStreamWrite);
    aside.Close();
    // Other names of the target, or a folder that takes no new file: the finished bytes are
    // copied into the held file itself.
    if (ok) {
        ok = guard.Reopen("w+b", false) && CopyInto(written, guard);
        if (!ok) error = guard.ErrorOr(kStreamWrite);
    }
    CFileStream::DeleteFile(written.c_str(), nullptr);
    if (ok && !guard.Close()) error = guard.ErrorOr(kStreamWrite);
    return error;
}

} // namespace vl
