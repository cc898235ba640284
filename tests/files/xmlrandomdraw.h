#pragma once
// Workbooks with every kind of content the XML form carries, drawn at random but in the form a
// reader gives back (a colour that is not given holds the default the reader fills in,
// parameters a format kind does not use are zero), and their comparison record by record.

#include "model/workbook.h"
#include "xmltestutil.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>

namespace vl::xmltest {

struct RandomBookShape {
    uint32_t seed = 1;
    int worksheets = 3;
    int cellsPerSheet = 400;
    bool fullTables = true; // 128 fonts, 512 styles, 100 lists, every column set
    int containersPerSheet = 2;
};

std::unique_ptr<CWorkbook> RandomWorkbook(const RandomBookShape& shape);

// Every field the XML form carries, compared with gtest expectations.
void ExpectSameWorkbook(CWorkbook& expected, CWorkbook& actual);

class Draw {
public:
    explicit Draw(uint32_t seed) : gen_(seed) {}
    uint32_t Below(uint32_t n) { return n ? uint32_t(gen_() % n) : 0; }
    bool Coin() { return gen_() & 1; }
    int Between(int lo, int hi) { return lo + int(Below(uint32_t(hi - lo + 1))); }
    COLORREF Color() { return gen_() & 0xFFFFFF; }

    // Text of the code page that escaping has to get right: markup characters, control
    // bytes, bytes above 127 and runs of blanks, at the ends too. No NUL, which no text of a
    // file holds.
    std::string Text(std::size_t length) {
        static const char kPicks[] = "aZ9 &<>\"';\t\r\n\x01\x1f\x7f\x80\x81\x9d\xa0\xe9\xff";
        std::string out;
        for (std::size_t i = 0; i < length; ++i) {
            const uint32_t k = Below(4);
            if (k == 0) {
                out += kPicks[Below(sizeof kPicks - 1)];
            } else if (k == 1) {
                out += ' ';
            } else {
                char c = char(Below(256));
                if (c == 0) c = 'n';
                out += c;
            }
        }
        return out;
    }

    double Number() {
        switch (Below(6)) {
        case 0:
            return Between(-1000, 1000);
        case 1:
            return Between(-99999, 99999) / 100.0;
        case 2:
            return 1.0 / Between(1, 999);
        case 3:
            return std::ldexp(double(gen_()), Between(-1070, 990)) * (Coin() ? 1 : -1);
        case 4:
            return Coin() ? 1e20 : -2.5e-300;
        default: {
            uint64_t bits = (uint64_t(gen_()) << 32) | gen_();
            double d;
            std::memcpy(&d, &bits, sizeof d);
            return std::isfinite(d) ? d : 0.5;
        }
        }
    }

    // Finite floats, many of them needing all nine digits.
    float Float() {
        if (Coin()) return float(Between(-1000, 1000)) / 8.0f;
        uint32_t bits = gen_();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return std::isfinite(f) ? f : 0.75f;
    }

private:
    std::mt19937 gen_;
};

void RandomFont(Draw& d, FontRecord& f, int i);
// A line and a fill as read back; with the flag their colour is always given.
BorderLine RandomLine(Draw& d, bool alwaysGiven);
InteriorFill RandomFill(Draw& d, bool patternColorAlwaysGiven, int pattern = -1);
void RandomNumberFormat(Draw& d, StandardFormat& f, int i);

// A worksheet's view settings and page setup, in the form a reader gives back.
void RandomSheetSettings(Draw& d, CWorksheet& ws);
// `count` containers with charts of every type and kind; ids are drawn unique from `ids`.
void RandomContainers(Draw& d, CWorksheet& ws, int count, uint16_t& nextId);

void ExpectSameSheetSettings(const CWorksheet& expected, const CWorksheet& actual);
void ExpectSameContainers(const CWorksheet& expected, const CWorksheet& actual);

} // namespace vl::xmltest
