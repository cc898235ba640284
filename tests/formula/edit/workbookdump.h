#pragma once
// The whole of a workbook as bytes, in named sections, for tests that must find it exactly
// as it was: the tree (order, kinds, levels, names), and per worksheet its cell records in
// order (without the scratch a recalculation leaves in formula records), its format runs
// (the style of every cell), its column table,
// its row heights (a list that ends in default entries reads as the same list without them), its
// containers with their settings, its view and page setup; then the style and font tables.

#include "model/container.h"
#include "model/rangeops.h"
#include "model/workbook.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace vl::edittest {

struct WorkbookDump {
    std::vector<std::pair<std::string, std::string>> sections;
    bool operator==(const WorkbookDump& o) const { return sections == o.sections; }

    std::string& Add(std::string label) {
        return sections.emplace_back(std::move(label), "").second;
    }
};

inline void AddBytes(std::string& out, const void* p, size_t n) {
    out.append(static_cast<const char*>(p), n);
}

template <class T> void AddValue(std::string& out, const T& v) {
    AddBytes(out, &v, sizeof v);
}

// A record of `size` bytes as `write` lays it out.
template <class Write, class T>
void AddRecord(std::string& out, size_t size, Write write, const T& v) {
    std::vector<uint8_t> bytes(size);
    write(bytes.data(), v);
    AddBytes(out, bytes.data(), size);
}

inline void AddSheet(WorkbookDump& d, const CWorksheet& ws) {
    const std::string name = ws.name;
    std::string& cells = d.Add(name + " cells");
    CellCursor cursor{kAdvance, ws.cells.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor)) {
        std::string record(reinterpret_cast<const char*>(r), cell::Length(r));
        // The recalculation's scratch stays behind in a formula record: the cell it last
        // waited for, and the number of a result that is now text. No reader looks at them.
        if (cell::IsFormula(r)) {
            std::fill(record.begin() + 15, record.begin() + 25, '\0');
            if (cell::ResultFlags(r) & kResultText)
                std::fill(record.begin() + 25, record.begin() + 33, '\0');
        }
        cells += record;
    }
    // Runs as the cells see them: two touching runs of one style read as one run, however
    // an edit cut them.
    std::string& runs = d.Add(name + " runs");
    FormatRun last{};
    bool any = false;
    for (const FormatRun& run : RunsInRect(ws.formats, {0, 0, kLastColumn, kLastRow})) {
        if (any && last.row == run.row && last.style == run.style &&
            uint32_t(last.lastColumn) + 1 == run.firstColumn) {
            last.lastColumn = run.lastColumn;
            continue;
        }
        if (any) AddValue(runs, last);
        last = run;
        any = true;
    }
    if (any) AddValue(runs, last);
    std::string& columns = d.Add(name + " columns");
    for (const ColumnEntry& c : ws.formats.columns) {
        AddValue(columns, c.width);
        AddValue(columns, c.style);
        AddValue(columns, c.autoRowHeight);
    }
    std::string& heights = d.Add(name + " heights");
    CPagedList& list = const_cast<CPagedList&>(ws.formats.rowHeights);
    uint32_t n = list.ItemCount();
    while (n > 0 && *list.GetItem2(n - 1) == 0) --n;
    for (uint32_t i = 0; i < n; ++i) AddValue(heights, *list.GetItem2(i));
    std::string& containers = d.Add(name + " containers");
    for (const CContainer* c = ws.firstContainer; c; c = c->next) {
        AddRecord(containers, kContainerSettingsRecordSize, WriteContainerSettingsRecord,
                  c->settings);
        for (const ContainerSlot& slot : c->slots) AddValue(containers, slot.kind);
    }
    std::string& settings = d.Add(name + " view and page");
    AddRecord(settings, kViewSettingsRecordSize, WriteViewSettingsRecord, ws.view);
    AddRecord(settings, kPageSetupRecordSize, WritePageSetupRecord, ws.pageSetup);
}

inline WorkbookDump DumpWorkbook(const CWorkbook& book) {
    WorkbookDump d;
    for (const CTreeItem* p = book.tree.first; p; p = p->next) {
        std::string& item = d.Add(std::string("item ") + p->name);
        AddValue(item, p->itemType);
        AddValue(item, p->level);
        AddValue(item, p->expanded);
        if (const CWorksheet* ws = AsWorksheet(p)) AddSheet(d, *ws);
    }
    std::string& counts = d.Add("counts");
    AddValue(counts, book.tree.worksheetCount);
    AddValue(counts, book.tree.folderCount);
    std::string& styles = d.Add("styles");
    AddValue(styles, book.styles.styleCount);
    AddValue(styles, book.styles.fontCount);
    for (uint16_t i = 0; i < book.styles.styleCount; ++i)
        AddRecord(styles, kStyleRecordSize, WriteStyleRecord, book.styles.styles[i]);
    for (uint16_t i = 0; i < book.styles.fontCount; ++i)
        AddRecord(styles, kFontRecordSize, WriteFontRecord, book.styles.fonts[i]);
    return d;
}

// Equal, or the first section where the two differ.
inline ::testing::AssertionResult SameWorkbook(const WorkbookDump& expected,
                                               const WorkbookDump& actual) {
    if (expected == actual) return ::testing::AssertionSuccess();
    for (size_t i = 0; i < expected.sections.size() && i < actual.sections.size(); ++i)
        if (expected.sections[i] != actual.sections[i])
            return ::testing::AssertionFailure()
                   << "section \"" << expected.sections[i].first << "\" differs";
    return ::testing::AssertionFailure() << "section counts differ";
}

} // namespace vl::edittest
