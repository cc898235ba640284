#pragma once
// Where a save writes and how: the file a path names through its symbolic links, whether
// that file may be replaced, and whether it is replaced by a renamed new file or rewritten
// in place.

#include "platform/core/errorcode.h"
#include "platform/core/filestream.h"

#include <functional>
#include <string>
#include <vector>

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

// Whether a save to `path` writes over the file `own` holds while `leftOut` fields or texts
// of that file never reached the document: such a save would lose them. The file is known by
// what it is, however the path names it (a symbolic or hard link, another spelling), or by the
// name it was opened under when it is gone. Every route that writes a document asks this.
bool WritesOverLeftOut(const CFileStream& own, uint32_t leftOut, const std::string& path);

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
// Removes the temporary files that saves which died left in the user's private folder (see
// OpenAside), which no later save of another file would clear; called at start.
void RemoveStalePrivateSaves();

// A new file beside `target` under a name no other file has (read only by its owner while
// `target` exists).
bool OpenTemporary(CFileStream& stream, const std::string& target, bool gzip);
// The same, else (a folder that takes no new file) in the user's private folder under the
// state folder (no one else may enter it, and a reboot leaves it), read only by its owner.
bool OpenAside(CFileStream& stream, const std::string& target, bool gzip);
// Where copies of `target` go in that private folder; empty when it cannot be had.
std::string PrivatePath(const std::string& target);
// Copies the bytes of the file at `from` into `to`, which is open for writing.
bool CopyInto(const std::string& from, CFileStream& to);

// Rewrites the held file `target` in place (its other names kept) with the finished, synced
// file `written` (a file of OpenAside). That file is first kept whole under a name of its own,
// removed only once the rewrite is on the disk: a rewrite cut short leaves it for the next
// open. Another user's copy under that name is theirs: ours is then kept in our private
// folder. False when the rewrite failed (`held` has the code; the copy then stays).
// `partner`, when given, puts a second file of the same save in place once the copy is kept
// and before the rewrite starts (false fails the rewrite before it touches the target).
using PlaceHook = std::function<bool()>;
bool RewriteKeepingCopy(const std::string& written, CFileStream& held, const std::string& target,
                        const PlaceHook& partner = {});

// Files saved together (a table and its memo): each finished file waits under PairPath of its
// target; the partner is put in place only once the main file waits there too, and the main
// file last. A save cut between those steps is finished by FinishPairedSave, which a later
// save or open of `target` calls with the files that may be its partners: a partner that waits
// without its main file is dropped (the old pair stays), one that waits with it is put in place.
std::string PairPath(const std::string& target);
void FinishPairedSave(const std::string& target, const std::vector<std::string>& partners);
// The whole copy a rewrite of `target` cut short left behind; empty when there is none.
std::string InterruptedSaveCopy(const std::string& target);
// That copy while `target` is still what its cut rewrite left of it (the copy's first bytes,
// and after them at most zeros where a power cut lost what was written): the copy the open
// offers to put in place. Once a whole save has written the file since (another user's, who
// cannot remove our copy), empty: the copy stays on disk, offered no more over the newer
// workbook, until a whole save of ours removes it.
std::string OfferedSaveCopy(const std::string& target);
// Removes the user's copies of `target` that cut rewrites left, once a later save of it was
// written whole: the copy belongs to the save that was cut, and would put an older workbook
// over the newer one.
void DropInterruptedSaveCopies(const std::string& target);
// Puts that copy in place through the target itself (links kept) and removes it: 0, or 43
// when another holds the target, 35 when it may not be written, the write's code.
ErrorCode RestoreInterruptedSave(const std::string& target);

// Writes a file that is no document of its own (an image, the settings profile, a printed
// PDF) by the rule of workbook saves: refused (35, 43) before anything is written when the
// target may not be written or another document or process holds it; links followed and
// kept; the bytes written aside and put in place only when `write` wrote all of them.
// 0 or the code of the failure, the target then as it was.
using StreamWriter = std::function<bool(CFileStream&)>;
ErrorCode WriteSaveTarget(const char* path, const StreamWriter& write);

} // namespace vl
