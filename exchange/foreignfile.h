#pragma once
// What every foreign form shares: the new worksheet an import fills, a byte reader over the
// workbook's stream, and the save that writes beside the target and takes its place only
// when the whole file was written.

#include "model/workbook.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vl {

class CWorksheet;

// The part of a path after its last '/', extension included.
std::string_view FileNameOfPath(std::string_view path);
// The path with the extension of its file name replaced by `extension` (appended when the
// name has none); a '.' in a folder name is left alone.
std::string ReplaceExtension(std::string_view path, std::string_view extension);

// Whether the workbook holds more than a file of the form `family` keeps: a text file or a
// table keeps the values of one worksheet (no other item of the tree, no formula, no
// container), the Excel 2003 XML spreadsheet its worksheets (no folder, no container, no
// drop-down list, no inspected cell, no control character XML cannot hold). The native form
// keeps everything.
bool FormLosesContent(const CWorkbook& workbook, uint8_t family);
// What such a file would lose, one "\n- " line for each kind with its count (cells past the
// spreadsheet form's last row, texts it writes without their control characters, ...);
// empty when nothing is lost.
std::string FormLossText(const CWorkbook& workbook, uint8_t family);
// What such a file would lose, as a key that changes when the loss does (another worksheet
// kept, another kind or count of content left out); empty when nothing is lost.
std::string FormLossKey(const CWorkbook& workbook, uint8_t family);

// What a save that no one can be asked about refuses: a text file or table that would hold
// values otherwise than the worksheet shows them (numbers a fixed width cuts into other
// numbers, texts a number field would hold as 0, texts the OEM code page would write with
// '?'). kErrorNone when there is none; else 118 for numbers cut or texts lost, otherwise 125,
// with `text` counting each kind. The window asks about the cut numbers and the OEM gaps
// (FormLossText) before it writes.
ErrorCode WrittenOtherwise(const CWorkbook& workbook, uint8_t family, std::string& text);

// The form the bytes of the open file are, read from its head (the stream is started over
// as opened): a native workbook, binary or XML, or an Excel 2003 XML spreadsheet whatever its
// name; else `named`, the form its name or the user chose.
uint8_t FormOfFileBytes(CFileStream& stream, uint8_t named);

// What the last import left out, cut or set aside, one message with its count for each kind
// (texts outside the code page, document properties cut to their fields, style names that
// name no style, an active worksheet that is no whole number); empty when nothing.
std::string ImportLossText(const CWorkbook& workbook);

// Replaces the workbook's tree with one new worksheet named after the stream's file and makes
// it the current worksheet; null with error 8 when it cannot be had (the tree then stays).
CWorksheet* StartImportWorksheet(CWorkbook& workbook);

// Bytes from the workbook's stream in chunks; a read failure ends the input and leaves the
// stream's status for the caller.
class CByteReader {
public:
    explicit CByteReader(CFileStream& stream) : stream_(stream) {}
    // The next byte, or -1 at the end of the input.
    int Peek() {
        if (pos_ == end_ && !Fill()) return -1;
        return buffer_[pos_];
    }
    int Get() {
        const int c = Peek();
        if (c >= 0) ++pos_;
        return c;
    }
    // Up to n bytes into dest; the count read.
    uint32_t Read(uint8_t* dest, uint32_t n);
    // The bytes read ahead and not yet taken (none only at the end of the input).
    std::string_view Ahead() {
        if (pos_ == end_ && !Fill()) return {};
        return {reinterpret_cast<const char*>(buffer_ + pos_), end_ - pos_};
    }
    // At least `n` bytes read ahead where the input holds them (fewer only at its end): the
    // bytes not yet taken move to the front of the buffer and more are read after them.
    std::string_view Ahead(uint32_t n);
    // Takes n of the bytes Ahead gave.
    void Take(uint32_t n) { pos_ += n; }
    // The stream's offset of the next byte, and the way back to it.
    int32_t Offset() const { return stream_.GetPosition() - int32_t(end_ - pos_); }
    bool Rewind(int32_t offset);

private:
    bool Fill();

    CFileStream& stream_;
    uint8_t buffer_[65536];
    uint32_t pos_ = 0;
    uint32_t end_ = 0;
};

// Bytes to the workbook's stream, gathered in chunks; a failure leaves the stream's code as
// the workbook's error.
class CByteWriter {
public:
    explicit CByteWriter(CWorkbook& workbook) : book_(workbook) { out_.reserve(2 * kChunk); }
    std::string& Buffer() { return out_; }
    // Writes the gathered bytes once a chunk is full.
    bool Step() { return out_.size() < kChunk || Flush(); }
    bool Flush();

private:
    static constexpr std::size_t kChunk = 1 << 16;
    CWorkbook& book_;
    std::string out_;
};

// Writes the file through `write`, which fills the workbook's stream, into a new file beside
// `path` that then replaces it and stays open as the document. On failure the target and the
// document stream are as they were and the workbook's error says why.
// `partner` puts a second file of the same save in place (SaveWorkbookFileWith).
bool SaveAside(CWorkbook& workbook, const char* path, const std::function<bool(CWorkbook&)>& write,
               const std::function<bool()>& partner = {});

} // namespace vl
