#include "functions/general/composertext.h"

#include "formula/cellref.h"
#include "platform/core/cp1252.h"

#include <algorithm>
#include <cstdio>

namespace vl {

namespace {

constexpr uint16_t kLastColumn = 2046;
constexpr uint32_t kLastRow = 2097151;

// Appends a piece only while the text stays within the bound; the piece left out is gone.
bool Append(std::string& text, std::string_view piece) {
    if (text.size() + piece.size() > kMaxComposerText) return false;
    text += piece;
    return true;
}

ComposedText Build(const FunctionInfo& row, int slots, int current,
                   std::string_view (*piece)(const FunctionInfo&, int, const void*),
                   const void* data) {
    ComposedText out;
    Append(out.text, "=");
    Append(out.text, row.name ? row.name : "");
    Append(out.text, "(");
    for (int i = 0; i < slots; ++i) {
        if (i > 0) Append(out.text, ", ");
        const std::size_t start = out.text.size();
        Append(out.text, piece(row, i, data));
        if (i == current) {
            out.start = start;
            out.end = out.text.size();
        }
    }
    Append(out.text, ")");
    if (current >= slots) out.start = out.end = out.text.size() - (out.text.back() == ')');
    return out;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (CharLower1252(a[i]) != CharLower1252(b[i])) return false;
    return true;
}

} // namespace

std::string_view ArgumentName(const FunctionInfo& row, int i) {
    const char* p = row.argumentNames;
    if (!p || i < 0 || i >= FixedArgumentCount(row)) return {};
    for (int k = 0; k < i; ++k) p += std::string_view(p).size() + 1;
    return p;
}

ComposedText BuildPrototypeText(const FunctionInfo& row, int slots, int current) {
    return Build(
        row, slots, current,
        [](const FunctionInfo& r, int i, const void*) -> std::string_view {
            const int fixed = FixedArgumentCount(r);
            if (i < fixed) return ArgumentName(r, i);
            static thread_local char name[16];
            std::snprintf(name, sizeof name, "v%d", i - fixed + 1);
            return name;
        },
        nullptr);
}

ComposedText BuildFormulaText(const FunctionInfo& row, const std::vector<std::string>& values,
                              int slots, int current) {
    return Build(
        row, slots, current,
        [](const FunctionInfo&, int i, const void* data) -> std::string_view {
            const auto& v = *static_cast<const std::vector<std::string>*>(data);
            return std::size_t(i) < v.size() ? std::string_view(v[std::size_t(i)])
                                             : std::string_view();
        },
        &values);
}

int CategorySlots(const FunctionInfo& row) {
    return FixedArgumentCount(row) + (TakesArgumentList(row) ? 1 : 0);
}

int ListSlots(const FunctionInfo& row) {
    return std::max<int>(FixedArgumentCount(row), TakesArgumentList(row) ? 1 : 0);
}

void SetArgumentValue(std::vector<std::string>& values, int index, std::string_view text) {
    if (index < 0 || index >= kMaxComposerArguments) return;
    if (values.size() <= std::size_t(index)) values.resize(std::size_t(index) + 1);
    values[std::size_t(index)] = std::string(text);
    std::size_t total = 0;
    for (std::string& value : values) {
        if (total + value.size() > kMaxComposerText) value.clear();
        total += value.size();
    }
}

bool UsableHistoryEntry(const ComposerFormula& entry) {
    if (entry.index >= kCatalogueRows || entry.argumentCount > kMaxComposerArguments ||
        entry.arguments.size() > kComposerArgumentArea)
        return false;
    // Each argument is ended by a NUL inside the area.
    return std::size_t(std::count(entry.arguments.begin(), entry.arguments.end(), '\0')) >=
           entry.argumentCount;
}

std::vector<std::string> UnpackArguments(const ComposerFormula& entry) {
    std::vector<std::string> values;
    std::size_t at = 0;
    for (int i = 0; i < entry.argumentCount && at <= entry.arguments.size(); ++i) {
        const std::size_t end = std::min(entry.arguments.find('\0', at), entry.arguments.size());
        values.push_back(entry.arguments.substr(at, end - at));
        at = end + 1;
    }
    return values;
}

ComposerFormula PackHistoryEntry(uint16_t function, const std::vector<std::string>& values,
                                 int slots) {
    ComposerFormula entry;
    entry.index = function;
    entry.argumentCount = uint8_t(std::clamp(slots, 0, kMaxComposerArguments));
    for (int i = 0; i < entry.argumentCount; ++i) {
        const std::string& v =
            std::size_t(i) < values.size() ? values[std::size_t(i)] : std::string();
        if (entry.arguments.size() + v.size() + 1 > kComposerArgumentArea) {
            entry.argumentCount = uint8_t(i);
            break;
        }
        entry.arguments += v;
        entry.arguments += '\0';
    }
    return entry;
}

std::string HistoryText(const ComposerFormula& entry) {
    if (!UsableHistoryEntry(entry)) return {};
    const FunctionInfo& row = FunctionCatalogue()[entry.index];
    return BuildFormulaText(row, UnpackArguments(entry), entry.argumentCount, -1).text;
}

std::string HistoryMenuText(const ComposerFormula& entry, int number) {
    std::string text = std::to_string(number) + ".\t=";
    if (entry.index < kCatalogueRows) text += FunctionCatalogue()[entry.index].name;
    text += '(';
    const std::vector<std::string> values = UnpackArguments(entry);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string part = (i ? ", " : "") + values[i];
        if (text.size() + part.size() > kMaxComposerText) break;
        text += part;
    }
    return text;
}

int AddHistoryEntry(std::vector<ComposerFormula>& history, std::vector<std::string>& texts,
                    ComposerFormula entry, std::string_view text) {
    texts.resize(history.size());
    int removed = -1;
    // Whole texts: a prefix would drop "=sum(A1)+1" for "=sum(A1)".
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (EqualNoCase(texts[i], text)) {
            removed = int(i);
            break;
        }
    }
    if (removed < 0 && history.size() >= std::size_t(kMaxComposerFormulas))
        removed = int(history.size()) - 1;
    if (removed >= 0) {
        history.erase(history.begin() + removed);
        texts.erase(texts.begin() + removed);
    }
    history.insert(history.begin(), std::move(entry));
    texts.insert(texts.begin(), std::string(text));
    return removed;
}

std::string SelectionReference(uint16_t left, uint32_t top, uint16_t right, uint32_t bottom,
                               bool a1, bool relative, bool rangeArgument, uint16_t baseColumn,
                               uint32_t baseRow) {
    uint8_t flags = kRefCell;
    if (top == 0 && bottom == kLastRow)
        flags = kRefColumn;
    else if (left == 0 && right == kLastColumn)
        flags = kRefRow;
    const uint8_t parts = flags;
    // Relative parts only in A1 addressing with the switch on; R1C1 texts are absolute.
    if (a1 && relative)
        flags |=
            (parts & kRefRow ? kRefRowRelative : 0) | (parts & kRefColumn ? kRefColumnRelative : 0);
    auto write = [&](std::string& out, uint16_t column, uint32_t row) {
        CellRef ref{column, row, flags};
        if (a1)
            RefToA1Text(out, ref);
        else
            FormatReference(out, ref, baseColumn, baseRow);
    };
    std::string out;
    write(out, left, top);
    const bool single = parts == kRefColumn ? left == right
                        : parts == kRefRow  ? top == bottom
                                            : left == right && top == bottom;
    if (single && !(rangeArgument && parts == kRefCell)) return out;
    out += ':';
    write(out, right, bottom);
    return out;
}

} // namespace vl
