#pragma once
// Where a save writes and how: the file a path names through its symbolic links, whether
// that file may be replaced, and whether it is replaced by a renamed new file or rewritten
// in place.

#include "platform/core/errorcode.h"
#include "platform/core/filestream.h"

#include <functional>
#include <string>

namespace vl {

struct SaveTarget {
    std::string path;     // the file written: the path with its symbolic links followed
    bool exists = false;  // a file of that name is there
    bool own = false;     // it is the file the document stream holds
    bool inPlace = false; // it has other hard links: only a rewrite keeps them
    bool lent = false;    // the document read the target and gave up its hold for the save
};

// Follows the symbolic links of `path` (not the folders above it) to the file they name,
// which need not exist yet.
std::string FollowLinks(const std::string& path);

// Resolves and checks the target of a save: error 35 when it may not be written or is not a
// regular file, 43 when another document or process holds it (then `guard` stays closed).
// Otherwise `guard` holds the target open and locked until the save is done, so that no one
// takes it in between. The document's own file is left to `own` when `own` opened it for
// writing; a document that only reads its file lends its hold while the guard has the file
// (`lent`), and takes it back here when the target is refused.
ErrorCode PrepareSaveTarget(const char* path, CFileStream& own, SaveTarget& target,
                            CFileStream& guard);

// The name prefix of the files a save of `target` writes aside.
std::string TemporaryPrefix(const std::string& target);
// Removes what interrupted saves of `target` left beside it: temporary files that no running
// save holds.
void RemoveStaleSaves(const std::string& target);

// A new file beside `target` under a name no other file has.
bool OpenTemporary(CFileStream& stream, const std::string& target, bool gzip);
// The same, else (a folder that takes no new file) in the temporary folder.
bool OpenAside(CFileStream& stream, const std::string& target, bool gzip);
// Copies the bytes of the file at `from` into `to`, which is open for writing.
bool CopyInto(const std::string& from, CFileStream& to);

// Writes a file that is no document of its own (an image, the settings profile, a printed
// PDF) by the rule of workbook saves: refused (35, 43) before anything is written when the
// target may not be written or another document or process holds it; links followed and
// kept; the bytes written aside and put in place only when `write` wrote all of them.
// 0 or the code of the failure, the target then as it was.
using StreamWriter = std::function<bool(CFileStream&)>;
ErrorCode WriteSaveTarget(const char* path, const StreamWriter& write);

} // namespace vl
