// Header and footer codes: &l, &c and &r start the left, centre and right parts; the others
// insert a date, a time, a name or page numbers.

#include "core/clock.h"
#include "core/settings.h"
#include "render/canvas.h"
#include "values/localtime.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <sys/stat.h>

namespace vl {

namespace {

constexpr size_t kSectionText = 1024;
constexpr int64_t kMaxPageOffset = 2147483647;

std::string Number(int64_t v) {
    char buf[24];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// The short date in the user's order and separator.
std::string DateText(int64_t seconds) {
    const IsoDateTime t = LocalDateTimeAt(seconds);
    const SeparatorSet& s = UserSeparators();
    const std::string d = Number(t.day), m = Number(t.month), y = Number(t.year);
    const std::string sep(1, s.date);
    switch (s.shortDateOrder) {
    case 1:
        return d + sep + m + sep + y;
    case 2:
        return y + sep + m + sep + d;
    default:
        return m + sep + d + sep + y;
    }
}

std::string TwoDigits(int v) {
    return (v < 10 ? "0" : "") + Number(v);
}

std::string TimeText(int64_t seconds) {
    const IsoDateTime t = LocalDateTimeAt(seconds);
    const std::string sep(1, UserSeparators().time);
    return Number(t.hour) + sep + TwoDigits(t.minute) + sep + TwoDigits(t.second);
}

// The file's last change; time 0 when it cannot be examined.
int64_t FileTime(const char* name) {
    struct stat st {};
    return stat(name, &st) == 0 ? int64_t(st.st_mtime) : 0;
}

class HeaderFooterWriter {
public:
    HeaderFooterWriter(CCanvas& canvas, const DcRect& rect, bool measureOnly)
        : canvas_(canvas), rect_(rect), measureOnly_(measureOnly), x_(rect.left), y_(rect.top) {}

    void Insert(const std::string& text) {
        if (buffer_.size() + text.size() <= kSectionText) buffer_ += text;
    }
    void Add(char c) {
        if (buffer_.size() < kSectionText) buffer_ += c;
    }
    // Draws and measures the part so far, then starts `next` (1 left, 2 centre, 3 right).
    bool Switch(int next) {
        if (!Flush()) return false;
        section_ = next;
        x_ = next == 1 ? rect_.left : next == 2 ? (rect_.left + rect_.right) / 2 : rect_.right;
        y_ = rect_.top + heights_[next - 1];
        return true;
    }
    bool Flush() {
        if (!buffer_.empty()) {
            if (!measureOnly_) {
                canvas_.SetTextAlign(uint32_t(section_), kAlignTop);
                if (!canvas_.DrawTextLines(x_, y_, buffer_, 0)) return false;
            }
            int32_t w = 0, h = 0;
            if (!canvas_.MeasureText(buffer_, w, h)) return false;
            heights_[section_ - 1] += h;
        }
        buffer_.clear();
        return true;
    }
    int32_t Tallest() const { return *std::max_element(heights_, heights_ + 3); }

private:
    CCanvas& canvas_;
    DcRect rect_;
    bool measureOnly_;
    int section_ = 1;
    int32_t x_, y_;
    int32_t heights_[3] = {};
    std::string buffer_;
};

// The offset after &p: a sign and digits, which are consumed; it stops at 2,147,483,647.
int64_t PageOffset(std::string_view text, size_t& i) {
    if (i >= text.size() || (text[i] != '+' && text[i] != '-')) return 0;
    const bool minus = text[i++] == '-';
    int64_t v = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        v = std::min(v * 10 + (text[i] - '0'), kMaxPageOffset);
    return minus ? -v : v;
}

std::string PageList(const HeaderFooterSources& s, int64_t offset) {
    std::string out;
    for (size_t w = 2; w < s.pageWords && s.pages[w] != 0; ++w) {
        if (!out.empty()) out += ", ";
        out += Number(int64_t(int32_t(s.pages[w])) + offset);
    }
    return out;
}

} // namespace

bool CCanvas::DrawHeaderFooter(DcRect& rect, std::string_view text, bool measureOnly,
                               const HeaderFooterSources& s) {
    const IClock& clock = s.clock ? *s.clock : ProcessClock();
    HeaderFooterWriter out(*this, rect, measureOnly);
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c != '&' || i + 1 == text.size()) {
            out.Add(c);
            ++i;
            continue;
        }
        const char code = char(text[i + 1] | 0x20);
        i += 2;
        switch (code) {
        case 't':
            out.Insert(TimeText(clock.NowSeconds()));
            break;
        case 'd':
            out.Insert(DateText(clock.NowSeconds()));
            break;
        case 'f':
            if (s.fileName) out.Insert(s.fileName);
            break;
        case 'a':
            if (s.extra) out.Insert(s.extra);
            break;
        case 'p':
            if (s.pages) out.Insert(PageList(s, PageOffset(text, i)));
            break;
        case 'n':
        case 'm':
            if (s.pages && s.pageWords > size_t(code == 'm'))
                out.Insert(Number(int32_t(s.pages[code == 'm'])));
            break;
        case 'g':
            if (s.filePath) out.Insert(DateText(FileTime(s.filePath)));
            break;
        case 'z':
            if (s.filePath) out.Insert(TimeText(FileTime(s.filePath)));
            break;
        case 'l':
        case 'c':
        case 'r':
            if (!out.Switch(code == 'l' ? 1 : code == 'c' ? 2 : 3)) return false;
            break;
        default:
            // Not a code: the '&' stands and reading goes on with the character after it.
            out.Add('&');
            i -= 1;
            break;
        }
    }
    if (!out.Flush()) return false;
    rect.bottom = rect.top + out.Tallest();
    return true;
}

} // namespace vl
