// The documents the Excel 2003 XML tests write, kept for the peer check when the environment
// names a folder for them (tools/peer-read-excelxml.py, run once over all of them).
#include "formula/literals.h"
#include "model/cellrecord.h"
#include "platform/core/cp1252.h"
#include "tests/exchange/excelxmltestutil.h"

#include <charconv>
#include <cstdlib>
#include <fstream>

namespace vl::excelxmltest {

namespace {

std::string NumberText(double value) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

// One line of the cells file for a cell record: kind, tab, value.
std::string CellLine(const uint8_t* r) {
    const uint8_t error = cell::Error(r);
    const std::string errorText =
        error ? std::string(GetFormulaErrorText(uint8_t(error << 4))) : "";
    if (cell::IsFormula(r)) {
        const uint8_t result = cell::ResultFlags(r);
        if (error) return "fe\t" + errorText;
        if (result & kResultNumber) return "fn\t" + NumberText(cell::CachedNumber(r));
        if (result & kResultText) return "ft\t" + Cp1252ToUtf8(cell::CachedText(r));
        return "f\t";
    }
    if (error) return "e\t" + errorText;
    if (cell::IsText(r)) return "t\t" + Cp1252ToUtf8(cell::Text(r));
    return "n\t" + NumberText(cell::Number(r));
}

} // namespace

void KeepForPeer(const std::string& document) {
    const char* folder = std::getenv("VORLANE_EXCEL_PEER_DIR");
    if (!folder || !*folder) return;
    static int serial = 0;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "doc";
    for (char& c : name)
        if (c == '/') c = '_';
    const std::string stem = std::string(folder) + "/" + name + "." + std::to_string(++serial);
    std::ofstream(stem + ".xml", std::ios::binary) << document;
    // What this program reads from the same document is what the peer must read.
    const Imported back = Import(document);
    std::ofstream cells(stem + ".cells", std::ios::binary);
    if (!back.ok) return;
    int index = 0;
    for (const CTreeItem* p = back.book->tree.first; p; p = p->next) {
        const CWorksheet* sheet = AsWorksheet(p);
        if (!sheet) continue;
        CellCursor cursor{kAdvance, sheet->cells.FirstPage(), 0};
        while (const uint8_t* r = NextCellRecord(cursor)) {
            const std::string line = CellLine(r);
            // Texts of several lines stay out: one line a cell.
            if (line.find('\n') != std::string::npos || line.find('\r') != std::string::npos)
                continue;
            cells << index << '\t' << cell::Row(r) << '\t' << cell::Column(r) << '\t' << line
                  << '\n';
        }
        ++index;
    }
}

} // namespace vl::excelxmltest
