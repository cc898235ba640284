#pragma once
// Loading version-6 files in the tests: through the open dispatcher, from a path or from
// bytes written to a file of their own, under a chosen user notation.

#include "app/core/settings.h"
#include "files/workbookopen.h"
#include "model/workbook.h"
#include "tests/platform/core/tempfiles.h"
#include "v6writer.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace vl::v6test {

struct V6Load {
    std::unique_ptr<CWorkbook> book;
    bool ok = false;
};

inline V6Load LoadV6Path(const std::string& path) {
    V6Load load{CreateWorkbook(), false};
    EXPECT_TRUE(OpenDocumentFile(*load.book, path.c_str())) << path;
    load.ok = OpenWorkbookFile(*load.book, nullptr);
    load.book->stream.Close();
    return load;
}

inline V6Load LoadV6Bytes(const Bytes& bytes) {
    tempfiles::TempFolder dir;
    tempfiles::WriteBytes(dir.Path("v6.vlb"), bytes);
    return LoadV6Path(dir.Path("v6.vlb"));
}

// Data files are loaded from a private copy: opening takes the file exclusively, and tests
// run in parallel.
inline V6Load LoadV6DataFile(const std::string& path) {
    return LoadV6Bytes(tempfiles::ReadBytes(path));
}

inline V6Load LoadV6File(const V6File& file) {
    return LoadV6Bytes(WriteV6File(file).data);
}

inline CWorksheet* SheetNamed(CWorkbook& book, const char* name) {
    for (CTreeItem* item = book.tree.first; item; item = item->next)
        if (item->IsWorksheet() && std::strcmp(item->name, name) == 0) return AsWorksheet(item);
    return nullptr;
}

// The user's separators and addressing for one test, put back when it ends.
class NotationScope {
public:
    NotationScope(char decimal, char list, bool a1)
        : separators_(UserSeparators()), addressing_(Profile().addressingA1) {
        UserSeparators().decimal = decimal;
        UserSeparators().list = list;
        UserSeparators().thousands = decimal == ',' ? '.' : ',';
        std::strcpy(UserSeparators().currency, "EUR");
        Profile().addressingA1 = a1 ? 1 : 0;
    }
    ~NotationScope() {
        UserSeparators() = separators_;
        Profile().addressingA1 = addressing_;
    }

private:
    SeparatorSet separators_;
    uint8_t addressing_;
};

} // namespace vl::v6test
