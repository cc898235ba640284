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
    // How a cell's list behaves while it is edited: the styles that use the list carry
    // copies of these.
    uint8_t appendNewItems = 0;
    uint8_t sort = 0;
    uint8_t autoComplete = 0;
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
