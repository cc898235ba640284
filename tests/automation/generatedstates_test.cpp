// Generated states: seeded sequences of the operations clients and the window's commands
// make, each state then saved in every native form and reopened (the whole record state must
// come back), exported to every exchange form and read back (values and formulas must come
// back, or the loss must have been named before the save), and a block copied and pasted
// back onto itself (nothing may change). A failing sequence is shrunk to a short list of
// operations, printed with its seed.
//
// VORLANE_STATES_SEQUENCES sets how many sequences run (a longer run), VORLANE_STATES_SEED
// the first seed; VORLANE_STATES_PEER_DIR keeps a sample of the exchange files written, each
// with the cells this program read back, for the peers to read (tests/tools/statespeer_test.sh).

#include "automation/formatinfo.h"
#include "automation/infoobjects.h"
#include "automation/pageinfo.h"
#include "automationtestutil.h"
#include "exchange/excelxmlparts.h"
#include "exchange/foreignfile.h"
#include "exchange/xbase.h"
#include "formula/cellinput.h"
#include "formula/celltext.h"
#include "formula/edit/cellcommands.h"
#include "formula/edit/clipboardtext.h"
#include "formula/edit/datacommands.h"
#include "formula/edit/editcommands.h"
#include "formula/edit/rangecommands.h"
#include "formula/evalcontext.h"
#include "formula/literals.h"
#include "formula/token.h"
#include "model/cellrecord.h"
#include "model/cellstyle.h"
#include "model/container.h"
#include "model/containerpaste.h"
#include "model/dropdownlist.h"
#include "model/inspectedcell.h"
#include "model/rangedescriptor.h"
#include "model/undosnapshot.h"
#include "platform/core/cp1252.h"
#include "tests/charts/chartcontainer.h"
#include "tests/files/reloadcheck.h"
#include "values/isodate.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <sstream>

namespace vl {
namespace {

// The corner the operations work in: small, so that ranges, runs and moves overlap.
constexpr uint16_t kColumns = 6;
constexpr uint32_t kRows = 12;

enum OpKind : uint8_t {
    kPutNumber,
    kPutText,
    kPutFormula,
    kPutOtherVariant,
    kPutRange,
    kPutStyleId,
    kFormatSetter,
    kClear,
    kInsertItem,
    kRenameItem,
    kDeleteItem,
    kActivate,
    kChart,
    kDropDownList,
    kPageSetup,
    kInspectEntry,
    kProtection,
    kSaveForm,
    kTyping,
    kFill,
    kSort,
    kTranspose,
    kCopyPaste,
    kPasteText,
    kInsertRows,
    kRemoveRows,
    kInsertColumns,
    kRemoveColumns,
    kOpKinds
};

const char* const kOpNames[kOpKinds] = {"PutValue number",
                                        "PutValue text",
                                        "PutFormula",
                                        "PutValue other variant",
                                        "PutRange",
                                        "PutStyleID",
                                        "format setter",
                                        "Clear",
                                        "InsertItem",
                                        "SetItemName",
                                        "DeleteItem",
                                        "SetActiveWorksheet",
                                        "chart container",
                                        "drop-down list",
                                        "SetPageSettings",
                                        "inspect entry",
                                        "SetProtection",
                                        "save form",
                                        "typing",
                                        "Fill Series",
                                        "Sort",
                                        "Transpose",
                                        "Copy+Paste",
                                        "Paste text",
                                        "Insert Rows",
                                        "Remove Rows",
                                        "Insert Columns",
                                        "Remove Columns"};

struct Op {
    OpKind kind = kPutNumber;
    CellRange range;
    int32_t n = 0;
    double x = 0;
    std::string text; // UTF-8
};

std::string CellName(uint16_t column, uint32_t row) {
    std::string name;
    for (uint32_t c = column + 1u; c; c = (c - 1) / 26)
        name.insert(name.begin(), char('A' + (c - 1) % 26));
    return "$" + name + "$" + std::to_string(row + 1);
}

std::string RangeName(const CellRange& r) {
    const std::string first = CellName(r.c1, r.r1);
    if (r.c1 == r.c2 && r.r1 == r.r2) return first;
    return first + ":" + CellName(r.c2, r.r2);
}

std::string Describe(const Op& op) {
    std::ostringstream s;
    s << kOpNames[op.kind] << ' ' << RangeName(op.range) << " n=" << op.n << " x=" << op.x;
    if (!op.text.empty()) {
        s << " text=\"";
        for (const char c : op.text) {
            if (c == '\n')
                s << "\\n";
            else if (c == '\t')
                s << "\\t";
            else if (c == '\r')
                s << "\\r";
            else
                s << c;
        }
        s << '"';
    }
    return s.str();
}

// The texts clients send: quotes, separators, line breaks, characters past ASCII of the
// code page, texts that read as numbers or formulas when typed, blanks at the ends.
const char* const kTexts[] = {
    "plain",       "say \"hi\"", "a\tb",  "two\nlines", "caf\xc3\xa9",    "\xe2\x82\xac 5",
    "007",         "12%",        "1,234", " padded ",   "=not a formula", "'quoted'",
    "back\\slash", "x;y,z",      "TRUE",  "semi;colon", "#N/A",           "2026-03-01",
};
// Tree item names with quotes, blanks and backslashes.
const char* const kNames[] = {"Sheet 'A'", "b c", "d\\e", "\"q\"", "F", "g h i", "j'k", "L!m"};
const char* const kFormulas[] = {
    "=A1+B2",         "=SUM(A1:C3)",     "=\"t\"&A1",      "=IF(A1>1,\"big\",\"small\")",
    "=1/0",           "=AVERAGE(B1:B4)", "=A1*2.5",        "=LEN(\"say \"\"x\"\"\")",
    "=ROUND(PI(),4)", "=MAX(A1:F12)",    "=COUNT(A1:A12)", "=B3-C4",
};
const double kNumbers[] = {
    0, 1, -2.5, 0.1, 1e-7, 123456789.125, 1e15, -1e-300, 0.00001, 3.14159265358979, 42, 1e300};

class Generator {
public:
    explicit Generator(uint32_t seed) : gen_(seed) {}
    uint32_t Below(uint32_t n) { return n ? uint32_t(gen_() % n) : 0; }

    CellRange Range(bool single) {
        CellRange r;
        r.c1 = uint16_t(Below(kColumns));
        r.r1 = Below(kRows);
        r.c2 = single ? r.c1 : uint16_t(std::min<uint32_t>(kColumns - 1, r.c1 + Below(3)));
        r.r2 = single ? r.r1 : std::min<uint32_t>(kRows - 1, r.r1 + Below(4));
        return r;
    }

    Op Next() {
        Op op;
        // Cells and formats more often than the rest, as users make them.
        static const uint8_t kWeights[kOpKinds] = {8, 6, 6, 3, 2, 6, 6, 2, 2, 2, 1, 1, 1, 1,
                                                   1, 1, 1, 1, 3, 2, 2, 1, 2, 2, 1, 1, 1, 1};
        uint32_t total = 0;
        for (const uint8_t w : kWeights) total += w;
        uint32_t pick = Below(total);
        uint8_t kind = 0;
        while (pick >= kWeights[kind]) pick -= kWeights[kind++];
        op.kind = OpKind(kind);
        op.range = Range(Below(3) == 0);
        op.n = int32_t(Below(1000));
        op.x = kNumbers[Below(std::size(kNumbers))];
        switch (op.kind) {
        case kPutNumber:
            op.range = Range(true);
            if (Below(3) == 0) op.x = double(int32_t(gen_())) / double(1 + Below(10000));
            break;
        case kPutText:
        case kTyping:
            op.text = kTexts[Below(std::size(kTexts))];
            if (op.kind == kTyping && Below(3) == 0)
                op.text = kFormulas[Below(std::size(kFormulas))];
            if (op.kind == kTyping && Below(4) == 0) op.text = std::to_string(op.x);
            break;
        case kPutFormula:
            op.range = Range(true);
            op.text = kFormulas[Below(std::size(kFormulas))];
            break;
        case kInsertItem:
        case kRenameItem:
            op.text = kNames[Below(std::size(kNames))];
            break;
        case kPasteText:
            op.text = std::string(kTexts[Below(std::size(kTexts))]) + "\t" + std::to_string(op.n) +
                      "\r\n\"q \"\"x\"\"\"\t" + kTexts[Below(std::size(kTexts))];
            break;
        default:
            break;
        }
        return op;
    }

private:
    std::mt19937 gen_;
};

std::vector<Op> Sequence(uint32_t seed, size_t length) {
    Generator g(seed);
    std::vector<Op> ops;
    for (size_t i = 0; i < length; ++i) ops.push_back(g.Next());
    return ops;
}

// The automation object with its document and the window's copy history.
struct State {
    std::shared_ptr<CWorkbookObj> obj;
    UndoHistory copies;

    CWorkbook& Doc() { return obj->Document(); }
    CEvalContext& Ctx() {
        CEvalContext& ctx = obj->Context();
        ctx.worksheetList = Doc().tree.first;
        ctx.currentCells = Doc().tree.active ? &Doc().tree.active->cells : nullptr;
        return ctx;
    }
    GridSelection Selection(const CellRange& r) { return {r, r.c1, r.r1}; }
};

void ApplyFormat(State& s, const Op& op) {
    std::shared_ptr<CFormatInfoObj> info;
    if (CFormatInfoObj::Create(info) != S_OK) return;
    // Attributes the setters carry: number formats, font, colours, fills, borders.
    static const int32_t kTypes[] = {1, 3, 4, 6, 7, 8, 9, 10, 11, 13, 14, 17, 19, 20};
    const int32_t type = kTypes[op.n % std::size(kTypes)];
    info->put_styleID(op.n % 12);
    info->put_fontSize(8 + op.n % 10);
    info->put_fontName(op.n % 2 ? "Sans" : "Serif");
    info->put_boldFont(op.n % 3 == 0);
    info->put_italicFont(op.n % 5 == 0);
    info->put_fontColor(uint32_t(op.n) * 2654435761u & 0xFFFFFF);
    info->put_fillType(op.n % 4);
    info->put_fillBackgroundColor(uint32_t(op.n) * 40503u & 0xFFFFFF);
    info->put_borderType(op.n % 3);
    info->put_borderPosition(op.n % 16);
    s.obj->format(RangeName(op.range), type, info.get());
}

void ApplyPage(State& s, const Op& op) {
    std::shared_ptr<CPageInfoObj> info;
    if (CPageInfoObj::Create(info) != S_OK || s.obj->GetPageSettings(info.get()) != S_OK) return;
    const double m = 0.25 * (op.n % 9);
    info->SetMargins(m, m + 0.5, m + 0.25, 1.0);
    s.obj->SetPageSettings(info.get());
}

void Apply(State& s, const Op& op) {
    CWorkbook& doc = s.Doc();
    CWorksheet* sheet = doc.tree.active;
    const std::string where = RangeName(op.range);
    const GridSelection selection = s.Selection(op.range);
    switch (op.kind) {
    case kPutNumber:
        s.obj->PutValue(where, CVariant::R8(op.x));
        break;
    case kPutText:
        s.obj->PutValue(CellName(op.range.c1, op.range.r1), CVariant::Bstr(op.text));
        break;
    case kPutFormula:
        s.obj->PutFormula(where, op.text);
        break;
    case kPutOtherVariant: {
        static const uint16_t kTypes[] = {VT_I4, VT_BOOL, VT_DATE, VT_CY, VT_I2, VT_EMPTY};
        const uint16_t type = kTypes[op.n % std::size(kTypes)];
        CVariant v = type == VT_DATE    ? CVariant::Date(40000 + op.n / 7.0)
                     : type == VT_CY    ? CVariant::Currency(int64_t(op.n) * 1234)
                     : type == VT_BOOL  ? CVariant::Bool(op.n % 2)
                     : type == VT_EMPTY ? CVariant::Empty()
                                        : CVariant::Integer(type, op.n - 500);
        s.obj->PutValue(CellName(op.range.c1, op.range.r1), v);
        break;
    }
    case kPutRange: {
        const uint32_t rows = op.range.r2 - op.range.r1 + 1,
                       columns = op.range.c2 - op.range.c1 + 1;
        auto array = CSafeArray::Create({{1, rows}, {1, columns}});
        if (!array) break;
        for (uint32_t r = 0; r < rows; ++r)
            for (uint32_t c = 0; c < columns; ++c) {
                const int32_t index[] = {int32_t(r + 1), int32_t(c + 1)};
                const uint32_t k = op.n + r * 7 + c;
                array->PutElement(index, k % 3 ? CVariant::R8(k * 0.5)
                                               : CVariant::Bstr(kTexts[k % std::size(kTexts)]));
            }
        s.obj->PutRange(where, array.get());
        break;
    }
    case kPutStyleId:
        // Mostly indexes the style table holds; now and then one past it (the first, or the
        // last of sixteen bits), which is stored as given.
        if (op.n % 11 == 0)
            s.obj->PutStyleID(where, op.n % 2 ? 0xFFFF : int32_t(doc.styles.styleCount));
        else
            s.obj->PutStyleID(where, op.n % std::max<uint32_t>(doc.styles.styleCount, 1));
        break;
    case kFormatSetter:
        ApplyFormat(s, op);
        break;
    case kClear:
        s.obj->Clear(where, 1 + op.n % 2);
        break;
    case kInsertItem: {
        int32_t count = 0, index = 0;
        s.obj->GetItemCount(count);
        s.obj->InsertItem(op.n % 3 == 0 ? -1 : op.n % std::max(count, 1),
                          op.n % 2 ? TREE_TYPE_WORKSHEET : TREE_TYPE_FOLDER, op.text, index);
        break;
    }
    case kRenameItem: {
        int32_t count = 0;
        s.obj->GetItemCount(count);
        if (count) s.obj->SetItemName(op.n % count, op.text);
        break;
    }
    case kDeleteItem: {
        int32_t count = 0;
        s.obj->GetItemCount(count);
        if (count > 1) s.obj->DeleteItem(op.n % count);
        break;
    }
    case kActivate: {
        int32_t count = 0, is = 0;
        s.obj->GetItemCount(count);
        CBstr path;
        if (count && s.obj->IsWorksheet(op.n % count, is) == S_OK && is &&
            s.obj->GetItemPath(op.n % count, path) == S_OK)
            s.obj->SetActiveWorksheet(path);
        break;
    }
    case kChart: {
        if (!sheet) break;
        auto c = charttest::ChartContainer(1 + op.n % 2, "R1C1:R4C1");
        // An id free over the workbook, as the command that makes one takes it.
        c->settings.id = CContainerIds(doc).Take();
        if (c->settings.id == 0) break;
        LinkContainer(*sheet, std::move(c));
        break;
    }
    case kDropDownList: {
        DropDownListRecord& list = doc.dropDownLists[op.n % kDropDownLists];
        SetDropDownName(list, kNames[op.n % std::size(kNames)]);
        AddDropDownEntry(list, kTexts[op.n % std::size(kTexts)]);
        break;
    }
    case kPageSetup:
        ApplyPage(s, op);
        break;
    case kInspectEntry: {
        InspectedCellRecord r;
        r.cell = CellRef{op.range.c1, op.range.r1, kRefCell};
        std::snprintf(r.worksheet, sizeof r.worksheet, "%s", sheet ? sheet->name : "");
        std::snprintf(r.name, sizeof r.name, "%s", kNames[op.n % std::size(kNames)]);
        AppendInspectedCell(doc.inspectedCells, r);
        break;
    }
    case kProtection:
        s.obj->SetProtection(op.n % 3 == 0 ? CBstr() : CBstr("secret" + std::to_string(op.n)),
                             op.n % 2);
        break;
    case kSaveForm:
        doc.fileKind = uint8_t(1 + op.n % 4);
        break;
    case kTyping:
        if (sheet) StoreTextInRangeCommand(doc, s.Ctx(), selection, Utf8ToCp1252(op.text), true);
        break;
    case kFill:
        if (sheet) FillSeriesCommand(doc, s.Ctx(), selection);
        break;
    case kSort: {
        if (!sheet) break;
        const uint16_t key = op.range.c1;
        const uint8_t ascending = op.n % 2;
        SortSelection(doc, selection, 1, &key, &ascending);
        break;
    }
    case kTranspose:
        if (sheet) TransposeCommand(doc, selection);
        break;
    case kCopyPaste: {
        if (!sheet) break;
        RangeDescriptor range;
        MakeRangeDescriptor(op.range, &range);
        if (!SnapshotRangeToUndo(doc, *sheet, range, s.copies, s.copies.current, true, true)) {
            DiscardLastUndo(s.copies, true);
            break;
        }
        const CellRange to{uint16_t(op.n % kColumns), uint32_t(op.n / 7 % kRows),
                           uint16_t(op.n % kColumns), uint32_t(op.n / 7 % kRows)};
        PasteEntryCommand(doc, s.Selection(to), s.copies, s.copies.current, op.n % 2);
        break;
    }
    case kPasteText:
        if (sheet) PasteTextCommand(doc, s.Ctx(), selection, Utf8ToCp1252(op.text));
        break;
    case kInsertRows:
        if (sheet) InsertRowsCommand(doc, selection);
        break;
    case kRemoveRows:
        if (sheet) RemoveRowsCommand(doc, selection);
        break;
    case kInsertColumns:
        if (sheet) InsertColumnsCommand(doc, selection);
        break;
    case kRemoveColumns:
        if (sheet) RemoveColumnsCommand(doc, selection);
        break;
    case kOpKinds:
        break;
    }
}

// ---- what a state holds, canonically --------------------------------------------------

std::string NumberText(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

// A cell as the exchange forms keep it: with `formulas` a formula's text, else the value.
std::string CellText(const uint8_t* r, bool formulas) {
    const uint8_t error = cell::Error(r);
    if (cell::IsFormula(r)) {
        if (formulas) return "=" + std::string(cell::Formula(r));
        if (error) return "#" + std::string(GetFormulaErrorText(uint8_t(error << 4)));
        const uint8_t result = cell::ResultFlags(r);
        if (result & kResultNumber) return "n" + NumberText(cell::CachedNumber(r));
        if (result & kResultText) return "t" + std::string(cell::CachedText(r));
        return "t";
    }
    if (error) return "#" + std::string(GetFormulaErrorText(uint8_t(error << 4)));
    if (cell::IsText(r)) return "t" + std::string(cell::Text(r));
    return "n" + NumberText(cell::Number(r));
}

using SheetCells = std::map<std::pair<uint32_t, uint16_t>, std::string>;

SheetCells Cells(const CWorksheet& sheet, bool formulas) {
    SheetCells out;
    CellCursor cursor{kAdvance, sheet.cells.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor)) {
        const std::string text = CellText(r, formulas);
        if (text != "t") out[{cell::Row(r), cell::Column(r)}] = text;
    }
    return out;
}

std::string FirstCellApart(const SheetCells& a, const SheetCells& b) {
    for (const auto& [at, text] : a) {
        auto found = b.find(at);
        if (found == b.end()) return CellName(at.second, at.first) + " " + text + " is missing";
        if (found->second != text && text != "*")
            return CellName(at.second, at.first) + " " + text + " came back " + found->second;
    }
    for (const auto& [at, text] : b)
        if (!a.count(at) && text != "*")
            return CellName(at.second, at.first) + " " + text + " appeared";
    return {};
}

// ---- the checks after a sequence --------------------------------------------------------

struct Checker {
    tempfiles::TempFolder& folder;
    const char* peerDir = nullptr;
    uint32_t seed = 0;
    bool keep = false; // this sequence's exchange files go to the peers
    uint32_t retyped = 0, refusedTables = 0, untyped = 0, trimmedBlanks = 0, rounded = 0,
             blanked = 0, asShown = 0, sameMoment = 0, controlsLeftOut = 0, errorsAsNA = 0,
             folderFormulas = 0, formatsCompared = 0;

    std::string Body(CWorkbook& book) {
        std::string bytes;
        ErrorCode error = kErrorNone;
        if (!reloadcheck::BodyBytes(book, bytes, &error))
            return "<no body: " + std::to_string(error) + ">";
        return bytes;
    }

    std::shared_ptr<CWorkbookObj> Reopen(const std::string& path, int32_t format, CBstr password,
                                         HRESULT& hr, ITextFileInfo* text = nullptr,
                                         IXBaseInfo* xbase = nullptr) {
        std::shared_ptr<CWorkbookObj> other;
        if (CWorkbookObj::Create(other) != S_OK) return nullptr;
        hr = other->Load(path, password, format, text, xbase);
        return other;
    }

    // Every native form: the save is taken and the reopened document holds every record.
    // The XML form is compared with the workbook too, record by record as far as the form
    // carries them, not only with what the XML writer makes of both.
    std::string Native(State& s) {
        CWorkbook& doc = s.Doc();
        std::shared_ptr<CWorkbookObj> xmlBack, wholeBack;
        const std::string password = doc.encryption ? std::string(doc.password) : std::string();
        for (uint8_t form = kFormatXml; form <= kFormatBinaryCompressed; ++form) {
            doc.fileKind = form;
            const std::string path = folder.Path("native" + std::to_string(form) + ".vln");
            if (const HRESULT hr = s.obj->SaveAs(path); hr != S_OK)
                return "SaveAs in form " + std::to_string(form) + " answered " +
                       std::to_string(hr) + " with error " + std::to_string(doc.error);
            doc.stream.Close();
            const uint8_t written = doc.fileKind;
            HRESULT hr = S_OK;
            auto back = Reopen(path, 0, password.empty() ? CBstr() : CBstr(password), hr);
            if (hr != S_OK)
                return "the form " + std::to_string(written) + " file does not open (" +
                       std::to_string(hr) + ", error " + std::to_string(back->Document().error) +
                       ")";
            back->Document().stream.Close();
            if (written >= kFormatBinary) {
                const std::string a = Body(doc), b = Body(back->Document());
                if (a != b)
                    return "form " + std::to_string(written) + " reopens otherwise at byte " +
                           reloadcheck::FirstByteApart(a, b);
                // Every record of the workbook, byte for byte: it stands for the workbook.
                wholeBack = back;
            } else {
                if (written == kFormatXml) xmlBack = back;
                // The XML form carries less than the records hold: both are compared as the
                // XML form writes them.
                const std::string a = XmlOf(doc), b = XmlOf(back->Document());
                if (a != b)
                    return "form " + std::to_string(written) + " reopens otherwise" +
                           reloadcheck::FirstDifference(a, b);
            }
        }
        if (xmlBack && wholeBack) {
            // Each save stamps its own user and moment; the rest must agree.
            CWorkbook& whole = wholeBack->Document();
            std::memcpy(whole.lastSavedUser, xmlBack->Document().lastSavedUser,
                        sizeof whole.lastSavedUser);
            std::memcpy(whole.lastSavedDate, xmlBack->Document().lastSavedDate,
                        sizeof whole.lastSavedDate);
            if (std::string fault = reloadcheck::CarriedRecordsFault(whole, xmlBack->Document());
                !fault.empty())
                return "the XML form reopens otherwise than the workbook: " + fault;
        }
        return {};
    }

    static std::string XmlOf(CWorkbook& book) {
        std::string text;
        if (!reloadcheck::XmlText(book, text))
            return "<no XML: " + std::to_string(book.error) + ">";
        return text;
    }

    void KeepForPeer(const std::string& path, const char* extension, const CWorkbook& back) {
        if (!peerDir || !keep) return;
        const std::string stem = std::string(peerDir) + "/seed" + std::to_string(seed);
        std::filesystem::copy_file(path, stem + extension,
                                   std::filesystem::copy_options::overwrite_existing);
        std::ofstream cells(stem + extension + ".cells", std::ios::binary);
        int index = 0;
        for (const CTreeItem* p = back.tree.first; p; p = p->next) {
            const CWorksheet* sheet = AsWorksheet(p);
            if (!sheet) continue;
            CellCursor cursor{kAdvance, sheet->cells.FirstPage(), 0};
            while (const uint8_t* r = NextCellRecord(cursor)) {
                // A table's first row is its field list, which a peer shows in its own form.
                if (std::strcmp(extension, ".dbf") == 0 && cell::Row(r) == 0) continue;
                std::string kind, value;
                const uint8_t error = cell::Error(r);
                if (cell::IsFormula(r)) {
                    // Its result when that is an error value: a formula both programs refuse
                    // (the peer at reading it) is listed apart from one it cannot read.
                    kind = error ? "fe" : "f";
                    if (error) value = GetFormulaErrorText(uint8_t(error << 4));
                } else if (error) {
                    kind = "e";
                    value = GetFormulaErrorText(uint8_t(error << 4));
                } else if (cell::IsText(r)) {
                    kind = "t";
                    value = Cp1252ToUtf8(cell::Text(r));
                } else {
                    kind = "n";
                    char buffer[64];
                    value.assign(
                        buffer, std::to_chars(buffer, buffer + sizeof buffer, cell::Number(r)).ptr);
                }
                // One line a cell: texts of several lines stay out.
                if (value.find_first_of("\r\n") != std::string::npos) continue;
                cells << index << '\t' << cell::Row(r) << '\t' << cell::Column(r) << '\t' << kind
                      << '\t' << value << '\n';
            }
            ++index;
        }
    }

    // A worksheet's cells as the spreadsheet form gives them back: texts and formulas
    // without the control characters XML cannot hold, an error value the form does not know
    // as #N/A, and, when the save named the folders' loss, a formula naming a folder's
    // worksheet as the form rewrites it (its own cell is left out of the comparison).
    SheetCells SpreadsheetKeeps(const CWorksheet& sheet, bool folders) {
        SheetCells out = Cells(sheet, true);
        CellCursor cursor{kAdvance, sheet.cells.FirstPage(), 0};
        while (const uint8_t* r = NextCellRecord(cursor)) {
            const auto at = std::make_pair(cell::Row(r), cell::Column(r));
            const auto it = out.find(at);
            if (it == out.end()) continue;
            std::string& text = it->second;
            const uint8_t error = uint8_t(cell::Error(r) << 4);
            if (cell::IsFormula(r) && folders && text.find('\\') != std::string::npos) {
                text = "*";
                ++folderFormulas;
            } else if (text[0] == '=' || text[0] == 't') {
                const std::string safe = ExcelXmlSafeText(text);
                if (safe != text) ++controlsLeftOut;
                text = safe;
            } else if (!cell::IsFormula(r) && error && (error < kErrDivZero || error > kErrValue)) {
                text = "#" + std::string(GetFormulaErrorText(kErrNA));
                ++errorsAsNA;
            }
        }
        return out;
    }

    // Excel 2003 XML: every worksheet's values, formulas and number formats, each cell as
    // the form keeps it.
    std::string Spreadsheet(State& s) {
        CWorkbook& doc = s.Doc();
        const std::string path = folder.Path("export.xml");
        const std::string loss = FormLossText(doc, kFileExcelXml);
        const HRESULT saved = s.obj->SaveAsExcelFile(path);
        doc.stream.Close();
        if (saved != S_OK)
            return "SaveAsExcelFile answered " + std::to_string(saved) + " with error " +
                   std::to_string(doc.error);
        HRESULT hr = S_OK;
        auto back = Reopen(path, kFileExcelXml, CBstr(), hr);
        if (hr != S_OK)
            return "our Excel 2003 XML does not open (error " +
                   std::to_string(back->Document().error) + ")";
        back->Document().stream.Close();
        std::vector<const CWorksheet*> ours, theirs;
        for (const CTreeItem* p = doc.tree.first; p; p = p->next)
            if (const CWorksheet* w = AsWorksheet(p)) ours.push_back(w);
        for (const CTreeItem* p = back->Document().tree.first; p; p = p->next)
            if (const CWorksheet* w = AsWorksheet(p)) theirs.push_back(w);
        if (ours.size() != theirs.size())
            return "Excel 2003 XML: " + std::to_string(ours.size()) + " worksheets came back " +
                   std::to_string(theirs.size());
        const bool folders = loss.find("folder") != std::string::npos;
        for (size_t i = 0; i < ours.size(); ++i) {
            // Without folders the names must be told apart: a name two folders share comes
            // back numbered, the folders' loss named.
            if (std::strcmp(ours[i]->name, theirs[i]->name) != 0 &&
                !(folders &&
                  std::strncmp(ours[i]->name, theirs[i]->name, std::strlen(ours[i]->name)) == 0))
                return "Excel 2003 XML: worksheet \"" + std::string(ours[i]->name) +
                       "\" came back \"" + theirs[i]->name + "\"";
            // Each cell as the form keeps it: the losses the save named change those cells
            // alone, never excuse the worksheet.
            const SheetCells kept = SpreadsheetKeeps(*ours[i], folders);
            std::string apart = FirstCellApart(kept, Cells(*theirs[i], true));
            if (!apart.empty())
                return "Excel 2003 XML, worksheet " + std::to_string(i + 1) + ": " + apart;
            // The number formats come back: every cell shows what it showed.
            for (const auto& [at, text] : Cells(*ours[i], false)) {
                const auto keptAt = kept.find(at);
                if (keptAt != kept.end() && keptAt->second == "*") continue;
                // An error value the form does not know shows as the #N/A it became.
                const uint8_t* record = FindCell(ours[i]->cells, at.first, at.second);
                const uint8_t error = record ? uint8_t(cell::Error(record) << 4) : 0;
                const std::string before = error && (error < kErrDivZero || error > kErrValue)
                                               ? std::string(GetFormulaErrorText(kErrNA))
                                               : Shown(doc, *ours[i], at.second, at.first);
                const std::string after = Shown(back->Document(), *theirs[i], at.second, at.first);
                if (before != after)
                    return "Excel 2003 XML, worksheet " + std::to_string(i + 1) + ": " +
                           CellName(at.second, at.first) + " showed \"" + before + "\", shows \"" +
                           after + "\"";
                ++formatsCompared;
            }
        }
        KeepForPeer(path, ".xml", back->Document());
        return {};
    }

    // A text file and the xBase tables: the active worksheet's values.
    std::string Text(State& s) {
        CWorkbook& doc = s.Doc();
        CWorksheet* sheet = doc.tree.active;
        if (!sheet) return {};
        std::shared_ptr<CTextFileInfoObj> info;
        if (CTextFileInfoObj::Create(info) != S_OK) return "no TextFileInfo";
        info->SetSeparator(",");
        const std::string path = folder.Path("export.csv");
        const HRESULT saved = s.obj->SaveAsTextFile(path, info.get());
        doc.stream.Close();
        if (saved != S_OK)
            return "SaveAsTextFile answered " + std::to_string(saved) + " with error " +
                   std::to_string(doc.error);
        HRESULT hr = S_OK;
        auto back = Reopen(path, kFileText, CBstr(), hr, info.get());
        if (hr != S_OK)
            return "our text file does not open (error " + std::to_string(back->Document().error) +
                   ")";
        back->Document().stream.Close();
        if (!back->Document().tree.active) return "our text file opens without a worksheet";
        SheetCells a = Typed(s, Cells(*sheet, false));
        const SheetCells b = Cells(*back->Document().tree.active, false);
        // Numbers go as their format shows them, as the peers write them by default: a
        // number comes back as its shown text reads.
        for (auto& [at, text] : a) {
            auto theirs = b.find(at);
            if (theirs == b.end() || theirs->second == text) continue;
            // A date or time goes as its format shows it: a date under a date-time format
            // comes back with its time of day, the same moment.
            IsoDateTime ours, read;
            const bool dated = text[0] == 't' && theirs->second[0] == 't' &&
                               ParseIsoDateTime(ours, std::string_view(text).substr(1)) &&
                               ParseIsoDateTime(read, std::string_view(theirs->second).substr(1));
            if (dated && ours.hasDate == read.hasDate &&
                DateTimeToSeconds(ours) == DateTimeToSeconds(read) &&
                ours.millisecond == read.millisecond) {
                ++sameMoment;
                text = theirs->second;
                continue;
            }
            if (text[0] != 'n' && !dated) continue;
            std::string shown = Shown(doc, *sheet, at.second, at.first);
            // A fraction's blank zero whole part reads as 0 (" 1/8").
            if (!shown.empty() && shown[0] == ' ' && shown.find('/') != std::string::npos)
                shown = "0" + shown;
            StandardFormat format;
            CellBuffer record;
            if (!shown.empty() &&
                ParseCellInput(s.Ctx(), shown, format, at.first, at.second, record) ==
                    CellInput::kStored &&
                CellText(record.bytes, false) == theirs->second) {
                ++asShown;
                text = theirs->second;
            }
        }
        // The reader takes control characters as blanks; quoted tabs and line breaks stay.
        for (auto& [at, text] : a)
            if (text[0] == 't')
                for (char& c : text)
                    if (static_cast<unsigned char>(c) < 32 && c != '\t' && c != '\r' && c != '\n')
                        c = ' ', ++blanked;
        if (std::string apart = FirstCellApart(a, b); !apart.empty()) return "text file: " + apart;
        // Formulas read back are computed, so that one both programs refuse is seen so.
        if (peerDir && keep) back->UpdateWorkbook();
        KeepForPeer(path, ".csv", back->Document());
        return {};
    }

    // A text file has no types: a text comes back as typing it reads it (007 a number, =x a
    // formula), as the peers read it. Each such text is what typing it gives.
    SheetCells Typed(State& s, SheetCells cells) {
        for (auto& [at, text] : cells) {
            if (text[0] != 't' || text.size() < 2 || text[1] == ' ') continue;
            StandardFormat format;
            CellBuffer record;
            if (ParseCellInput(s.Ctx(), std::string_view(text).substr(1), format, at.first,
                               at.second, record) != CellInput::kStored ||
                cell::IsText(record.bytes))
                continue;
            ++retyped;
            if (cell::IsFormula(record.bytes)) {
                // Its result, whatever it is: the formula is read back and computed.
                text = "*";
                continue;
            }
            text = CellText(record.bytes, false);
        }
        return cells;
    }

    // A cell's value as it is shown, in its number format.
    static std::string Shown(CWorkbook& book, const CWorksheet& sheet, uint16_t column,
                             uint32_t row) {
        return autotest::ShownText(book, sheet, row, column);
    }

    // xBase tables in each form: the active worksheet's values below its first row, the field
    // names, as the window saves them (a field list from the worksheet).
    std::string Tables(State& s) {
        CWorkbook& doc = s.Doc();
        CWorksheet* sheet = doc.tree.active;
        if (!sheet) return {};
        for (uint8_t format = kFileDBase3; format <= kFileClipper; ++format) {
            const std::string path = folder.Path("export" + std::to_string(format) + ".dbf");
            const bool roundingNamed =
                FormLossText(doc, format).find("rounded") != std::string::npos;
            const bool saved = SaveXBaseFile(doc, *sheet, path, [&](CWorkbook& book) {
                return BuildXBaseFieldList(book, *sheet, book.xbase, format);
            });
            doc.stream.Close();
            if (!saved) {
                // A table the worksheet cannot give is refused with its reason.
                if (doc.error == kErrorNone) return "an xBase save failed without a reason";
                ++refusedTables;
                continue;
            }
            std::shared_ptr<CXBaseInfoObj> info;
            if (CXBaseInfoObj::Create(info) != S_OK) return "no XBaseInfo";
            HRESULT hr = S_OK;
            auto back = Reopen(path, format, CBstr(), hr, nullptr, info.get());
            if (hr != S_OK)
                return "our xBase table " + std::to_string(format) + " does not open (error " +
                       std::to_string(back->Document().error) + ")";
            back->Document().stream.Close();
            SheetCells a = Cells(*sheet, false), b = Cells(*back->Document().tree.active, false);
            std::erase_if(a, [](const auto& c) { return c.first.first == 0; });
            std::erase_if(b, [](const auto& c) { return c.first.first == 0; });
            // A field has one type: a number or an error value in a Character field comes
            // back as the text it was written as.
            for (auto& [at, text] : b) {
                auto ours = a.find(at);
                if (text[0] != 't' || ours == a.end() || ours->second[0] == 't') continue;
                if (text.substr(1) == ours->second.substr(1) ||
                    text.substr(1) == Shown(doc, *sheet, at.second, at.first)) {
                    ++untyped;
                    text = ours->second;
                }
            }
            // A number field is 18 or 20 characters wide: beside a large whole part the last
            // digits of a fraction go, and the loss is named before the save.
            for (auto& [at, text] : b) {
                auto ours = a.find(at);
                if (text[0] != 'n' || ours == a.end() || ours->second[0] != 'n') continue;
                const double x = std::strtod(ours->second.c_str() + 1, nullptr),
                             y = std::strtod(text.c_str() + 1, nullptr);
                if (x != y && roundingNamed) {
                    ++rounded;
                    text = ours->second;
                }
            }
            // A Character field is filled with blanks: a text's own blanks at its end go.
            for (auto& [at, text] : a) {
                auto theirs = b.find(at);
                if (text[0] != 't' || text.back() != ' ' || theirs == b.end()) continue;
                std::string trimmed = text;
                while (trimmed.size() > 1 && trimmed.back() == ' ') trimmed.pop_back();
                if (theirs->second == trimmed) {
                    ++trimmedBlanks;
                    text = trimmed;
                }
            }
            if (std::string apart = FirstCellApart(a, b); !apart.empty())
                return "xBase " + std::to_string(format) + ": " + apart;
            if (format == kFileDBase4) KeepForPeer(path, ".dbf", back->Document());
        }
        return {};
    }

    // A block copied and pasted back onto itself, formats with it, changes no record; its
    // text, pasted back, gives the values typing them gives.
    std::string CopyBack(State& s) {
        CWorkbook& doc = s.Doc();
        CWorksheet* sheet = doc.tree.active;
        if (!sheet) return {};
        Generator g(seed * 7919u + 1);
        const CellRange block = g.Range(false);
        // A client's formulas wait for its update; the paste computes the worksheet.
        s.obj->UpdateWorkbook();
        // Compared as the XML form writes it: cells, formats, runs and styles, without the
        // formulas' recalculation marks, which a paste sets.
        const std::string before = XmlOf(doc);
        RangeDescriptor range;
        MakeRangeDescriptor(block, &range);
        if (!SnapshotRangeToUndo(doc, *sheet, range, s.copies, s.copies.current, true, true))
            return "the copy of " + RangeName(block) + " failed with " + std::to_string(doc.error);
        const CommandResult pasted =
            PasteEntryCommand(doc, s.Selection(block), s.copies, s.copies.current, true);
        if (pasted != CommandResult::kDone)
            return "the paste back of " + RangeName(block) + " failed with " +
                   std::to_string(doc.error);
        if (const std::string after = XmlOf(doc); after != before)
            return "copy and paste back of " + RangeName(block) + " changed" +
                   reloadcheck::FirstDifference(before, after);
        SheetCells values = Cells(*sheet, false);
        std::erase_if(values, [&](const auto& c) {
            return !RangeContains(block, c.first.second, c.first.first);
        });
        std::string text;
        WriteRangeText(sheet->cells, block, text);
        if (PasteTextCommand(doc, s.Ctx(), s.Selection(block), text) == CommandResult::kFailed)
            return "the text paste back of " + RangeName(block) + " failed with " +
                   std::to_string(doc.error);
        SheetCells back = Cells(*sheet, false);
        std::erase_if(back, [&](const auto& c) {
            return !RangeContains(block, c.first.second, c.first.first);
        });
        if (std::string apart = FirstCellApart(Typed(s, values), back); !apart.empty())
            return "clipboard text pasted back: " + apart;
        return {};
    }

    std::string Run(State& s) {
        for (auto step : {&Checker::CopyBack, &Checker::Native, &Checker::Spreadsheet,
                          &Checker::Text, &Checker::Tables})
            if (std::string fault = (this->*step)(s); !fault.empty()) return fault;
        return {};
    }
};

// What a run did: operations by kind and the listed differences of the forms.
struct Totals {
    uint64_t ops[kOpKinds] = {};
    uint64_t retyped = 0, refusedTables = 0, untyped = 0, trimmedBlanks = 0, rounded = 0,
             blanked = 0, asShown = 0, sameMoment = 0, controlsLeftOut = 0, errorsAsNA = 0,
             folderFormulas = 0, formatsCompared = 0;
};

// Builds the state of `ops` and checks it; the fault, or empty.
std::string RunSequence(const std::vector<Op>& ops, uint32_t seed, tempfiles::TempFolder& folder,
                        const char* peerDir, bool keep, Totals* totals = nullptr) {
    State s;
    if (CWorkbookObj::Create(s.obj) != S_OK || s.obj->NewDocument() != S_OK) return "no document";
    s.Doc().SetUndoLevel(50);
    s.copies.maximum = 10;
    for (const Op& op : ops) Apply(s, op);
    Checker checker{folder, peerDir, seed, keep};
    std::string fault = checker.Run(s);
    if (totals) {
        for (const Op& op : ops) ++totals->ops[op.kind];
        totals->retyped += checker.retyped;
        totals->refusedTables += checker.refusedTables;
        totals->untyped += checker.untyped;
        totals->trimmedBlanks += checker.trimmedBlanks;
        totals->rounded += checker.rounded;
        totals->blanked += checker.blanked;
        totals->asShown += checker.asShown;
        totals->sameMoment += checker.sameMoment;
        totals->controlsLeftOut += checker.controlsLeftOut;
        totals->errorsAsNA += checker.errorsAsNA;
        totals->folderFormulas += checker.folderFormulas;
        totals->formatsCompared += checker.formatsCompared;
    }
    return fault;
}

// Delta debugging: the shortest list of operations (by removing chunks, then single ones)
// that still fails.
// The kind of a fault: its words before the first cell or colon, so that shrinking keeps
// the fault it started from.
std::string FaultKind(const std::string& fault) {
    return fault.substr(0, fault.find_first_of(":$("));
}

std::vector<Op> Shrink(std::vector<Op> ops, uint32_t seed, tempfiles::TempFolder& folder,
                       const std::string& kind) {
    for (size_t chunk = std::max<size_t>(ops.size() / 2, 1);;
         chunk = std::max<size_t>(chunk / 2, 1)) {
        bool removed = false;
        for (size_t at = 0; at < ops.size();) {
            std::vector<Op> fewer = ops;
            fewer.erase(fewer.begin() + at, fewer.begin() + std::min(ops.size(), at + chunk));
            if (FaultKind(RunSequence(fewer, seed, folder, nullptr, false)) == kind) {
                ops = std::move(fewer);
                removed = true;
            } else {
                at += chunk;
            }
        }
        if (chunk == 1 && !removed) return ops;
    }
}

uint32_t EnvNumber(const char* name, uint32_t fallback) {
    const char* v = std::getenv(name);
    return v && *v ? uint32_t(std::strtoul(v, nullptr, 10)) : fallback;
}

class GeneratedStates : public autotest::AutomationTest {};

TEST_F(GeneratedStates, EveryStateSavesReopensAndTravelsWhole) {
    const uint32_t sequences = EnvNumber("VORLANE_STATES_SEQUENCES", 200);
    const uint32_t first = EnvNumber("VORLANE_STATES_SEED", 1);
    const char* peerDir = std::getenv("VORLANE_STATES_PEER_DIR");
    if (peerDir && !*peerDir) peerDir = nullptr;
    uint32_t failures = 0;
    Totals totals;
    for (uint32_t seed = first; seed < first + sequences && failures < 3; ++seed) {
        const std::vector<Op> ops = Sequence(seed, 8 + seed % 24);
        const std::string fault = RunSequence(ops, seed, folder, peerDir, seed % 10 == 0, &totals);
        if (fault.empty()) continue;
        ++failures;
        const std::vector<Op> repro = Shrink(ops, seed, folder, FaultKind(fault));
        std::string list;
        for (const Op& op : repro) list += "\n  " + Describe(op);
        ADD_FAILURE() << "seed " << seed << ": " << fault << "\nshrunk to "
                      << RunSequence(repro, seed, folder, nullptr, false) << list;
    }
    // Every kind of operation was made, and the figures of the run are printed.
    std::string figures;
    for (int k = 0; k < kOpKinds; ++k) {
        if (sequences >= 100) {
            EXPECT_GT(totals.ops[k], 0u) << kOpNames[k] << " was never drawn";
        }
        figures += std::string(kOpNames[k]) + " " + std::to_string(totals.ops[k]) + ", ";
    }
    std::printf(
        "%u sequences from seed %u; operations: %s\nlisted differences: %llu texts "
        "read back as typed (text file), %llu numbers or errors as Character texts, "
        "%llu trailing blanks, %llu numbers rounded to the field, %llu tables refused, %llu "
        "control characters read as blanks (text file), %llu numbers written as shown (text "
        "file), %llu dates read back as the same moment in other words (text file)\n",
        sequences, first, figures.c_str(), (unsigned long long)totals.retyped,
        (unsigned long long)totals.untyped, (unsigned long long)totals.trimmedBlanks,
        (unsigned long long)totals.rounded, (unsigned long long)totals.refusedTables,
        (unsigned long long)totals.blanked, (unsigned long long)totals.asShown,
        (unsigned long long)totals.sameMoment);
    std::printf("Excel 2003 XML: %llu cells' number formats compared; cells kept as the form "
                "keeps them: %llu texts or formulas without control characters, %llu error "
                "values as #N/A, %llu formulas naming a folder's worksheet\n",
                (unsigned long long)totals.formatsCompared,
                (unsigned long long)totals.controlsLeftOut, (unsigned long long)totals.errorsAsNA,
                (unsigned long long)totals.folderFormulas);
}

} // namespace
} // namespace vl
