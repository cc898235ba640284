#include "formula/cellinput.h"

#include "core/settings.h"
#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "formula/literals.h"
#include "formula/translate.h"
#include "values/dateinput.h"
#include "values/isodate.h"
#include "values/numberinput.h"

#include <cstring>
#include <string>

namespace vl {

namespace {

// A formula is stored only in the internal form: one that has none within the formula
// limit is refused rather than stored as typed, where its user separators and A1
// references would be read as something else.
CellInput MakeFormula(CEvalContext& ctx, std::string_view text, uint32_t row, uint16_t column,
                      CellBuffer& out) {
    out.size = 0;
    std::string formula(text);
    ctx.BeginFormula(column, row);
    if (!UserFormulaFormIsInternal() && !TranslateFormula(ctx, formula, column, row, true))
        return CellInput::kFormulaRefused;
    if (formula.size() > kMaxFormulaText) return CellInput::kFormulaRefused;
    FormulaHead head;
    head.arrayWidth = 1;
    head.arrayHeight = 1;
    head.resultFlags = kResultNumber;
    return MakeFormulaCell(out, column, row, head, formula) ? CellInput::kStored
                                                            : CellInput::kFormulaRefused;
}

// "TRUE" and "FALSE" in any case, as formulas read them.
bool ParseBoolean(std::string_view text, double& value) {
    for (const char* word : {"FALSE", "TRUE"}) {
        std::size_t n = std::strlen(word);
        if (text.size() == n && CompareNoCaseN(text, word, n) == 0) {
            value = word[0] == 'T' ? 1 : 0;
            return true;
        }
    }
    return false;
}

// A number in the cell's own currency, accounting or fraction format; true when it
// was one (the format stays as it is).
bool ParseInOwnFormat(std::string_view text, const StandardFormat& format, double& value) {
    using namespace fmtparam;
    const SeparatorSet& user = UserSeparators();
    uint8_t kind = 0;
    uint8_t params[kStandardFormatParams];
    switch (format.kind) {
    case STD_STYLE_FRACTION:
        return ParseNumberText(text, value, kind, params, user) &&
               (kind == STD_STYLE_FRACTION || kind == STD_STYLE_DEFAULT);
    case STD_STYLE_CURRENCY:
    case STD_STYLE_ACCOUNTING: {
        bool ok = ParseNumberText(text, value, kind, params, user);
        char symbol[16] = {};
        std::memcpy(symbol, format.params + kCurrencySymbol, 15);
        if (!ok && std::strcmp(symbol, user.currency) != 0) {
            SeparatorSet own = user;
            std::memcpy(own.currency, symbol, sizeof own.currency - 1);
            own.currency[sizeof own.currency - 1] = '\0';
            ok = ParseNumberText(text, value, kind, params, own);
        }
        bool accepted = kind == STD_STYLE_CURRENCY || kind == STD_STYLE_DEFAULT ||
                        kind == STD_STYLE_GENERAL ||
                        (format.kind == STD_STYLE_ACCOUNTING && kind == STD_STYLE_ACCOUNTING);
        return ok && accepted;
    }
    default:
        return false;
    }
}

// A date, time or elapsed time as ISO text; the format takes the style that matched.
bool ParseDateInput(std::string_view text, StandardFormat& format, uint32_t row, uint16_t column,
                    CellBuffer& out) {
    StandardFormat trial = format;
    IsoDateTime rec;
    IsoDuration elapsed;
    if (!ParseDateText(text, rec, trial.kind, trial.params, UserSeparators(), &elapsed))
        return false;
    std::string iso =
        (rec.hasDate || rec.hasTime) ? FormatIsoDateTime(rec) : FormatIsoDuration(elapsed);
    if (trial.kind != format.kind) {
        format.kind = trial.kind;
        std::memcpy(format.params, trial.params, kStandardFormatParams);
    }
    return MakeTextCell(out, column, row, iso);
}

} // namespace

CellInput ParseCellInput(CEvalContext& ctx, std::string_view text, StandardFormat& format,
                         uint32_t row, uint16_t column, CellBuffer& out) {
    if (text.empty()) {
        MakeTextCell(out, column, row, text);
        return CellInput::kEmpty;
    }
    auto stored = [](bool made) { return made ? CellInput::kStored : CellInput::kTooLong; };
    if (text[0] == '#') {
        if (FormulaError code = ErrorCodeFromText(text))
            return stored(MakeNumberCell(out, column, row, 0, uint8_t(code >> 4)));
    }
    if (text[0] == '=') return MakeFormula(ctx, text, row, column, out);

    double value = 0;
    if (ParseBoolean(text, value)) return stored(MakeNumberCell(out, column, row, value));
    if (ParseInOwnFormat(text, format, value))
        return stored(MakeNumberCell(out, column, row, value));
    if (ParseDateInput(text, format, row, column, out)) return CellInput::kStored;
    uint8_t kind = 0;
    uint8_t params[kStandardFormatParams];
    if (ParseNumberText(text, value, kind, params, UserSeparators())) {
        if (kind != format.kind) {
            format.kind = kind;
            std::memcpy(format.params, params, kStandardFormatParams);
        }
        return stored(MakeNumberCell(out, column, row, value));
    }
    return stored(MakeTextCell(out, column, row, text));
}

const char* CellInputMessage(CellInput result) {
    static_assert(kMaxFormulaText == 8147, "the message names the limit");
    switch (result) {
    case CellInput::kTooLong:
        return "The text is too long for one cell";
    case CellInput::kFormulaRefused:
        return "The formula is too long: its stored form must fit in 8,147 characters";
    default:
        return nullptr;
    }
}

} // namespace vl
