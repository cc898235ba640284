// Text files compared with the peer, cell by cell: seeded files of every shape read by our
// import with the settings the peer read them with, and our exports of seeded workbooks read
// back by our import and by the peer (tests/data/exchange/text_peer.txt, written by
// tools/make-text-peer.py). A cell that differs must be on the list of known differences
// (text_peer_listed.txt) with our answer and a reason whose model holds for it; anything
// unlisted, or listed with another answer of ours, fails.
#include "exchange/textfile.h"
#include "formula/cellinput.h"
#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "model/cellrecord.h"
#include "model/cellstyle.h"
#include "model/formatstore.h"
#include "model/styles.h"
#include "platform/core/cp1252.h"
#include "tests/common/tsvtext.h"
#include "tests/exchange/exchangetestutil.h"
#include "tests/exchange/textpeermodels.h"

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>

namespace vl {
namespace {

using namespace exchangetest;
using namespace textpeer;
using tsvtext::Split;
using tsvtext::Unescape;

// This list writes control characters as \xNN, so that its lines show them.
std::string Escape(const std::string& text) {
    return tsvtext::Escape(text, tsvtext::Controls::Hex);
}

constexpr const char* kCache = VORLANE_TEST_DATA "/exchange/text_peer.txt";
constexpr const char* kListed = VORLANE_TEST_DATA "/exchange/text_peer_listed.txt";

struct PeerCase {
    char kind = 'I'; // I an import file, X an exported workbook
    int id = 0;
    TextFileSettings settings;
    std::string bytes;                                      // I: the file
    std::vector<std::pair<std::string, std::string>> typed; // X: A1, typed text (UTF-8)
    std::string hash;                                       // X: of the export the peer read
    Cells peer;
};

TextFileSettings ReadSettings(const std::vector<std::string>& f) {
    TextFileSettings s;
    s.separator = uint8_t(std::stoi(f[2]));
    s.quotingSymbol = uint8_t(std::stoi(f[3]));
    s.useFixedColWidths = uint8_t(std::stoi(f[4]));
    if (f[5] != "-") {
        int column = 0;
        for (const std::string& w : Split(f[5], ','))
            s.columnWidths[column++] = uint16_t(std::stoi(w));
    }
    s.encoding = uint8_t(std::stoi(f[6]));
    s.conversion = uint8_t(std::stoi(f[7]));
    return s;
}

std::string FromHex(const std::string& hex) {
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += char(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

std::vector<PeerCase> ReadCache() {
    std::vector<PeerCase> cases;
    std::ifstream in(kCache);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> f = Split(line, '\t');
        if (f[0] == "I" || f[0] == "X") {
            PeerCase c;
            c.kind = f[0][0];
            c.id = std::stoi(f[1]);
            c.settings = ReadSettings(f);
            cases.push_back(std::move(c));
        } else if (cases.empty()) {
            continue;
        } else if (f[0] == "B") {
            cases.back().bytes = FromHex(f[1]);
        } else if (f[0] == "T") {
            cases.back().typed.emplace_back(f[1], Unescape(f[2]));
        } else if (f[0] == "H") {
            cases.back().hash = f[1];
        } else if (f[0] == "P" && f.size() >= 4) {
            cases.back().peer[f[1]] = Answer{f[2][0], Unescape(f[3])};
        }
    }
    return cases;
}

std::string Fnv(const std::string& bytes) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (const char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

std::string ColumnName(uint16_t column) {
    std::string name;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        name.insert(name.begin(), char('A' + (c - 1) % 26));
    return name;
}

bool ParseA1(const std::string& a1, uint16_t& column, uint32_t& row) {
    std::size_t i = 0;
    int c = 0;
    for (; i < a1.size() && a1[i] >= 'A' && a1[i] <= 'Z'; ++i) c = c * 26 + (a1[i] - 'A' + 1);
    if (i == 0 || i == a1.size()) return false;
    column = uint16_t(c - 1);
    row = uint32_t(std::stoul(a1.substr(i)) - 1);
    return true;
}

std::string NumberText(double v) {
    char buffer[40];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, r.ptr);
}

// Our cell in the peer's terms: a date cell (an ISO text under a date format) as its day,
// a time as its fraction of a day, a formula as its result.
Answer OurAnswer(const CWorkbook& book, const CWorksheet& sheet, const uint8_t* r) {
    CellCursor runs;
    const uint16_t style = StyleIndexAt(sheet.formats, cell::Row(r), cell::Column(r), runs);
    const StandardFormat& format = GetStyleRecord(book.styles, style).numberFormat;
    if (cell::Error(r)) {
        std::string name;
        FormatCellValue(r, format, name);
        return {'e', name};
    }
    if (cell::IsNumber(r)) return {'n', NumberText(cell::Number(r))};
    std::string_view text;
    if (cell::IsText(r)) {
        text = cell::Text(r);
    } else if (cell::ResultFlags(r) & kResultText) {
        text = cell::CachedText(r);
    } else {
        return {'n', NumberText(cell::CachedNumber(r))};
    }
    if (format.kind == STD_STYLE_DATE || format.kind == STD_STYLE_DATE_TIME)
        return {'d', std::string(text.substr(0, 10))};
    if (format.kind == STD_STYLE_TIME && text.size() >= 5) {
        const double h = std::atof(std::string(text.substr(0, 2)).c_str());
        const double m = std::atof(std::string(text.substr(3, 2)).c_str());
        const double s = text.size() >= 8 ? std::atof(std::string(text.substr(6)).c_str()) : 0;
        return {'n', NumberText((h * 3600 + m * 60 + s) / 86400)};
    }
    return {'t', Cp1252ToUtf8(text)};
}

Cells OurCells(const CWorkbook& book) {
    Cells cells;
    const CWorksheet& sheet = *book.tree.active;
    CellCursor cursor{kAdvance, sheet.cells.FirstPage(), 0};
    while (const uint8_t* r = NextCellRecord(cursor))
        cells[ColumnName(cell::Column(r)) + std::to_string(cell::Row(r) + 1)] =
            OurAnswer(book, sheet, r);
    return cells;
}

Cells ImportBytes(const TempFolder& dir, const std::string& bytes, const TextFileSettings& s) {
    const std::string path = dir.Path("peer.txt");
    WriteFile(path, bytes);
    auto book = OpenForImport(path);
    book->textFile = s;
    CEvalContext ctx;
    // The import's own recalculation, as the window and a client get it.
    EXPECT_TRUE(ImportTextFile(*book, ctx));
    return book->tree.active ? OurCells(*book) : Cells{};
}

// The workbook as typed: each text through typed input, its format kept in a style.
void TypeCell(CWorkbook& book, CEvalContext& ctx, uint16_t column, uint32_t row,
              const std::string& typed) {
    CWorksheet& sheet = *book.tree.active;
    StandardFormat shown;
    CellBuffer record;
    const std::string ansi = Utf8ToCp1252(typed);
    ASSERT_EQ(ParseCellInput(ctx, ansi, shown, row, column, record), CellInput::kStored) << typed;
    CellCursor cursor;
    ASSERT_TRUE(sheet.cells.PutCell(record.bytes, cursor));
    if (shown.kind == STD_STYLE_DEFAULT) return;
    StyleTables& t = book.styles;
    StyleRecord wanted = t.styles[0];
    wanted.numberFormat = shown;
    uint16_t index = 0;
    for (uint16_t i = 1; i < t.styleCount && index == 0; ++i)
        if (CompareStyleRecords(t.styles[i], wanted)) index = i;
    if (index == 0) {
        index = t.styleCount;
        t.styles[t.styleCount++] = wanted;
    }
    CellCursor runs;
    ASSERT_TRUE(PutFormatRun(sheet.formats, FormatRun{column, column, row, index}, runs));
}

// The cells a text file of the workbook's settings writes otherwise than they are, as the
// loss count names them to the user: a field longer than its fixed width (cut), a text with
// characters the OEM code page lacks ('?').
std::set<std::string> CellsWrittenOtherwise(const CWorkbook& book) {
    std::set<std::string> lossy;
    const TextFileSettings& s = book.textFile;
    const CWorksheet& sheet = *book.tree.active;
    CellCursor cursor{kAdvance, sheet.cells.FirstPage(), 0};
    CellCursor runs;
    while (const uint8_t* r = NextCellRecord(cursor)) {
        const uint16_t column = cell::Column(r);
        const uint16_t style = StyleIndexAt(sheet.formats, cell::Row(r), column, runs);
        std::string text;
        if (!TextFileCellText(r, GetStyleRecord(book.styles, style).numberFormat, text)) continue;
        const bool cut = s.useFixedColWidths && s.columnWidths[column] != 0 &&
                         text.size() > s.columnWidths[column];
        if (cut || (s.encoding == 3 && LacksOemCharacter(text)))
            lossy.insert(ColumnName(column) + std::to_string(cell::Row(r) + 1));
    }
    return lossy;
}

std::string ExportCase(const TempFolder& dir, const PeerCase& c, Cells* written = nullptr,
                       std::set<std::string>* lossy = nullptr) {
    auto book = CreateWorkbook();
    EXPECT_TRUE(NewWorkbook(*book));
    CEvalContext ctx;
    ctx.worksheetList = book->tree.first;
    ctx.currentCells = &book->tree.active->cells;
    for (const auto& [a1, typed] : c.typed) {
        uint16_t column = 0;
        uint32_t row = 0;
        EXPECT_TRUE(ParseA1(a1, column, row));
        TypeCell(*book, ctx, column, row, typed);
    }
    book->textFile = c.settings;
    CWorksheet& sheet = *book->tree.active;
    if (written) *written = OurCells(*book);
    if (lossy) *lossy = CellsWrittenOtherwise(*book);
    return SaveBytes(*book, dir.Path("out.txt"),
                     [&](CWorkbook& b) { return ExportTextFile(b, sheet); });
}

struct Listed {
    std::string reason;
    Answer ours;
};

std::map<std::string, Listed> ReadListed() {
    std::map<std::string, Listed> listed;
    std::ifstream in(kListed);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> f = Split(line, '\t');
        if (f.size() < 6) continue;
        listed[f[0] + f[1] + ' ' + f[2]] = Listed{f[3], Answer{f[4][0], Unescape(f[5])}};
    }
    return listed;
}

struct Tally {
    int files = 0, cells = 0, agreed = 0;
    std::map<std::string, int> byReason;
    std::vector<std::string> faults;
    std::set<std::string> differing; // the listed cells found differing
};

void Compare(const PeerCase& c, const Cells& ours, const std::map<std::string, Listed>& listed,
             Tally& tally) {
    CaseFacts facts{c.settings, &ours, 0};
    ++tally.files;
    Cells all = ours;
    for (const auto& [a1, answer] : c.peer) all.emplace(a1, Answer{});
    for (const auto& [a1, unused] : all) {
        ++tally.cells;
        const auto o = ours.find(a1);
        const auto p = c.peer.find(a1);
        const Answer mine = o == ours.end() ? Answer{'b', ""} : o->second;
        const Answer peer = p == c.peer.end() ? Answer{'b', ""} : p->second;
        const std::string key = std::string(1, c.kind) + std::to_string(c.id) + ' ' + a1;
        if (SameAnswer(mine, peer)) {
            ++tally.agreed;
            continue;
        }
        const std::string line = std::string(1, c.kind) + '\t' + std::to_string(c.id) + '\t' + a1;
        const auto l = listed.find(key);
        uint32_t row = 0;
        ParseA1(a1, facts.column, row);
        const std::string found = ReasonFor(mine, peer, facts);
        if (l == listed.end()) {
            tally.faults.push_back("unlisted: " + line + '\t' + (found.empty() ? "?" : found) +
                                   '\t' + mine.kind + '\t' + Escape(mine.value) + "\t(peer " +
                                   peer.kind + ' ' + Escape(peer.value) + ')');
            continue;
        }
        if (l->second.ours.kind != mine.kind || l->second.ours.value != mine.value) {
            tally.faults.push_back("our answer changed: " + line + " listed " +
                                   l->second.ours.kind + ' ' + Escape(l->second.ours.value) +
                                   ", now " + mine.kind + ' ' + Escape(mine.value));
            continue;
        }
        if (!ReasonHolds(l->second.reason, mine, peer, facts)) {
            tally.faults.push_back("the reason does not hold: " + line + ' ' + l->second.reason +
                                   " (ours " + mine.kind + ' ' + Escape(mine.value) + ", peer " +
                                   peer.kind + ' ' + Escape(peer.value) + ')');
            continue;
        }
        ++tally.byReason[l->second.reason];
        tally.differing.insert(key);
    }
}

// Every listed cell of the kind compared must still differ for its reason: one that agrees
// now (or is gone) is no known difference any more.
void CheckListedStillDiffer(char kind, const std::map<std::string, Listed>& listed, Tally& tally) {
    for (const auto& [key, entry] : listed)
        if (key[0] == kind && !tally.differing.count(key))
            tally.faults.push_back("listed but no longer differs: " + key + ' ' + entry.reason);
}

void Report(const char* what, const Tally& t) {
    std::ostringstream out;
    out << what << ": " << t.files << " files, " << t.cells << " cells, " << t.agreed << " agree";
    for (const auto& [reason, n] : t.byReason) out << "; " << n << " listed " << reason;
    std::cout << out.str() << '\n';
    for (const std::string& fault : t.faults) ADD_FAILURE() << fault;
}

TEST(TextPeer, FilesReadAsThePeerReadsThem) {
    if (std::getenv("VORLANE_TEXT_PEER_EXPORTS")) GTEST_SKIP();
    const std::vector<PeerCase> cases = ReadCache();
    const auto listed = ReadListed();
    TempFolder dir;
    Tally tally;
    for (const PeerCase& c : cases) {
        if (c.kind != 'I') continue;
        Compare(c, ImportBytes(dir, c.bytes, c.settings), listed, tally);
    }
    ASSERT_GE(tally.files, 300);
    CheckListedStillDiffer('I', listed, tally);
    Report("text files", tally);
}

TEST(TextPeer, ExportsReadBackAsThePeerReadsThem) {
    const char* dump = std::getenv("VORLANE_TEXT_PEER_EXPORTS");
    const std::vector<PeerCase> cases = ReadCache();
    const auto listed = ReadListed();
    TempFolder dir;
    Tally tally;
    for (const PeerCase& c : cases) {
        if (c.kind != 'X') continue;
        Cells written;
        std::set<std::string> lossy;
        const std::string bytes = ExportCase(dir, c, &written, &lossy);
        if (dump) {
            WriteFile(std::string(dump) + "/export" + std::to_string(c.id) + ".txt", bytes);
            continue;
        }
        // The peer read these very bytes; another export needs its reading again.
        EXPECT_EQ(Fnv(bytes), c.hash)
            << "export " << c.id << " changed: run tools/make-text-peer.py again";
        TextFileSettings readBack = c.settings;
        readBack.conversion = 1;
        const Cells back = ImportBytes(dir, bytes, readBack);
        Compare(c, back, listed, tally);
        // Our own reading of the file must give the workbook that was written, whatever the
        // peer makes of the bytes (a number a fixed width cut reads the same in both), but
        // for the cells the save's loss count names.
        for (const auto& [a1, answer] : written) {
            const auto b = back.find(a1);
            const Answer read = b == back.end() ? Answer{'b', ""} : b->second;
            if (!SameAnswer(read, answer) && !lossy.count(a1))
                ADD_FAILURE() << "export " << c.id << " " << a1 << " written " << answer.kind << ' '
                              << Escape(answer.value) << ", read back " << read.kind << ' '
                              << Escape(read.value);
        }
    }
    if (dump) return;
    ASSERT_GE(tally.files, 40);
    CheckListedStillDiffer('X', listed, tally);
    Report("exports read back", tally);
}

} // namespace
} // namespace vl
