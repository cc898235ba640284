// Which form a file's bytes are, whatever its name says.
#include "exchange/foreignfile.h"
#include "files/xmltext.h"
#include "platform/core/filestream.h"

#include <algorithm>

namespace vl {

namespace {

constexpr std::string_view kSpreadsheetNamespace = "urn:schemas-microsoft-com:office:spreadsheet";

// The start tag of the document's first element, past the declaration, processing
// instructions, comments and the document type; empty when the head does not reach it.
std::string_view RootStartTag(std::string_view xml) {
    std::size_t at = 0;
    for (;;) {
        at = xml.find('<', at);
        if (at == std::string_view::npos) return {};
        const std::string_view rest = xml.substr(at);
        std::string_view close = ">";
        if (rest.starts_with("<?"))
            close = "?>";
        else if (rest.starts_with("<!--"))
            close = "-->";
        else if (!rest.starts_with("<!"))
            return rest.substr(0, rest.find('>'));
        const std::size_t end = rest.find(close);
        if (end == std::string_view::npos) return {};
        at += end + close.size();
    }
}

bool IsNameEnd(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>' || c == '/';
}

// A binary workbook begins with its digits, and its body holds bytes no text file has.
bool LooksBinaryWorkbook(std::string_view head) {
    constexpr std::size_t kHeader = 11;
    if (head.size() <= kHeader || head[0] < '1' || head[0] > '3') return false;
    if (!std::all_of(head.begin(), head.begin() + kHeader,
                     [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    return std::any_of(head.begin() + kHeader, head.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 && b != '\t' && b != '\r' && b != '\n';
    });
}

} // namespace

uint8_t FormOfFileBytes(CFileStream& stream, uint8_t named) {
    char buffer[4096];
    // The head is read within the file's length (a compressed file holds more than that).
    const int32_t want = std::min(int32_t(sizeof buffer), stream.GetLength());
    const int32_t n = stream.ReadAt(buffer, want, kSeekStart, 0);
    // The readers start from a stream as it was opened.
    // save target: the document's own file, read again from its start; nothing is written.
    stream.Reopen(stream.IsReadOnly() ? "rb" : "r+b", true);
    if (n <= 0) return named;
    std::string_view head(buffer, std::size_t(n));
    if (head.starts_with("Vorlane6000") || LooksBinaryWorkbook(head)) return kFileNative;
    // A UTF-16 document is judged by its UTF-8 form, as the readers read it.
    std::string converted;
    if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) {
        AppendUtf16AsUtf8(head.substr(2), head[0] == '\xFE', false, converted);
        head = converted;
    }
    if (head.starts_with("\xEF\xBB\xBF")) head.remove_prefix(3);
    if (!head.starts_with("<?xml")) return named;
    const std::string_view root = RootStartTag(head);
    for (const std::string_view name : {"<Workbook", "<ss:Workbook"}) {
        if (!root.starts_with(name) || (root.size() > name.size() && !IsNameEnd(root[name.size()])))
            continue;
        return root.find(kSpreadsheetNamespace) != std::string_view::npos ? kFileExcelXml
                                                                          : kFileNative;
    }
    return named;
}

} // namespace vl
