#include "formula/cellinput.h"

#include "app/core/settings.h"
#include "formula/celltext.h"
#include "formula/evalcontext.h"
#include "formula/literals.h"
#include "formula/translate.h"
#include "formula/values/dateinput.h"
#include "formula/values/isodate.h"
#include "formula/values/numberinput.h"

#include <cstring>
#include <string>

namespace vl {

namespace {

bool MakeFormula(CEvalContext& ctx, std::string_view text, uint32_t row, uint16_t column,
                 CellBuffer& out) {
    std::string formula(text);
    ctx.BeginFormula(column, row);
    if (!UserFormulaFormIsInternal()) {
        std::string translated = formula;
        if (TranslateFormula(ctx, translated, column, row, true)) formula.swap(translated);
    }
    FormulaHead head;
    head.arrayWidth = 1;
    head.arrayHeight = 1;
    head.resultFlags = kResultNumber;
    if (MakeFormulaCell(out, column, row, head, formula)) return true;
    // Too long for a formula record: kept as text rather than lost.
    return MakeTextCell(out, column, row, text);
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

bool ParseCellInput(CEvalContext& ctx, std::string_view text, StandardFormat& format, uint32_t row,
                    uint16_t column, CellBuffer& out) {
    if (text.empty()) {
        MakeTextCell(out, column, row, text);
        return false;
    }
    if (text[0] == '#') {
        if (FormulaError code = ErrorCodeFromText(text))
            return MakeNumberCell(out, column, row, 0, uint8_t(code >> 4));
    }
    if (text[0] == '=') return MakeFormula(ctx, text, row, column, out);

    double value = 0;
    if (ParseInOwnFormat(text, format, value)) return MakeNumberCell(out, column, row, value);
    if (ParseDateInput(text, format, row, column, out)) return true;
    uint8_t kind = 0;
    uint8_t params[kStandardFormatParams];
    if (ParseNumberText(text, value, kind, params, UserSeparators())) {
        if (kind != format.kind) {
            format.kind = kind;
            std::memcpy(format.params, params, kStandardFormatParams);
        }
        return MakeNumberCell(out, column, row, value);
    }
    return MakeTextCell(out, column, row, text);
}

} // namespace vl
