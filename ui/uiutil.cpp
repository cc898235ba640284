#include "ui/uiutil.h"

#include "model/stylerecords.h"
#include "platform/core/cp1252.h"
#include "platform/core/number.h"
#include "platform/core/screen.h"
#include "values/formatdouble.h"

#include <QApplication>
#include <QComboBox>
#include <QPalette>
#include <QString>
#include <QWidget>
#include <cstring>

namespace vl {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Copies a NUL-terminated text into a field of `size` bytes, cutting it to fit.
void CopyField(char* field, std::size_t size, const char* text) {
    std::size_t n = strnlen(text, size - 1);
    std::memcpy(field, text, n);
    field[n] = 0;
}

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    return pos;
}

} // namespace

bool ParseNumber(std::string_view text, char decimal, double& value) {
    std::size_t pos = SkipBlanks(text, 0);
    value = 0;
    if (pos == text.size()) return true;
    std::string copy(text.substr(pos));
    if (std::size_t sep = copy.find(decimal); sep != std::string::npos) copy[sep] = '.';
    NumberScan scan = ScanNumber(copy, value);
    if (scan.length == 0 || scan.overflow) return false;
    return SkipBlanks(copy, scan.length) == copy.size();
}

std::string FormatNumber(char decimal, double value, int decimals) {
    std::string text = decimals < 0 ? FormatDouble(value) : FormatNumberF(value, decimals);
    std::size_t point = text.find('.');
    if (point != std::string::npos) {
        text[point] = decimal;
        if (text.find('e') != std::string::npos || text.size() < 2) return text;
        while (!text.empty() && text.back() == '0') text.pop_back();
        if (!text.empty() && text.back() == decimal) text.pop_back();
    }
    // A small negative rounded to nothing is zero, not "-0".
    if (text == "-0") text = "0";
    return text;
}

bool ColumnLettersToNumber(std::string_view text, uint32_t& number) {
    std::size_t pos = SkipBlanks(text, 0);
    uint64_t n = 0;
    for (; pos < text.size() && !IsBlank(text[pos]); ++pos) {
        if (!IsAsciiAlpha(text[pos])) return false;
        n = n * 26 + uint64_t(text[pos] - 64);
        if (n > UINT32_MAX) return false;
    }
    if (SkipBlanks(text, pos) != text.size()) return false;
    number = uint32_t(n);
    return true;
}

std::string ColumnNumberToLetters(uint32_t number) {
    std::string letters;
    for (uint64_t n = number; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), char('A' + (n - 1) % 26));
    return letters;
}

namespace {

constexpr uint8_t kPitchFamilies[] = {0x00, 0x20, 0x30, 0x10, 0x40, 0x50}; // any, Swiss, ...
constexpr uint8_t kCharSets[] = {1,   0,   186, 136, 238, 134, 161, 129, 77,
                                 255, 204, 128, 2,   162, 177, 178, 222};

int32_t WeightOf(uint8_t code) {
    switch (code) {
    case 1:
        return 100;
    case 2:
        return 700;
    case 3:
        return 900;
    default:
        return 400;
    }
}

} // namespace

void StyleFontToLogFont(const FontRecord& font, LogFont& out) {
    out = LogFont{};
    const FontRecord& def = DefaultFontRecord();
    out.height = -MulDiv(font.size ? font.size : def.size, kScreenDpi, 72);
    out.weight = WeightOf(font.weight);
    out.italic = font.italic;
    out.underline = font.underline;
    out.strikeOut = font.strikeout;
    out.charSet = font.charSet >= 1 && font.charSet <= 16 ? kCharSets[font.charSet] : 1;
    out.pitchAndFamily = font.family >= 1 && font.family <= 5 ? kPitchFamilies[font.family] : 0;
    const char* face = font.faceName[0] ? font.faceName : def.faceName;
    CopyField(out.faceName, kFaceNameSize, face);
}

void LogFontToStyleFont(FontRecord& out, const LogFont& font) {
    out.size = uint8_t(-MulDiv(font.height, 72, kScreenDpi));
    out.weight = font.weight == 100 ? 1 : font.weight == 700 ? 2 : font.weight == 900 ? 3 : 0;
    out.italic = font.italic;
    out.underline = font.underline;
    out.strikeout = font.strikeOut;
    out.charSet = 0;
    for (uint8_t i = 1; i <= 16; ++i)
        if (kCharSets[i] == font.charSet) out.charSet = i;
    out.family = 0;
    for (uint8_t i = 1; i <= 5; ++i)
        if (kPitchFamilies[i] == font.pitchAndFamily) out.family = i;
    CopyField(out.faceName, kFaceNameSize, font.faceName);
}

bool AddComboLines(QComboBox* combo, std::string_view text) {
    if (text.empty() || text.size() > 999) return false;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        // A text with CR LF line ends leaves no CR in the items.
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) combo->addItem(QString::fromStdString(Cp1252ToUtf8(line)));
        start = end + 1;
    }
    return true;
}

int OpacityAlpha(int percent) {
    int alpha = percent * 255 / 100;
    return alpha < 11 ? 10 : alpha;
}

bool SetWindowOpacity(QWidget* window, int percent) {
    window->setWindowOpacity(percent >= 100 ? 1.0 : OpacityAlpha(percent) / 255.0);
    return true;
}

QString TimeFormatWithoutSeconds(const QString& format) {
    QString out;
    qsizetype kept = 0; // the length of `out` after its last field
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == QLatin1Char('\'')) {
            // Quoted text stands as it is, quotes and all.
            qsizetype end = format.indexOf(QLatin1Char('\''), i + 1);
            end = end < 0 ? format.size() : end + 1;
            out += format.mid(i, end - i);
            i = end;
            continue;
        }
        qsizetype run = i;
        while (run < format.size() && format[run] == c) ++run;
        if (c == QLatin1Char('s') || c == QLatin1Char('z')) {
            // The separator between the last field and the seconds goes with them.
            out.truncate(kept);
        } else {
            out += format.mid(i, run - i);
            if (c.isLetter()) kept = out.size();
        }
        i = run;
    }
    return out;
}

void ShowSelectionFocus(QWidget& view, bool focused) {
    QPalette palette = QApplication::palette(&view);
    if (!focused) {
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            palette.setColor(group, QPalette::Highlight, palette.color(group, QPalette::Midlight));
            palette.setColor(group, QPalette::HighlightedText,
                             palette.color(group, QPalette::ButtonText));
        }
    }
    view.setPalette(palette);
}

void ShowFocusFromTheStart(QWidget& window) {
    window.setAttribute(Qt::WA_KeyboardFocusChange);
}

} // namespace vl
