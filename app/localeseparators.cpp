#include "app/localeseparators.h"

#include "platform/core/cp1252.h"

#include <cstring>

namespace vl {

namespace {

// Indexed by choice; 0 names no locale, 1 and 2 the system and user default.
constexpr uint16_t kLocaleIds[kLocaleChoices] = {
    0x0000, 0x0800, 0x0400, 0x0436, 0x041C, 0x0401, 0x0801, 0x0C01, 0x1001, 0x1401, 0x1801, 0x1C01,
    0x2001, 0x2401, 0x2801, 0x2C01, 0x3001, 0x3401, 0x3801, 0x3C01, 0x4001, 0x042C, 0x082C, 0x042D,
    0x0423, 0x0402, 0x0455, 0x0403, 0x0404, 0x0804, 0x0C04, 0x1004, 0x1404, 0x041A, 0x0405, 0x0406,
    0x0413, 0x0813, 0x0409, 0x0809, 0x0C09, 0x1009, 0x1409, 0x1809, 0x1C09, 0x2009, 0x2409, 0x2809,
    0x2C09, 0x3009, 0x3409, 0x0425, 0x0438, 0x0429, 0x040B, 0x040C, 0x080C, 0x0C0C, 0x100C, 0x140C,
    0x180C, 0x0407, 0x0807, 0x0C07, 0x1007, 0x1407, 0x0408, 0x040D, 0x040E, 0x040F, 0x0421, 0x0410,
    0x0810, 0x0411, 0x0860, 0x043F, 0x0412, 0x0812, 0x0426, 0x0427, 0x0827, 0x042F, 0x043E, 0x083E,
    0x0458, 0x0414, 0x0814, 0x0415, 0x0416, 0x0816, 0x0418, 0x0419, 0x0C1A, 0x081A, 0x0459, 0x041B,
    0x0424, 0x040A, 0x080A, 0x0C0A, 0x100A, 0x140A, 0x180A, 0x1C0A, 0x200A, 0x240A, 0x280A, 0x2C0A,
    0x300A, 0x340A, 0x380A, 0x3C0A, 0x400A, 0x440A, 0x480A, 0x4C0A, 0x500A, 0x0430, 0x0441, 0x041D,
    0x081D, 0x0444, 0x041E, 0x041F, 0x0422, 0x0420, 0x0820, 0x0443, 0x0843, 0x042A};

// The locale each identifier stands for here; variants without a locale of their own
// (traditional sort, Johab, classic Lithuanian) take their language's main one.
constexpr const char* kLocaleNames[kLocaleChoices] = {
    "",           "",      "",      "af_ZA", "sq_AL",      "ar_SA",      "ar_IQ",      "ar_EG",
    "ar_LY",      "ar_DZ", "ar_MA", "ar_TN", "ar_OM",      "ar_YE",      "ar_SY",      "ar_JO",
    "ar_LB",      "ar_KW", "ar_AE", "ar_BH", "ar_QA",      "az_Latn_AZ", "az_Cyrl_AZ", "eu_ES",
    "be_BY",      "bg_BG", "my_MM", "ca_ES", "zh_TW",      "zh_CN",      "zh_HK",      "zh_SG",
    "zh_MO",      "hr_HR", "cs_CZ", "da_DK", "nl_NL",      "nl_BE",      "en_US",      "en_GB",
    "en_AU",      "en_CA", "en_NZ", "en_IE", "en_ZA",      "en_JM",      "en_TT",      "en_BZ",
    "en_TT",      "en_ZW", "en_PH", "et_EE", "fo_FO",      "fa_IR",      "fi_FI",      "fr_FR",
    "fr_BE",      "fr_CA", "fr_CH", "fr_LU", "fr_MC",      "de_DE",      "de_CH",      "de_AT",
    "de_LU",      "de_LI", "el_GR", "he_IL", "hu_HU",      "is_IS",      "id_ID",      "it_IT",
    "it_CH",      "ja_JP", "ks_IN", "kk_KZ", "ko_KR",      "ko_KR",      "lv_LV",      "lt_LT",
    "lt_LT",      "mk_MK", "ms_MY", "ms_BN", "mni_IN",     "nb_NO",      "nn_NO",      "pl_PL",
    "pt_BR",      "pt_PT", "ro_RO", "ru_RU", "sr_Cyrl_RS", "sr_Latn_RS", "sd_IN",      "sk_SK",
    "sl_SI",      "es_ES", "es_MX", "es_ES", "es_GT",      "es_CR",      "es_PA",      "es_DO",
    "es_VE",      "es_CO", "es_PE", "es_AR", "es_EC",      "es_CL",      "es_UY",      "es_PY",
    "es_BO",      "es_SV", "es_HN", "es_NI", "es_PR",      "st_ZA",      "sw_KE",      "sv_SE",
    "sv_FI",      "tt_RU", "th_TH", "tr_TR", "uk_UA",      "ur_PK",      "ur_IN",      "uz_Latn_UZ",
    "uz_Cyrl_UZ", "vi_VN"};

// The order of day, month and year in a date format: 0 month first, 1 day first, 2 year
// first; -1 when the format names none. "ddd" and "dddd" are the weekday's name, not the
// day, and quoted text is literal.
int DateOrderOf(const QString& format) {
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'') {
            while (++i < format.size() && format[i] != u'\'') {
            }
            continue;
        }
        if (c == u'M') return 0;
        if (c == u'y') return 2;
        if (c != u'd') continue;
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run] == u'd') ++run;
        if (run <= 2) return 1;
        i += run - 1;
    }
    return -1;
}

// The first character between two fields of a date or time format.
QString FieldSeparator(const QString& format, const QString& fields) {
    qsizetype i = 0;
    while (i < format.size() && !fields.contains(format[i])) ++i;
    while (i < format.size() && fields.contains(format[i])) ++i;
    qsizetype start = i;
    while (i < format.size() && !fields.contains(format[i])) ++i;
    return format.mid(start, i - start).trimmed();
}

// The locale's currency symbol in the code page; where a character of it has no place
// there (the ruble sign, the c with caron of "Kč"), its ISO 4217 code instead ("RUB",
// "CZK"): a "?" in a price tells nobody anything.
std::string CurrencyOf(const QLocale& locale) {
    const QString symbol = locale.currencySymbol();
    bool fits = true;
    for (char32_t cp : symbol.toUcs4()) fits = fits && (CodePointToCp1252(cp) != '?' || cp == U'?');
    if (fits) return Utf8ToCp1252(symbol.toStdString());
    return Utf8ToCp1252(locale.currencySymbol(QLocale::CurrencyIsoCode).toStdString());
}

} // namespace

uint16_t LocaleIdOfChoice(int choice) {
    return choice >= 0 && choice < kLocaleChoices ? kLocaleIds[choice] : 0;
}

const char* LocaleNameOfChoice(int choice) {
    return choice >= 0 && choice < kLocaleChoices ? kLocaleNames[choice] : "";
}

std::optional<QLocale> LocaleOfChoice(int choice) {
    if (choice == 1 || choice == 2) return QLocale::system();
    const char* name = LocaleNameOfChoice(choice);
    if (!*name) return std::nullopt;
    QLocale locale(QString::fromLatin1(name));
    if (locale.language() == QLocale::C) return std::nullopt;
    return locale;
}

bool SeparatorChar(const QString& text, char& out) {
    if (text.size() != 1) return false;
    char32_t cp = text[0].unicode();
    if (cp == 0x00A0 || cp == 0x202F) {
        out = char(0xA0);
        return true;
    }
    char c = CodePointToCp1252(cp);
    if (c == '?' && cp != U'?') return false;
    out = c;
    return true;
}

bool ReadLocaleSeparators(const QLocale& locale, SeparatorSet& set) {
    bool ok = SeparatorChar(locale.decimalPoint(), set.decimal);
    ok = SeparatorChar(locale.groupSeparator(), set.thousands) && ok;
    const SeparatorSet& generic = InternalSeparators();
    if (set.decimal == ';') return false;
    if (set.decimal == generic.list) {
        set.list = ';';
        set.arrayRow = '\\';
    } else {
        set.list = generic.list;
        set.arrayRow = generic.arrayRow;
    }
    QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    ok = SeparatorChar(FieldSeparator(shortDate, QStringLiteral("dMy")), set.date) && ok;
    ok = SeparatorChar(
             FieldSeparator(locale.timeFormat(QLocale::ShortFormat), QStringLiteral("hHms")),
             set.time) &&
         ok;
    int order = DateOrderOf(shortDate), longOrder = DateOrderOf(locale.dateFormat());
    ok = order >= 0 && longOrder >= 0 && ok;
    set.shortDateOrder = uint8_t(order < 0 ? 0 : order);
    set.longDateOrder = uint8_t(longOrder < 0 ? 0 : longOrder);
    std::string currency = CurrencyOf(locale);
    if (currency.empty() || currency.size() > 13) return false;
    std::memcpy(set.currency, currency.c_str(), currency.size() + 1);
    return ok;
}

namespace {

bool FillFromLocale(int choice, const QLocale& locale) {
    SeparatorSet set = InternalSeparators();
    if (!ReadLocaleSeparators(locale, set)) {
        UserSeparators() = InternalSeparators();
        return false;
    }
    set.localeChoice = uint8_t(choice);
    UserSeparators() = set;
    return true;
}

} // namespace

bool ApplyLocaleChoice(int choice, bool force) {
    if (choice == 0) {
        UserSeparators() = InternalSeparators();
        return true;
    }
    std::optional<QLocale> locale = LocaleOfChoice(choice);
    if (!locale) {
        UserSeparators() = InternalSeparators();
        return false;
    }
    if (UserSeparators().localeChoice == choice && !force) return true;
    return FillFromLocale(choice, *locale);
}

bool ApplySystemLocaleChange() {
    return FillFromLocale(2, QLocale::system());
}

} // namespace vl
