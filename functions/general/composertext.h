#pragma once
// The texts of the formula composer: the prototype and the composed call of a catalogue
// function, its argument values, the references it takes from a selection, and the
// history of inserted formulas that the settings profile keeps.

#include "core/settings.h"
#include "functions/general/catalogue.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

constexpr int kMaxComposerArguments = 45;
// Composed texts, and the argument values together, stay within this many characters.
constexpr std::size_t kMaxComposerText = 1024;

struct ComposedText {
    std::string text;
    std::size_t start = 0; // the current argument's span
    std::size_t end = 0;
};

// The name of fixed argument `i` of the row.
std::string_view ArgumentName(const FunctionInfo& row, int i);
// "=name(x, [y], v1, v2)": the fixed names, then v1, v2, ... for slots past them.
ComposedText BuildPrototypeText(const FunctionInfo& row, int slots, int current);
// "=name(a, b)" from the values of the shown slots.
ComposedText BuildFormulaText(const FunctionInfo& row, const std::vector<std::string>& values,
                              int slots, int current);
// The slots a function starts with: from its category, and when picked from the list.
int CategorySlots(const FunctionInfo& row);
int ListSlots(const FunctionInfo& row);

// Replaces value `index` (growing the list as needed); values after it are kept only
// while all of them stay within kMaxComposerText characters.
void SetArgumentValue(std::vector<std::string>& values, int index, std::string_view text);

// A history entry names a catalogue row, at most 45 arguments, and texts that fit its area.
bool UsableHistoryEntry(const ComposerFormula& entry);
std::vector<std::string> UnpackArguments(const ComposerFormula& entry);
ComposerFormula PackHistoryEntry(uint16_t function, const std::vector<std::string>& values,
                                 int slots);
// The composed formula of an entry; empty for an unusable one.
std::string HistoryText(const ComposerFormula& entry);
// The recent-formula menu's item of an entry: "1.\t=Name(" and the argument texts joined by
// ", ", each only while the whole stays within kMaxComposerText characters.
std::string HistoryMenuText(const ComposerFormula& entry, int number);
// Puts the entry and its inserted text in front of the history and its texts (kept side by
// side): an entry whose whole text equals `text` without case is moved, else the oldest
// goes when 100 are kept. Returns the position removed, -1 for none.
int AddHistoryEntry(std::vector<ComposerFormula>& history, std::vector<std::string>& texts,
                    ComposerFormula entry, std::string_view text);

// The reference text an argument takes from a selection of columns left..right and rows
// top..bottom: whole columns or rows when the selection spans the grid, one corner for
// one cell unless `rangeArgument`, "$" signs unless `relative`; R1C1 relative to the base
// cell when not `a1`.
std::string SelectionReference(uint16_t left, uint32_t top, uint16_t right, uint32_t bottom,
                               bool a1, bool relative, bool rangeArgument, uint16_t baseColumn,
                               uint32_t baseRow);

} // namespace vl
