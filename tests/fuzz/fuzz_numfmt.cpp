// Number-format codes and typed cell input from arbitrary bytes: compiling, describing
// and rendering a code, reading ISO texts through it, and classifying typed text.

#include "core/settings.h"
#include "formula/cellinput.h"
#include "harness.h"
#include "values/isodate.h"
#include "values/numfmt_compile.h"
#include "values/numfmt_date.h"
#include "values/numfmt_number.h"

namespace {

using namespace vl;

void FuzzCode(std::string_view code) {
    static const double kValues[] = {0, -1.5, 1234567.891, 1e-9, 9.3e18, -1e300, 0.5};
    auto f = std::make_unique<CompiledFormat>();
    if (CompileFormatCode(*f, code)) {
        std::string text = DescribeFormatCode(*f);
        auto again = std::make_unique<CompiledFormat>();
        CompileFormatCode(*again, text);
    }
    std::string out;
    SeparatorSet comma;
    comma.decimal = ',';
    comma.thousands = '.';
    for (double v : kValues) FormatValueText(v, code, out, &comma);
    for (const char* iso : {"2006-01-31T13:10:55.123+02:00", "13:05:09", "PT63H30M", "abc"})
        FormatDateText(iso, code, out, &comma);
}

void FuzzInput(std::string_view text, uint8_t kind, bool commaUser) {
    static CEvalContext& ctx = *new CEvalContext();
    SeparatorSet& user = UserSeparators();
    user = InternalSeparators();
    if (commaUser) {
        user.decimal = ',';
        user.thousands = ' ';
        user.date = '.';
        user.list = ';';
        user.shortDateOrder = 1;
        std::strcpy(user.currency, "kr.");
    }
    Profile().addressingA1 = commaUser ? 0 : 1;
    StandardFormat format;
    format.kind = uint8_t(kind % 12);
    for (int k = 0; k < kStandardFormatParams; ++k) format.params[k] = uint8_t(kind * 31 + k);
    CellBuffer cell;
    ParseCellInput(ctx, text, format, 5, 3, cell);
    IsoDateTime rec;
    ParseIsoDateTime(rec, text);
    IsoDuration d;
    std::size_t end = 0;
    ParseIsoDuration(d, text, end);
    std::string sum;
    AddDurationText("2006-01-31T13:10:55", text, sum);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    const fuzz::ExactCopy text(data + 1, size - 1);
    if (mode & 1)
        FuzzCode(text.View());
    else
        FuzzInput(text.View(), uint8_t(mode >> 2), (mode & 2) != 0);
    return 0;
}
