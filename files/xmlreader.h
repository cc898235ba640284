#pragma once
// The pull parser under every XML reader: one tag or one element text at a time, attributes
// in a bounded table, typed attribute converters, and the line number for error messages.
//
// Failures never throw: the first error (55 to 60) sticks with the line where it arose,
// every later call returns false at once, and element readers pass the false upwards. An
// optional tag that is absent also gives false, so a caller tells the two apart by Ok().
//
// The reader takes its bytes from a file stream in blocks into a buffer of its own, which
// keeps the bytes of the tag being scanned and of the text before it: going back to it never
// seeks the stream (a backward seek on a gzip layer would inflate the file again from its
// start). Whitespace, comments and text beyond the longest element text are dropped as they
// are read, so memory does not grow with the file.

#include "files/xmlconvert.h"
#include "platform/core/errorcode.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

class CFileStream;

// Flags of ReadNextTag.
enum : uint8_t {
    kXmlAttributes = 1, // empty the attribute table and keep this tag's attributes
    kXmlStart = 2,      // a start tag is required; with kXmlEnd an empty-element tag
    kXmlEnd = 4,        // alone: a plain end tag is required
    kXmlOptional = 8,   // a missing tag or another name gives false, nothing consumed
    kXmlPeek = 16,      // read the tag, then go back to where the scan began
};

// The document's encoding: UTF-8 text is converted to the code page, the others are taken
// byte for byte ("ISO-" encodings are told apart only for the record).
enum XmlEncoding : uint8_t {
    kXmlUtf8 = 1,
    kXmlAnsi = 2,
    kXmlIso = 3,
};

constexpr std::size_t kXmlNameLimit = 1024;
constexpr std::size_t kXmlAttributeCount = 50;
// A value may be six times the longest text an attribute carries (a 255-character
// worksheet path of escaped characters), so everything written reads back.
constexpr std::size_t kXmlValueLimit = 2048;
constexpr std::size_t kXmlAttributeArea = 8192;

class CXmlReader {
public:
    CXmlReader();
    CXmlReader(const CXmlReader&) = delete;
    CXmlReader& operator=(const CXmlReader&) = delete;

    // Starts over on a stream from its current position, or on a text in memory.
    void Reset(CFileStream* stream);
    void ResetMemory(std::string_view document);

    // One tag; see the flags above. True when a tag of that name (any, for an empty name)
    // was read.
    bool ReadNextTag(std::string_view name, uint8_t flags);
    // The character data up to the next tag, decoded into Text(). Collapsed: leading and
    // trailing whitespace dropped and inner runs made one blank; verbatim: every byte kept.
    // Comments are skipped either way. More than `maximum` decoded bytes is 59.
    bool ReadContent(std::size_t maximum, bool verbatim = false);
    // Start tag (flags plus kXmlStart), text and end tag of one element; a self-closing
    // element gives the empty text.
    bool ReadElementText(std::string_view name, std::size_t maximum, uint8_t flags,
                         bool verbatim = false);
    // The same, verbatim, for a text that is the system's bytes (a path): the document's
    // bytes are kept as they are, not turned into the program's code page.
    bool ReadElementBytes(std::string_view name, std::size_t maximum, uint8_t flags);
    // The declaration "<?xml ...?>" at the start; its attributes stay in the table.
    bool ReadDeclaration();
    // After ReadDeclaration: takes the encoding it names (UTF-8 when it names none) and
    // empties the attribute table.
    void AdoptDeclaredEncoding();
    // Further processing instructions, each read as the declaration is but with any target,
    // then dropped with their attributes.
    bool SkipInstructions();
    // Raw attribute values up to `limit` bytes (the attribute area grows with it) for a
    // form whose attributes carry whole cell texts; kXmlValueLimit otherwise.
    void SetValueLimit(std::size_t limit) {
        valueLimit_ = limit < kXmlValueLimit ? kXmlValueLimit : limit;
    }
    std::size_t ValueLimit() const { return valueLimit_; }
    void SkipWhitespace();

    const std::string& Text() const { return text_; }
    const std::string& Name() const { return name_; }
    const std::string& Prefix() const { return prefix_; }
    bool IsStart() const { return isStart_; }
    bool IsEnd() const { return isEnd_; }

    // The attribute table of the last tag read with kXmlAttributes.
    void ClearAttributes();
    bool AddAttribute(std::string_view prefix, std::string_view name, std::string_view value);
    // Makes the first attribute of that local name (any prefix) current.
    bool FindAttribute(std::string_view name);
    // As FindAttribute; a value longer than `maximum` is 57.
    bool FindAttributeBounded(std::string_view name, std::size_t maximum);
    std::string_view Value() const { return current_; }
    std::size_t AttributeCount() const { return count_; }

    // The current value decoded (references, and UTF-8 in a UTF-8 document) into `out`;
    // more than `maximum` bytes is 57.
    bool DecodeValue(std::string& out, std::size_t maximum);

    // Converters of the current value; each fails with the code ParseXml* gives.
    bool GetU8Attribute(uint8_t& out, uint8_t min, uint8_t max);
    bool GetU16Attribute(uint16_t& out, uint16_t min, uint16_t max);
    bool GetU32Attribute(uint32_t& out, uint32_t min, uint32_t max);
    bool GetI8Attribute(int8_t& out, int8_t min, int8_t max);
    bool GetI16Attribute(int16_t& out, int16_t min, int16_t max);
    bool GetI32Attribute(int32_t& out, int32_t min, int32_t max);
    bool GetDoubleAttribute(double& out, double min, double max);
    bool GetBoolAttribute(bool& out);
    bool GetBoolAttribute(uint8_t& out);
    bool GetColorAttribute(COLORREF& out);
    // Takes a converter's result: false with the error recorded when it is not 0.
    bool Check(ErrorCode code) { return code == kErrorNone || Fail(code); }

    // Records the first error with the current line; always false.
    bool Fail(ErrorCode code);
    bool Ok() const { return error_ == kErrorNone; }
    ErrorCode Error() const { return error_; }
    uint32_t ErrorLine() const { return errorLine_; }
    uint32_t Line() const { return line_; }
    XmlEncoding Encoding() const { return encoding_; }
    void SetEncoding(XmlEncoding encoding) { encoding_ = encoding; }
    bool Utf8() const { return encoding_ == kXmlUtf8; }
    // The characters of texts and values read so far that the code page has not.
    uint32_t LostCharacters() const { return lost_; }
    // From now on such a character fails the reading with 125 at its line, where a form
    // must come back whole rather than with '?' in its place.
    void RefuseLostCharacters() { refuseLost_ = true; }
    // A decoding that counted lost characters fails when they are refused.
    bool CheckLost(uint32_t before) {
        return !refuseLost_ || lost_ == before || Fail(kErrorCodePage);
    }
    // The absolute byte position in the source.
    uint64_t Position() const { return origin_ + pos_; }

private:
    struct Attribute {
        uint32_t offset; // prefix, name and value follow each other in the area
        uint16_t prefixLength;
        uint16_t nameLength;
        uint16_t valueLength;
    };

    int Peek() { return pos_ < limit_ || Fill() ? data_[pos_] : -1; }
    // Consumes one byte known to be there, counting lines: one at LF, and one at CR, which
    // the LF of a CR LF pair then does not count again.
    void Advance() {
        const char c = char(data_[pos_++]);
        if (c == '\r' || (c == '\n' && !afterCr_)) ++line_;
        afterCr_ = c == '\r';
    }
    bool Fill();
    // Fill for a document in UTF-16: the next block converted to UTF-8, which everything
    // past the source reads.
    bool FillUtf16();
    // At a UTF-16 byte-order mark: the rest of the source is read converted.
    void TakeUtf16(bool bigEndian);
    bool LooksAt(std::string_view literal);
    void Mark();
    void Restore();
    void Unmark() { marked_ = false; }

    bool SkipComments(bool thenWhitespace);
    bool ReadTagName(std::string& prefix, std::string& name, bool underscore);
    bool ReadAttributes(bool keep);
    // A declaration's target or attribute name: the characters of a name, a prefix before
    // ':' included; error 56 past the name limit.
    bool ReadDeclarationName(std::string& prefix, std::string& name);
    bool ReadQuotedValue(std::string& value);
    bool ReadInstruction(bool declaration);
    bool CheckTagKind(uint8_t flags);
    bool CollectText(std::size_t rawLimit, bool verbatim);

    // Source.
    CFileStream* stream_ = nullptr;
    std::vector<uint8_t> buffer_;
    const uint8_t* data_ = nullptr;
    std::size_t pos_ = 0;
    std::size_t limit_ = 0;
    uint64_t origin_ = 0; // source position of data_[0]
    enum class Utf16 : uint8_t { kNone, kLittle, kBig };
    Utf16 utf16_ = Utf16::kNone;
    std::string pending16_; // UTF-16 bytes of the stream not converted yet
    std::string memory16_;  // a document in memory, converted whole
    bool marked_ = false;
    bool markCut_ = false; // text after the mark was let go
    bool textCut_ = false; // restored into text that was let go: the next text is too long
    uint64_t mark_ = 0;
    uint32_t markLine_ = 1;
    bool markAfterCr_ = false;

    // State.
    std::string text_;
    std::string raw_;
    std::string name_;
    std::string prefix_;
    std::string scratchName_;
    std::string scratchPrefix_;
    std::string scratchValue_;
    bool isStart_ = false;
    bool isEnd_ = false;
    XmlEncoding encoding_ = kXmlUtf8;
    uint32_t line_ = 1;
    bool afterCr_ = false; // the last byte consumed was a CR
    ErrorCode error_ = kErrorNone;
    uint32_t lost_ = 0;
    bool refuseLost_ = false;
    uint32_t errorLine_ = 0;

    // Attribute table.
    std::string area_;
    std::array<Attribute, kXmlAttributeCount> attributes_{};
    std::size_t count_ = 0;
    std::string_view current_;
    std::size_t valueLimit_ = kXmlValueLimit;
};

} // namespace vl
