#pragma once
// The drop-down lists of a workbook, numbered 1 to 100 in files and styles.

#include <string>
#include <string_view>
#include <vector>

namespace vl {

constexpr int kDropDownLists = 100;
constexpr int kDropDownNameSize = 30;
constexpr size_t kMaxDropDownEntry = 1024;

struct DropDownListRecord {
    char name[kDropDownNameSize] = {};
    std::vector<std::string> entries;
};

void InitDropDownList(DropDownListRecord& list);
void FreeDropDownList(DropDownListRecord& list);
// Appends an entry, cut to 1,024 characters.
void AddDropDownEntry(DropDownListRecord& list, std::string_view text);
void SetDropDownName(DropDownListRecord& list, const char* name);
// A list is in use (and written) when it has a name or entries.
bool DropDownListInUse(const DropDownListRecord& list);

} // namespace vl
