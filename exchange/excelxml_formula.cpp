// Worksheet names in formulas of the spreadsheet file: the program quotes a name with double
// quotes ("Other Sheet"!R1C1), the file's readers take single quotes ('Other Sheet'!R1C1),
// where a string in double quotes is a text value.
#include "exchange/excelxmlparts.h"
#include "formula/literals.h"
#include "platform/core/cp1252.h"

namespace vl {

namespace {

// The quoted run that starts at text[i] (a quote), its doubled quotes made single; `end` is
// the position after the closing quote (the text's end when none closes it).
std::string Unquote(std::string_view text, std::size_t i, std::size_t& end) {
    const char quote = text[i];
    std::string inner;
    for (std::size_t j = i + 1; j < text.size(); ++j) {
        if (text[j] != quote) {
            inner += text[j];
            continue;
        }
        if (j + 1 < text.size() && text[j + 1] == quote) {
            inner += quote;
            ++j;
            continue;
        }
        end = j + 1;
        return inner;
    }
    end = text.size();
    return inner;
}

void Quote(std::string& out, std::string_view inner, char quote) {
    out += quote;
    for (const char c : inner) {
        out += c;
        if (c == quote) out += quote;
    }
    out += quote;
}

// The tree path, in upper case, that the qualifier `name` of a formula in `names.folder`
// stands for; empty for another workbook's.
std::string QualifierPath(const std::string& name, const ExcelSheetNames* names) {
    if (!names || name.empty() || name.front() == '[') return {};
    std::string path = name.front() == '\\' ? name : names->folder + name;
    UpperInPlace1252(path);
    return path;
}

// The worksheet name the file gives the qualifier `name`, or the name as written when it
// names no worksheet of the tree (another workbook).
std::string SheetName(const std::string& name, const ExcelSheetNames* names) {
    const std::string path = QualifierPath(name, names);
    if (path.empty()) return name;
    const auto found = names->byPath.find(path);
    return found == names->byPath.end() ? name : found->second;
}

bool IsFolder(const std::string& name, const ExcelSheetNames* names) {
    const std::string path = QualifierPath(name, names);
    return !path.empty() && names->folders.count(path) != 0;
}

bool IsReferenceChar(char c) {
    return IsCharAlpha1252(c) || IsAsciiDigit(c) || c == '$' || c == '_' || c == '.';
}

// The end of the reference, range or name that a qualifier at `i` qualifies ("R1C1:R[2]C3").
std::size_t SkipQualified(std::string_view text, std::size_t i) {
    int depth = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '[')
            ++depth;
        else if (c == ']' && depth > 0)
            --depth;
        else if (depth > 0 ? !(IsAsciiDigit(c) || c == '-' || c == '+')
                           : !(IsReferenceChar(c) ||
                               (c == ':' && i + 1 < text.size() &&
                                (IsReferenceChar(text[i + 1]) || text[i + 1] == '['))))
            break;
    }
    return i;
}

constexpr std::string_view kFileNotAvailable = "#N/A";

// "#N/A" as the file writes it, not followed by the '!' of the program's own spelling.
bool IsFileNotAvailable(std::string_view text) {
    const std::size_t n = kFileNotAvailable.size();
    return text.size() >= n && CompareNoCaseN(text, kFileNotAvailable, n) == 0 &&
           (text.size() == n || text[n] != '!');
}

// A character of a worksheet name written bare before its "!".
bool IsBareNameChar(char c) {
    return IsCharAlpha1252(c) || IsAsciiDigit(c) || c == '_' || c == '.' || c == '\\' || c == '$' ||
           c == '#';
}

// Rewrites every run quoted with `from` that names a worksheet (a '!' follows it) to one
// quoted with `to`; runs in the other quote are copied whole. With `names` (the export), a
// worksheet named bare or by its path is written by its name in the file, and a range over a
// folder, which the file cannot hold, becomes #REF! (`lost` then says so).
std::string Requote(std::string_view formula, char from, char to, const ExcelSheetNames* names,
                    bool* lost) {
    std::string out;
    out.reserve(formula.size());
    std::size_t bare = 0; // where the bare name that ends at `out`'s end starts
    const auto dropFolder = [&](std::size_t at) {
        out += "#REF!";
        if (lost) *lost = true;
        bare = out.size();
        return SkipQualified(formula, at + 1);
    };
    for (std::size_t i = 0; i < formula.size();) {
        const char c = formula[i];
        FormulaError code = 0;
        std::size_t length = 0;
        // An error value ("#N/A!") is no worksheet name before a '!'. The file and its
        // readers spell "not available" without the program's '!'.
        if (c == '#' && ScanErrorLiteral(formula.substr(i), code, length)) {
            out.append(code == kErrNA && to == '\'' ? kFileNotAvailable
                                                    : formula.substr(i, length));
            i += length;
            bare = out.size();
            continue;
        }
        if (c == '#' && to == '"' && IsFileNotAvailable(formula.substr(i))) {
            out += GetFormulaErrorText(kErrNA);
            i += kFileNotAvailable.size();
            bare = out.size();
            continue;
        }
        if (c == '!' && names && bare < out.size()) {
            const std::string name = out.substr(bare);
            out.resize(bare);
            if (IsFolder(name, names)) {
                i = dropFolder(i);
                continue;
            }
            Quote(out, SheetName(name, names), to);
        }
        if (c != '"' && c != '\'') {
            out += c;
            ++i;
            if (!IsBareNameChar(c)) bare = out.size();
            continue;
        }
        std::size_t end = 0;
        const std::string inner = Unquote(formula, i, end);
        if (c == from && end < formula.size() && formula[end] == '!' && IsFolder(inner, names)) {
            i = dropFolder(end);
            continue;
        }
        if (c == from && end < formula.size() && formula[end] == '!')
            Quote(out, SheetName(inner, names), to);
        else
            out.append(formula.substr(i, end - i));
        i = end;
        bare = out.size();
    }
    return out;
}

} // namespace

std::string ExcelFormulaText(std::string_view formula, const ExcelSheetNames* names, bool* lost) {
    return Requote(formula, '"', '\'', names, lost);
}

std::string FormulaFromExcel(std::string_view formula) {
    return Requote(formula, '\'', '"', nullptr, nullptr);
}

std::string ExcelXmlSafeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 || c == '\t' || c == '\n' || c == '\r') out += c;
    }
    return out;
}

} // namespace vl
