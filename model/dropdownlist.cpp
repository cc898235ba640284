#include "model/dropdownlist.h"

#include "model/stylerecords.h"

namespace vl {

void InitDropDownList(DropDownListRecord& list) {
    list.name[0] = 0;
    list.appendNewItems = list.sort = list.autoComplete = 0;
    list.entries.clear();
}

void FreeDropDownList(DropDownListRecord& list) {
    list.entries.clear();
    list.entries.shrink_to_fit();
}

void AddDropDownEntry(DropDownListRecord& list, std::string_view text) {
    list.entries.emplace_back(text.substr(0, kMaxDropDownEntry));
}

void SetDropDownName(DropDownListRecord& list, const char* name) {
    CopyTextField(list.name, name, kDropDownNameSize);
}

bool DropDownListInUse(const DropDownListRecord& list) {
    return list.name[0] != 0 || !list.entries.empty();
}

} // namespace vl
