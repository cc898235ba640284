#pragma once
// Saving a workbook in one of its native forms.

#include <cstdint>
#include <functional>
#include <string>

namespace vl {

class CWorkbook;

// Saves the workbook under `path` in the form `kind` (1, 2 XML, 3, 4 binary; 2 and 4
// compressed), stamped with the user and the time of the save. A symbolic link is followed
// and the file it names saved. The bytes go to a new file beside the target, which replaces
// the target only when all of them were written and are on the disk; a target with other hard
// links, or in a folder that takes no new file, is rewritten in place instead. Either way the
// saved file then stays open and locked as the workbook's document, and what interrupted saves
// of it left is removed. Refused before anything is written: no worksheet (13), a target that
// may not be written (35) or that another document or process holds (43). On failure the
// target (unless a rewrite in place failed part way) and the document stream are as they were
// and the workbook's error says why.
bool SaveWorkbookFile(CWorkbook& workbook, const char* path, uint8_t kind);

// The name of the user the process runs as, as saves record it (at most 127 bytes).
std::string SaveUserName();

// The same road for a form written by `write` (true when every byte went to the workbook's
// stream, else false with the workbook's error set); the file family and kind stay as they
// were, for the caller to set.
// `partner`, when given, puts a second file written with this one in place (PairPath and
// RewriteKeepingCopy of files/savetarget.h say when).
using WorkbookWriter = std::function<bool(CWorkbook&)>;
bool SaveWorkbookFileWith(CWorkbook& workbook, const char* path, bool gzip,
                          const WorkbookWriter& write, const std::function<bool()>& partner = {});

} // namespace vl
