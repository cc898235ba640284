#include "formula/literals.h"

#include "formula/textscan.h"
#include "platform/core/cp1252.h"

namespace vl {

namespace {

// The twelve error texts in code order, then the two boolean words.
constexpr std::string_view kLiteralTexts[] = {
    "#DIV/0!",  "#NAME?", "#NULL!", "#N/A!",  "#NUM!",    "#REF!", "#VALUE!",
    "#MEMORY!", "#FILL!", "#CIRC!", "#IMPL!", "#SYNTAX!", "FALSE", "TRUE",
};
constexpr int kErrorCount = 12;

bool StartsWithNoCase(std::string_view text, std::string_view word) {
    return text.size() >= word.size() && CompareNoCaseN(text, word, word.size()) == 0;
}

} // namespace

int CompareNoCaseN(std::string_view a, std::string_view b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(CharUpper1252(At(a, i)));
        auto cb = static_cast<unsigned char>(CharUpper1252(At(b, i)));
        if (ca != cb) return ca > cb ? 1 : -1;
    }
    return 0;
}

FormulaError ErrorCodeFromText(std::string_view text) {
    for (int i = 0; i < kErrorCount; ++i) {
        std::string_view e = kLiteralTexts[i];
        if (text.size() == e.size() && CompareNoCaseN(text, e, e.size()) == 0)
            return FormulaError((i + 1) * 16);
    }
    return 0;
}

std::string_view GetFormulaErrorText(uint8_t code) {
    int index = (code >> 4) - 1;
    if (index < 0 || index >= kErrorCount) return {};
    return kLiteralTexts[index];
}

FormulaError ScanErrorLiteral(std::string_view text, FormulaError& code, std::size_t& end) {
    code = 0;
    end = 0;
    if (At(text, 0) != '#') return 0;
    for (int i = 0; i < kErrorCount; ++i) {
        if (StartsWithNoCase(text, kLiteralTexts[i])) {
            code = FormulaError((i + 1) * 16);
            end = kLiteralTexts[i].size();
            return code;
        }
    }
    return 0;
}

bool ScanBooleanLiteral(std::string_view text, double& number, std::size_t& end) {
    number = 0;
    end = 0;
    for (int i = 0; i < 2; ++i) {
        std::string_view word = kLiteralTexts[kErrorCount + i];
        if (StartsWithNoCase(text, word)) {
            number = i;
            end = word.size();
            return true;
        }
    }
    return false;
}

} // namespace vl
