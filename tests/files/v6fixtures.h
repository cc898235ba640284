#pragma once
// The version-6 files the tests load: the definition of tests/data/v6/book.vlb (each record
// of the form with distinct values), small files built on the spot, and their loading
// through the open dispatcher under a chosen user notation.

#include "core/settings.h"
#include "files/workbookopen.h"
#include "filestestutil.h"
#include "model/workbook.h"
#include "tests/platform/core/tempfiles.h"
#include "v6writer.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vl::v6test {

using filestest::Ints;
using filestest::Of;

// A file of one worksheet "S" with this body.
V6File FileWith(const V6Sheet& sheet = {});
inline V6File MinimalFile() {
    return FileWith();
}
// An object whose frame is 100 by 50 pixels.
V6Object Obj(V6Object o);
// "book.vlb": lists, styles, fonts, folders and worksheets with something of every kind.
V6File RichFile();

inline std::string V6DataPath(const std::string& name) {
    return std::string(VORLANE_TEST_DATA) + "/v6/" + name;
}

struct V6Load {
    std::unique_ptr<CWorkbook> book;
    bool ok = false;
    CWorksheet& Sheet() { return *AsWorksheet(book->tree.active); }
};

// Loaded from a private copy: opening takes the file exclusively, and tests run in parallel.
inline V6Load LoadV6Bytes(const Bytes& bytes) {
    tempfiles::TempFolder dir;
    tempfiles::WriteBytes(dir.Path("v6.vlb"), bytes);
    V6Load load{CreateWorkbook(), false};
    EXPECT_TRUE(OpenDocumentFile(*load.book, dir.Path("v6.vlb").c_str()));
    load.ok = OpenWorkbookFile(*load.book, nullptr);
    load.book->stream.Close();
    return load;
}
inline V6Load LoadV6DataFile(const std::string& name) {
    return LoadV6Bytes(tempfiles::ReadBytes(V6DataPath(name)));
}
inline V6Load LoadV6File(const V6File& file) {
    return LoadV6Bytes(WriteV6File(file).data);
}

inline CWorksheet* SheetNamed(CWorkbook& book, const char* name) {
    for (CTreeItem* item = book.tree.first; item; item = item->next)
        if (item->IsWorksheet() && std::strcmp(item->name, name) == 0) return AsWorksheet(item);
    return nullptr;
}

// The format runs of a store as (row, first column, last column, style).
inline std::vector<Ints> Runs(const CFormatStore& formats) {
    std::vector<Ints> runs;
    CellCursor cursor{kAdvance, formats.runs.FirstPage(), 0};
    while (const uint8_t* p = FormatRunCursorNext(cursor)) {
        const FormatRun r = LoadFormatRun(p);
        runs.push_back(Of(r.row, r.firstColumn, r.lastColumn, r.style));
    }
    return runs;
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
