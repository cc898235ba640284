// The reader's source buffer, whitespace and comments, and the tag scanner.

#include "files/xmlreader.h"

#include "files/xmltext.h"
#include "model/cellrecord.h"
#include "platform/core/cp1252.h"
#include "platform/core/filestream.h"

#include <cstring>
#include <string>
#include <utility>

namespace vl {

namespace {

constexpr std::size_t kBlockSize = 65536;
// More than the file bytes of the longest element text (a cell text of escaped characters).
constexpr std::size_t kKeptTextLimit = std::size_t(1) << 20;
static_assert(kKeptTextLimit > 6 * std::size_t(kMaxCellText) + 6);

bool IsXmlSpace(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Characters of names: tags also take "_", the declaration "_" and "-".
enum NameKind { kTagName, kAttributeName, kDeclarationName };

bool IsNameChar(int c, NameKind kind) {
    if (c < 0) return false;
    if (IsAsciiAlnum(char(c))) return true;
    return (kind != kAttributeName && c == '_') || (kind == kDeclarationName && c == '-');
}

} // namespace

CXmlReader::CXmlReader() {
    area_.reserve(kXmlAttributeArea);
    ResetMemory({});
}

void CXmlReader::Reset(CFileStream* stream) {
    ResetMemory({});
    stream_ = stream;
    buffer_.resize(kBlockSize);
    data_ = buffer_.data();
}

void CXmlReader::ResetMemory(std::string_view document) {
    stream_ = nullptr;
    data_ = reinterpret_cast<const uint8_t*>(document.data());
    pos_ = 0;
    limit_ = document.size();
    origin_ = 0;
    utf16_ = Utf16::kNone;
    pending16_.clear();
    marked_ = markCut_ = textCut_ = false;
    text_.clear();
    name_.clear();
    prefix_.clear();
    isStart_ = isEnd_ = false;
    encoding_ = kXmlUtf8;
    valueLimit_ = kXmlValueLimit;
    line_ = 1;
    afterCr_ = false;
    error_ = kErrorNone;
    errorLine_ = 0;
    lost_ = 0;
    refuseLost_ = false;
    ClearAttributes();
}

bool CXmlReader::Fail(ErrorCode code) {
    if (error_ == kErrorNone) {
        error_ = code;
        errorLine_ = line_;
    }
    return false;
}

bool CXmlReader::Fill() {
    if (!stream_) return false;
    // Keep what a restore may come back to; the rest of the buffer is free again.
    const std::size_t keep = marked_ ? std::size_t(mark_ - origin_) : pos_;
    if (keep > 0) {
        std::memmove(buffer_.data(), buffer_.data() + keep, limit_ - keep);
        origin_ += keep;
        pos_ -= keep;
        limit_ -= keep;
    }
    if (limit_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
    data_ = buffer_.data();
    if (utf16_ != Utf16::kNone) return FillUtf16();
    const int32_t n = stream_->Read(buffer_.data() + limit_, int32_t(buffer_.size() - limit_));
    if (n <= 0) return false;
    limit_ += std::size_t(n);
    return true;
}

bool CXmlReader::FillUtf16() {
    std::string converted;
    for (bool last = false; converted.empty() && !last;) {
        const std::size_t had = pending16_.size();
        pending16_.resize(had + kBlockSize);
        const int32_t n = stream_->Read(pending16_.data() + had, int32_t(kBlockSize));
        pending16_.resize(had + std::size_t(n > 0 ? n : 0));
        last = n <= 0;
        pending16_.erase(0, AppendUtf16AsUtf8(pending16_, utf16_ == Utf16::kBig, last, converted));
    }
    if (converted.empty()) return false;
    if (buffer_.size() - limit_ < converted.size()) buffer_.resize(limit_ + converted.size());
    data_ = buffer_.data();
    std::memcpy(buffer_.data() + limit_, converted.data(), converted.size());
    limit_ += converted.size();
    return true;
}

void CXmlReader::TakeUtf16(bool bigEndian) {
    utf16_ = bigEndian ? Utf16::kBig : Utf16::kLittle;
    const std::string_view rest(reinterpret_cast<const char*>(data_ + pos_ + 2), limit_ - pos_ - 2);
    if (stream_) {
        pending16_.assign(rest);
        limit_ = pos_;
        return;
    }
    memory16_.clear();
    AppendUtf16AsUtf8(rest, bigEndian, true, memory16_);
    data_ = reinterpret_cast<const uint8_t*>(memory16_.data());
    origin_ += pos_ + 2;
    pos_ = 0;
    limit_ = memory16_.size();
}

bool CXmlReader::LooksAt(std::string_view literal) {
    while (limit_ - pos_ < literal.size())
        if (!Fill()) return false;
    return std::memcmp(data_ + pos_, literal.data(), literal.size()) == 0;
}

void CXmlReader::Mark() {
    marked_ = true;
    markCut_ = false;
    mark_ = Position();
    markLine_ = line_;
    markAfterCr_ = afterCr_;
}

void CXmlReader::Restore() {
    pos_ = std::size_t(mark_ - origin_);
    line_ = markLine_;
    afterCr_ = markAfterCr_;
    marked_ = false;
    textCut_ = markCut_;
}

void CXmlReader::SkipWhitespace() {
    for (int c = Peek(); IsXmlSpace(c); c = Peek()) Advance();
}

bool CXmlReader::SkipComments(bool thenWhitespace) {
    while (LooksAt("<!--")) {
        for (int k = 0; k < 4; ++k) Advance();
        while (!LooksAt("-->")) {
            if (Peek() < 0) return Fail(kErrorXmlElement);
            Advance();
        }
        for (int k = 0; k < 3; ++k) Advance();
        if (thenWhitespace) SkipWhitespace();
    }
    return true;
}

bool CXmlReader::ReadTagName(std::string& prefix, std::string& name, bool underscore) {
    const NameKind kind = underscore ? kTagName : kAttributeName;
    prefix.clear();
    name.clear();
    for (int c = Peek(); IsNameChar(c, kind); c = Peek()) {
        if (name.size() == kXmlNameLimit) return Fail(kErrorXmlElement);
        name += char(c);
        Advance();
    }
    if (Peek() != ':') return true;
    Advance();
    prefix.swap(name);
    for (int c = Peek(); IsNameChar(c, kAttributeName); c = Peek()) {
        if (name.size() == kXmlNameLimit) return Fail(kErrorXmlElement);
        name += char(c);
        Advance();
    }
    return true;
}

bool CXmlReader::ReadQuotedValue(std::string& value) {
    value.clear();
    const int quote = Peek();
    if (quote != '"' && quote != '\'') return Fail(kErrorXmlAttribute);
    Advance();
    for (int c = Peek(); c != quote; c = Peek()) {
        if (c < 0 || value.size() == valueLimit_) return Fail(kErrorXmlAttribute);
        value += char(c);
        Advance();
    }
    Advance();
    return true;
}

bool CXmlReader::ReadAttributes(bool keep) {
    // Counted even when not kept: a tag is held whole until it is read.
    for (std::size_t count = 0; IsNameChar(Peek(), kAttributeName); ++count) {
        if (count == kXmlAttributeCount) return Fail(kErrorXmlAttribute);
        if (!ReadTagName(scratchPrefix_, scratchName_, false)) return false;
        SkipWhitespace();
        if (Peek() != '=') return Fail(kErrorXmlElement);
        Advance();
        SkipWhitespace();
        if (!ReadQuotedValue(scratchValue_)) return false;
        SkipWhitespace();
        if (keep && !AddAttribute(scratchPrefix_, scratchName_, scratchValue_))
            return Fail(kErrorXmlAttribute);
    }
    return true;
}

bool CXmlReader::CheckTagKind(uint8_t flags) {
    if (flags & kXmlStart) {
        if (!isStart_ || ((flags & kXmlEnd) && !isEnd_)) return Fail(kErrorXmlElement);
    } else if (flags & kXmlEnd) {
        if (!isEnd_ || isStart_) return Fail(kErrorXmlElement);
    }
    return true;
}

bool CXmlReader::ReadNextTag(std::string_view expected, uint8_t flags) {
    if (error_) return false;
    name_.clear();
    prefix_.clear();
    isStart_ = isEnd_ = false;
    if (flags & kXmlAttributes) ClearAttributes();
    textCut_ = false;
    // Whitespace and comments are nothing a restore gives back, so they are dropped as they
    // are read; the scan a restore returns to starts after them.
    marked_ = false;
    SkipWhitespace();
    if (!SkipComments(true)) return false;
    Mark();
    for (int c = Peek(); c != '<'; c = Peek()) {
        if (c < 0) {
            if (!(flags & kXmlOptional)) return Fail(kErrorXmlElement);
            Restore();
            return false;
        }
        Advance();
        // Text longer than any element keeps is let go; a restore into it leaves a mark
        // that makes the next text read fail as too long.
        if (Position() - mark_ > kKeptTextLimit) {
            Mark();
            markCut_ = true;
        }
    }
    Advance();
    SkipWhitespace();
    if (Peek() == '/') {
        isEnd_ = true;
        Advance();
        SkipWhitespace();
    } else {
        isStart_ = true;
    }
    if (!ReadTagName(prefix_, name_, true)) return false;
    if (!expected.empty() && name_ != expected) {
        if (!(flags & kXmlOptional)) return Fail(kErrorXmlElement);
        Restore();
        return false;
    }
    SkipWhitespace();
    if (isStart_ && !ReadAttributes((flags & kXmlAttributes) != 0)) return false;
    if (Peek() == '/') {
        isEnd_ = true;
        Advance();
        SkipWhitespace();
    }
    if (Peek() != '>') return Fail(kErrorXmlElement);
    Advance();
    if (!CheckTagKind(flags)) return false;
    if (flags & kXmlPeek)
        Restore();
    else
        Unmark();
    return true;
}

bool CXmlReader::ReadDeclarationName(std::string& prefix, std::string& name) {
    prefix.clear();
    name.clear();
    for (int c = Peek(); IsNameChar(c, kDeclarationName) || c == ':'; c = Peek()) {
        if (c == ':')
            prefix = std::exchange(name, {});
        else if (name.size() == kXmlNameLimit)
            return Fail(kErrorXmlElement);
        else
            name += char(c);
        Advance();
    }
    return true;
}

bool CXmlReader::ReadInstruction(bool declaration) {
    SkipWhitespace();
    if (!LooksAt("<?")) return Fail(kErrorXmlElement);
    Advance();
    Advance();
    std::string prefix;
    if (!ReadDeclarationName(prefix, scratchName_)) return false;
    if (declaration && scratchName_ != "xml") return Fail(kErrorXmlElement);
    for (SkipWhitespace(); Peek() != '?'; SkipWhitespace()) {
        if (!ReadDeclarationName(prefix, scratchName_)) return false;
        SkipWhitespace();
        if (Peek() != '=') return Fail(kErrorXmlElement);
        Advance();
        SkipWhitespace();
        if (!ReadQuotedValue(scratchValue_)) return false;
        if (!AddAttribute(prefix, scratchName_, scratchValue_)) return Fail(kErrorXmlAttribute);
    }
    if (!LooksAt("?>")) return Fail(kErrorXmlElement);
    Advance();
    Advance();
    return true;
}

bool CXmlReader::ReadDeclaration() {
    if (error_) return false;
    ClearAttributes();
    // A UTF-8 byte-order mark may stand before it, as some programs write one; a UTF-16 one
    // says the whole document is in UTF-16, which is read as its UTF-8 form.
    if (LooksAt("\xFF\xFE") || LooksAt("\xFE\xFF"))
        TakeUtf16(data_[pos_] == 0xFE);
    else if (LooksAt("\xEF\xBB\xBF"))
        for (int i = 0; i < 3; ++i) Advance();
    return ReadInstruction(true);
}

namespace {

// The encoding's name as its registry compares names: any case, "UTF8" and "UTF-8" alike.
bool SameEncodingName(std::string_view name, std::string_view upper) {
    if (name.size() != upper.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (CharUpper1252(name[i]) != upper[i]) return false;
    return true;
}

} // namespace

void CXmlReader::AdoptDeclaredEncoding() {
    encoding_ = kXmlUtf8;
    // A UTF-16 document is read in its UTF-8 form, whatever its declaration names.
    if (utf16_ == Utf16::kNone && FindAttribute("encoding")) {
        const std::string_view v = current_;
        if (SameEncodingName(v, "UTF-8") || SameEncodingName(v, "UTF8"))
            encoding_ = kXmlUtf8;
        else if (SameEncodingName(v.substr(0, 4), "ISO-"))
            encoding_ = kXmlIso;
        else
            encoding_ = kXmlAnsi;
    }
    ClearAttributes();
}

bool CXmlReader::SkipInstructions() {
    for (;;) {
        if (error_) return false;
        SkipWhitespace();
        if (!SkipComments(true)) return false;
        if (!LooksAt("<?")) return true;
        ClearAttributes();
        if (!ReadInstruction(false)) return false;
        ClearAttributes();
    }
}

} // namespace vl
