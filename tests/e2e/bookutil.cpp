// The end-to-end tests' window into a workbook file, through the engine's own reader and
// writer: "dump FILE" prints each cell of the active worksheet as "A1<TAB>kind<TAB>text",
// "tree FILE" prints each item of the worksheet tree as "level<TAB>name", "make FILE" writes a
// small sales workbook for pictures of the program, "clip FILE" the block the clipboard test
// copies (A1 1 in bold, B1 2, A2 3, B2 =A1+B1), "table FILE" a table with a memo column. A
// bold cell's line ends in "<TAB>bold", a bordered cell's in "<TAB>sides N"; each row of a
// custom height follows as
// "row N<TAB>custom<TAB>height". "charts FILE" prints the series of each chart of the active
// worksheet, "pages FILE" writes 1 to 200 down column A, "styles FILE" prints each cell's
// number format kind as "A1<TAB>format KIND". "folders FILE" writes a worksheet Sales at the
// top (B3 41) and a folder Folder1 holding North, the active one, and another Sales (B3 8).
// "spill FILE" writes two worksheets, S1 and S2, where S1 reads an element of its own array
// through S2 and S2 holds a formula S1 does not read, calculated before its input changed;
// "sheet FILE NAME" prints the cells of the worksheet of that name as "dump" does.
// "printranges FILE" writes three worksheets with print ranges of their own (S1 prints A1:B1,
// S2 D1:F10, S3 everything); "printed FILE" prints each worksheet's print range.

#include "files/workbookopen.h"
#include "files/workbooksave.h"
#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "formula/recalc.h"
#include "formula/translate.h"
#include "functions/bindall/bindall.h"
#include "model/blockobject.h"
#include "model/chart.h"
#include "model/container.h"
#include "model/formatstore.h"
#include "model/rangedescriptor.h"
#include "model/rangeops.h"
#include "model/workbook.h"
#include "model/worksheettree.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>

namespace {

std::string CellName(uint16_t column, uint32_t row) {
    std::string letters;
    for (uint32_t c = column + 1u; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), char('A' + (c - 1) % 26));
    return letters + std::to_string(row + 1);
}

// The style of a cell: its run's, else its column's; null past the table.
const vl::StyleRecord* StyleOf(const vl::CWorkbook& book, uint16_t column, uint32_t row) {
    const vl::CFormatStore& formats = book.tree.active->formats;
    uint16_t style = formats.columns[column].style & 0x0FFF;
    for (const vl::FormatRun& run : vl::RunsInRect(formats, {column, row, column, row}))
        style = run.style;
    return style < book.styles.styleCount ? &book.styles.styles[style] : nullptr;
}

bool Bold(const vl::CWorkbook& book, uint16_t column, uint32_t row) {
    const vl::StyleRecord* style = StyleOf(book, column, row);
    if (!style) return false;
    const uint8_t font = style->fontRef.fontIndex;
    return font < book.styles.fontCount && book.styles.fonts[font].weight == 2;
}

// "<TAB>sides N" for a cell with drawn border sides (1 top, 2 bottom, 4 left, 8 right).
std::string Borders(const vl::CWorkbook& book, uint16_t column, uint32_t row) {
    const vl::StyleRecord* style = StyleOf(book, column, row);
    if (!style || !style->borderSides || style->borderLine.style == vl::FORMAT_LINE_NULL) return {};
    return "\tsides " + std::to_string(style->borderSides);
}

// The workbook in the file, or null after saying why it cannot be read.
auto OpenBook(const char* path) -> decltype(vl::CreateWorkbook()) {
    auto book = vl::CreateWorkbook();
    if (!book || !vl::OpenDocumentFile(*book, path) || !vl::OpenWorkbookFile(*book, nullptr)) {
        std::fprintf(stderr, "cannot read %s (error %d)\n", path, book ? int(book->error) : 8);
        return nullptr;
    }
    return book;
}

// The cells of the worksheet, one line each.
void PrintCells(vl::CWorkbook& book, vl::CWorksheet& sheet) {
    vl::CEvalContext ctx;
    ctx.worksheetList = book.tree.first;
    ctx.currentCells = &sheet.cells;
    vl::CellCursor cursor;
    cursor.page = sheet.cells.FirstPage();
    cursor.flags = vl::kAdvance;
    while (const uint8_t* r = vl::NextCellRecord(cursor)) {
        const uint16_t c = vl::cell::Column(r);
        const uint32_t row = vl::cell::Row(r);
        std::string text = vl::GetCellText(ctx, sheet.cells, c, row, c, row, false, false);
        if (vl::cell::IsFormula(r)) {
            char value[40];
            std::snprintf(value, sizeof value, " -> %g%s", vl::cell::CachedNumber(r),
                          (r[0] & 0xF0) ? " error" : "");
            text += value;
        }
        std::printf("%s\t%s\n", CellName(c, row).c_str(), text.c_str());
    }
}

int Sheet(const char* path, const char* name) {
    auto book = OpenBook(path);
    if (!book) return 1;
    for (vl::CTreeItem* item = book->tree.first; item; item = item->next)
        if (vl::CWorksheet* sheet = vl::AsWorksheet(item);
            sheet && std::strcmp(item->name, name) == 0) {
            PrintCells(*book, *sheet);
            return 0;
        }
    std::fprintf(stderr, "no worksheet %s in %s\n", name, path);
    return 1;
}

int Dump(const char* path) {
    auto book = OpenBook(path);
    if (!book) return 1;
    vl::CEvalContext ctx;
    ctx.worksheetList = book->tree.first;
    ctx.currentCells = &book->tree.active->cells;
    vl::CellCursor cursor;
    cursor.page = book->tree.active->cells.FirstPage();
    cursor.flags = vl::kAdvance;
    while (const uint8_t* r = vl::NextCellRecord(cursor)) {
        const uint16_t c = vl::cell::Column(r);
        const uint32_t row = vl::cell::Row(r);
        const char* kind = vl::cell::IsText(r)     ? "text"
                           : vl::cell::IsNumber(r) ? "number"
                                                   : "formula";
        std::string text = vl::GetCellText(ctx, *ctx.currentCells, c, row, c, row, false, false);
        if (vl::cell::IsFormula(r)) text += " -> " + std::to_string(vl::cell::CachedNumber(r));
        std::printf("%s\t%s\t%s%s%s\n", CellName(c, row).c_str(), kind, text.c_str(),
                    Bold(*book, c, row) ? "\tbold" : "", Borders(*book, c, row).c_str());
    }
    // Rows of a custom height, numbered from 1.
    vl::CPagedList& rows = book->tree.active->formats.rowHeights;
    for (uint32_t row = 0; row < rows.ItemCount(); ++row)
        if (const uint16_t* entry = rows.GetItem2(row); entry && (*entry & 1))
            std::printf("row %u\tcustom\t%u\n", unsigned(row + 1),
                        unsigned((*entry >> 1) & 0x0FFF));
    return 0;
}

int Styles(const char* path) {
    auto book = OpenBook(path);
    if (!book) return 1;
    vl::CellCursor cursor;
    cursor.page = book->tree.active->cells.FirstPage();
    cursor.flags = vl::kAdvance;
    while (const uint8_t* r = vl::NextCellRecord(cursor)) {
        const uint16_t c = vl::cell::Column(r);
        const uint32_t row = vl::cell::Row(r);
        const vl::StyleRecord* style = StyleOf(*book, c, row);
        std::printf("%s\tformat %d\n", CellName(c, row).c_str(),
                    style ? int(style->numberFormat.kind) : -1);
    }
    return 0;
}

int Tree(const char* path) {
    auto book = OpenBook(path);
    if (!book) return 1;
    for (const vl::CTreeItem* p = book->tree.first; p; p = p->next)
        std::printf("%u\t%s\n", unsigned(p->level), p->name);
    return 0;
}

// Each chart of the active worksheet: "container ID<TAB>type TYPE" and a line per series,
// "series N<TAB>role<TAB>formula".
int Charts(const char* path) {
    auto book = OpenBook(path);
    if (!book) return 1;
    for (const vl::CContainer* c = book->tree.active->firstContainer; c; c = c->next)
        for (int i = 0; i < c->settings.objectCount; ++i) {
            const vl::CChart* chart = c->slots[i].chart.get();
            if (!chart) continue;
            std::printf("container %u\ttype %u\n", unsigned(c->settings.id),
                        unsigned(chart->settings.type));
            for (int k = 0; k < chart->settings.seriesCount; ++k)
                std::printf("series %d\t%u\t%s\n", k + 1, unsigned(chart->series[k].settings.role),
                            chart->series[k].settings.dataArray);
        }
    return 0;
}

void Put(vl::CWorksheet& sheet, const vl::CellBuffer& b) {
    vl::CellCursor cursor;
    sheet.cells.PutCell(b.bytes, cursor);
}

int Make(const char* path) {
    auto book = vl::CreateWorkbook();
    if (!book || !vl::NewWorkbook(*book)) return 1;
    vl::CWorksheet& sheet = *book->tree.active;
    const char* heads[] = {"Region", "Product", "Units", "Price", "Revenue"};
    const char* regions[] = {"North", "South", "East", "West"};
    const char* products[] = {"Apples", "Pears", "Plums", "Cherries", "Figs"};
    vl::CellBuffer b;
    for (uint16_t c = 0; c < 5; ++c) {
        vl::MakeTextCell(b, c, 0, heads[c]);
        Put(sheet, b);
    }
    for (uint32_t r = 1; r <= 24; ++r) {
        vl::MakeTextCell(b, 0, r, regions[r % 4]);
        Put(sheet, b);
        vl::MakeTextCell(b, 1, r, products[r % 5]);
        Put(sheet, b);
        vl::MakeNumberCell(b, 2, r, double(40 + r * 37 % 90));
        Put(sheet, b);
        vl::MakeNumberCell(b, 3, r, 0.5 + double(r * 13 % 20) / 4);
        Put(sheet, b);
        vl::FormulaHead head;
        const std::string formula = "=RC[-2]*RC[-1]";
        vl::MakeFormulaCell(b, 4, r, head, formula);
        Put(sheet, b);
    }
    vl::MakeTextCell(b, 3, 25, "Total");
    Put(sheet, b);
    vl::FormulaHead head;
    vl::MakeFormulaCell(b, 4, 25, head, "=SUM(R[-24]C:R[-1]C)");
    Put(sheet, b);
    vl::CEvalContext ctx;
    vl::RecalculateWorkbook(*book, ctx);
    sheet.view.topLeft = {0, 4, 0};
    sheet.view.selection[0] = {4, 25, 0};
    sheet.view.selection[1] = {4, 25, 0};
    if (!vl::SaveWorkbookFile(*book, path, 3)) {
        std::fprintf(stderr, "cannot write %s (error %d)\n", path, int(book->error));
        return 1;
    }
    return 0;
}

int Clip(const char* path) {
    auto book = vl::CreateWorkbook();
    if (!book || !vl::NewWorkbook(*book)) return 1;
    vl::CWorksheet& sheet = *book->tree.active;
    vl::CellBuffer b;
    const double numbers[] = {1, 2, 3};
    const uint16_t columns[] = {0, 1, 0};
    const uint32_t rows[] = {0, 0, 1};
    for (int i = 0; i < 3; ++i) {
        vl::MakeNumberCell(b, columns[i], rows[i], numbers[i]);
        Put(sheet, b);
    }
    vl::FormulaHead head;
    vl::MakeFormulaCell(b, 1, 1, head, "=R[-1]C[-1]+R[-1]C");
    Put(sheet, b);
    vl::StyleTables& t = book->styles;
    vl::FontRecord bold = t.fonts[0];
    bold.weight = 2;
    t.fonts[t.fontCount] = bold;
    vl::StyleRecord style = t.styles[0];
    style.fontRef.fontIndex = t.fontCount++;
    t.styles[t.styleCount] = style;
    vl::CellCursor cursor;
    vl::PutFormatRun(sheet.formats, {0, 0, 0, t.styleCount++}, cursor);
    vl::CEvalContext ctx;
    vl::RecalculateWorkbook(*book, ctx);
    if (!vl::SaveWorkbookFile(*book, path, 3)) {
        std::fprintf(stderr, "cannot write %s (error %d)\n", path, int(book->error));
        return 1;
    }
    return 0;
}

// A table for the exchange formats: a header row, texts, numbers of uneven precision and a
// note column whose longest entry passes what a character field holds.
int Table(const char* path) {
    auto book = vl::CreateWorkbook();
    if (!book || !vl::NewWorkbook(*book)) return 1;
    vl::CWorksheet& sheet = *book->tree.active;
    std::string memo;
    for (int i = 0; i < 30; ++i) memo += "Note " + std::to_string(i) + " of the memo. ";
    memo.pop_back();
    const char* texts[][2] = {{"NAME", "NOTE"},
                              {"North", memo.c_str()},
                              {"South", "short"},
                              {"East", "Second memo line that stays in the memo field"}};
    const double numbers[] = {12.5, -3, 1000.25};
    vl::CellBuffer b;
    for (uint32_t r = 0; r < 4; ++r) {
        vl::MakeTextCell(b, 0, r, texts[r][0]);
        Put(sheet, b);
        if (r == 0)
            vl::MakeTextCell(b, 1, r, "AMOUNT");
        else
            vl::MakeNumberCell(b, 1, r, numbers[r - 1]);
        Put(sheet, b);
        vl::MakeTextCell(b, 2, r, texts[r][1]);
        Put(sheet, b);
    }
    if (!vl::SaveWorkbookFile(*book, path, 3)) {
        std::fprintf(stderr, "cannot write %s (error %d)\n", path, int(book->error));
        return 1;
    }
    return 0;
}

// A new item linked in at the end of the tree, or inside `folder` at its end.
template <class T> T* AddItem(vl::CWorkbook& book, vl::CTreeItem* folder, const char* name) {
    std::unique_ptr<T> item;
    if constexpr (std::is_same_v<T, vl::CWorksheet>)
        item = vl::NewBlockObject<vl::CWorksheet>(name, 1);
    else
        item = vl::NewBlockObject<vl::CTreeItem>(name, 1, vl::TREE_TYPE_FOLDER, 1);
    if (!item) return nullptr;
    vl::InsertTreeItem(book.tree, item.get(), folder);
    return item.release();
}

int Folders(const char* path) {
    auto book = vl::CreateWorkbook();
    if (!book || !vl::NewWorkbook(*book)) return 1;
    vl::CWorksheet& top = *book->tree.active;
    top.SetName("Sales");
    vl::CTreeItem* folder = AddItem<vl::CTreeItem>(*book, nullptr, "Folder1");
    vl::CWorksheet* north = folder ? AddItem<vl::CWorksheet>(*book, folder, "North") : nullptr;
    vl::CWorksheet* inner = folder ? AddItem<vl::CWorksheet>(*book, folder, "Sales") : nullptr;
    if (!north || !inner) return 1;
    vl::CellBuffer b;
    vl::MakeNumberCell(b, 1, 2, 41);
    Put(top, b);
    vl::MakeNumberCell(b, 1, 2, 8);
    Put(*inner, b);
    book->tree.active = north;
    book->currentItem = north;
    book->currentCells = &north->cells;
    if (!vl::SaveWorkbookFile(*book, path, 3)) {
        std::fprintf(stderr, "cannot write %s (error %d)\n", path, int(book->error));
        return 1;
    }
    return 0;
}

} // namespace

namespace {

void PutFormula(vl::CEvalContext& ctx, vl::CWorksheet& sheet, uint16_t column, uint32_t row,
                std::string formula) {
    ctx.currentCells = &sheet.cells;
    vl::TranslateFormula(ctx, formula, column, row, true);
    vl::CellBuffer b;
    vl::MakeFormulaCell(b, column, row, vl::FormulaHead{}, formula);
    Put(sheet, b);
}

} // namespace

// S1: D1 1, C1 ={1;1;1}*D1, A1 ='\S2'!A1; S2: A1 =SUM('\S1'!C2:C3), Z1 1, B1 =Z1*2. After a
// recalculation Z1 becomes 50 and the workbook is saved as it is, S1 active.
int Spill(const char* path) {
    auto book = vl::CreateWorkbook();
    if (!book || !vl::NewWorkbook(*book)) return 1;
    vl::CTreeItem* first = book->tree.first;
    first->SetName("S1");
    vl::CWorksheet& s1 = *vl::AsWorksheet(first);
    vl::CWorksheet& s2 = *vl::AsWorksheet(book->AppendTreeItem(vl::TREE_TYPE_WORKSHEET, "S2", 1));
    vl::CEvalContext ctx;
    ctx.worksheetList = book->tree.first;
    vl::CellBuffer b;
    PutFormula(ctx, s1, 0, 0, "='\\S2'!A1");
    PutFormula(ctx, s1, 2, 0, "={1;1;1}*D1");
    vl::MakeNumberCell(b, 3, 0, 1);
    Put(s1, b);
    PutFormula(ctx, s2, 0, 0, "=SUM('\\S1'!C2:C3)");
    PutFormula(ctx, s2, 1, 0, "=Z1*2");
    vl::MakeNumberCell(b, 25, 0, 1);
    Put(s2, b);
    vl::RecalculateWorkbook(*book, ctx);
    vl::MakeNumberCell(b, 25, 0, 50);
    Put(s2, b);
    book->tree.active = &s1;
    if (!vl::SaveWorkbookFile(*book, path, 3)) {
        std::fprintf(stderr, "cannot write %s (error %d)\n", path, int(book->error));
        return 1;
    }
    return 0;
}

// Three worksheets: S1 with 5 and 7 in A1:B1, which it prints alone, and C1 =A1*2; S2, which
// prints D1:F10; S3, which prints everything.
int PrintRanges(const char* path) {
    auto book = vl::CreateWorkbook();
    if (!book || !vl::NewWorkbook(*book)) return 1;
    vl::CTreeItem* first = book->tree.first;
    first->SetName("S1");
    vl::CWorksheet& s1 = *vl::AsWorksheet(first);
    vl::CWorksheet& s2 = *vl::AsWorksheet(book->AppendTreeItem(vl::TREE_TYPE_WORKSHEET, "S2", 1));
    vl::CWorksheet& s3 = *vl::AsWorksheet(book->AppendTreeItem(vl::TREE_TYPE_WORKSHEET, "S3", 1));
    vl::CEvalContext ctx;
    ctx.worksheetList = book->tree.first;
    vl::CellBuffer b;
    vl::MakeNumberCell(b, 0, 0, 5);
    Put(s1, b);
    vl::MakeNumberCell(b, 1, 0, 7);
    Put(s1, b);
    PutFormula(ctx, s1, 2, 0, "=A1*2");
    s1.pageSetup.printRangeKind = vl::kPrintCellRange;
    vl::MakeRangeDescriptor({0, 0, 1, 0}, &s1.pageSetup.printRange);
    s2.pageSetup.printRangeKind = vl::kPrintCellRange;
    vl::MakeRangeDescriptor({3, 0, 5, 9}, &s2.pageSetup.printRange);
    s3.pageSetup.printRangeKind = vl::kPrintAll;
    vl::RecalculateWorkbook(*book, ctx);
    book->tree.active = &s1;
    return vl::SaveWorkbookFile(*book, path, 3) ? 0 : 1;
}

// Each worksheet's print range: "name<TAB>kind<TAB>A1:B2" (the range whatever the kind).
int Printed(const char* path) {
    auto book = OpenBook(path);
    if (!book) return 1;
    for (vl::CTreeItem* item = book->tree.first; item; item = item->next)
        if (const vl::CWorksheet* sheet = vl::AsWorksheet(item)) {
            const vl::CellRange r = sheet->pageSetup.printRange.Range();
            std::printf("%s\t%u\t%s:%s\n", item->name, unsigned(sheet->pageSetup.printRangeKind),
                        CellName(r.c1, r.r1).c_str(), CellName(r.c2, r.r2).c_str());
        }
    return 0;
}

// Numbers 1 to 200 down column A: several printed pages.
int Pages(const char* path) {
    auto book = vl::CreateWorkbook();
    if (!book || !vl::NewWorkbook(*book)) return 1;
    vl::CWorksheet& sheet = *book->tree.active;
    vl::CellBuffer b;
    for (uint32_t r = 0; r < 200; ++r) {
        vl::MakeNumberCell(b, 0, r, double(r + 1));
        Put(sheet, b);
    }
    if (!vl::SaveWorkbookFile(*book, path, 3)) return 1;
    return 0;
}

// A worksheet that prints thousands of pages: "z" in J200000 alone.
int LongPrint(const char* path) {
    auto book = vl::CreateWorkbook();
    if (!book || !vl::NewWorkbook(*book)) return 1;
    vl::CellBuffer b;
    vl::MakeTextCell(b, 9, 199999, "z");
    Put(*book->tree.active, b);
    return vl::SaveWorkbookFile(*book, path, 3) ? 0 : 1;
}

// A 150-character title in A1 aligned by `align` (0 to 3), and nothing else.
int Title(const char* path, const char* align) {
    auto book = vl::CreateWorkbook();
    if (!book || !vl::NewWorkbook(*book)) return 1;
    vl::CWorksheet& sheet = *book->tree.active;
    std::string title;
    while (title.size() < 150) title += "Household budget " + std::to_string(title.size()) + " ";
    title.resize(150);
    vl::CellBuffer b;
    vl::MakeTextCell(b, 0, 0, title);
    Put(sheet, b);
    vl::StyleTables& t = book->styles;
    vl::StyleRecord style = t.styles[0];
    style.horizontalAlignment = uint8_t(std::atoi(align));
    t.styles[t.styleCount] = style;
    vl::CellCursor cursor;
    if (!vl::PutFormatRun(sheet.formats, {0, 0, 0, t.styleCount++}, cursor)) return 1;
    return vl::SaveWorkbookFile(*book, path, 3) ? 0 : 1;
}

// A one-cell worksheet whose header prints its file's change date and time.
int StampHeader(const char* path) {
    auto book = vl::CreateWorkbook();
    if (!book || !vl::NewWorkbook(*book)) return 1;
    vl::CellBuffer b;
    vl::MakeNumberCell(b, 0, 0, 1);
    Put(*book->tree.active, b);
    std::strcpy(book->tree.active->pageSetup.headerText, "&cStamp:[&g &z]");
    return vl::SaveWorkbookFile(*book, path, 3) ? 0 : 1;
}

// The header font of the active worksheet's page settings: its face ("" when unset), size
// (0 when unset), weight and italic codes.
int HeaderFont(const char* path) {
    auto book = OpenBook(path);
    if (!book) return 1;
    const vl::FontRecord& f = book->tree.active->pageSetup.headerFont.font;
    std::printf("face '%s' size %u weight %u italic %u\n", f.faceName, unsigned(f.size),
                unsigned(f.weight), unsigned(f.italic));
    return 0;
}

int main(int argc, char** argv) {
    vl::BindAllFunctions();
    if (argc == 3 && std::strcmp(argv[1], "dump") == 0) return Dump(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "make") == 0) return Make(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "folders") == 0) return Folders(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "tree") == 0) return Tree(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "clip") == 0) return Clip(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "table") == 0) return Table(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "charts") == 0) return Charts(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "pages") == 0) return Pages(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "longprint") == 0) return LongPrint(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "stampheader") == 0) return StampHeader(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "title") == 0) return Title(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "headerfont") == 0) return HeaderFont(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "styles") == 0) return Styles(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "spill") == 0) return Spill(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "sheet") == 0) return Sheet(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "printranges") == 0) return PrintRanges(argv[2]);
    if (argc == 3 && std::strcmp(argv[1], "printed") == 0) return Printed(argv[2]);
    std::fprintf(stderr, "usage: bookutil dump|tree|make|clip|table|charts|pages|longprint|stampheader|styles FILE\n");
    return 2;
}
