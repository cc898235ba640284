#pragma once
// Whether a loaded workbook keeps what it holds through the other forms: saved as XML and
// loaded again, and its binary body written to a file and read again, it writes the same XML
// text as before. Shared by the reader tests and the fuzz targets of the readers.

#include "files/binarybody.h"
#include "files/bodyio.h"
#include "files/xmlworkbook.h"
#include "model/workbook.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

namespace vl::reloadcheck {

// Where two texts part: the line of each at the first byte that differs.
inline std::string FirstDifference(const std::string& a, const std::string& b) {
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    auto line = [at](const std::string& t) {
        const size_t begin = t.rfind('\n', at == 0 ? 0 : at - 1);
        const size_t from = begin == std::string::npos ? 0 : begin + 1;
        return t.substr(from, std::min<size_t>(t.find('\n', at) - from, 160));
    };
    return ": " + line(a) + " | " + line(b);
}

// The offset of the first byte where two bodies part, with the bytes around it.
inline std::string FirstByteApart(const std::string& a, const std::string& b) {
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) ++at;
    auto around = [at](const std::string& t) {
        std::string hex;
        static const char digits[] = "0123456789abcdef";
        for (size_t i = at; i < t.size() && i < at + 8; ++i) {
            hex += digits[uint8_t(t[i]) >> 4];
            hex += digits[uint8_t(t[i]) & 15];
        }
        return hex;
    };
    return std::to_string(at) + " of " + std::to_string(a.size()) + "/" + std::to_string(b.size()) +
           ": " + around(a) + " | " + around(b);
}

// The binary body of a workbook: every record the binary form holds.
inline bool BodyBytes(CWorkbook& book, std::string& out) {
    struct Sink : CBodySink {
        std::string bytes;
        void Put(const uint8_t* p, uint32_t n) override { bytes.append(p, p + n); }
    } sink;
    ErrorCode error = kErrorNone;
    if (!SerializeWorkbookBody(book, sink, kBodyFull, error)) return false;
    out = std::move(sink.bytes);
    return true;
}

// The first step that broke, or empty when the workbook came back whole.
constexpr uint8_t kNewestBodyVersion = 3;

// Whether saving as XML again gives the bytes `first` of the first save: saving must change
// nothing it writes. `when` names the save in the fault.
inline std::string SaveAgainFault(CWorkbook& book, const std::string& first, const char* when) {
    CXmlWriter writer;
    if (!WriteXmlWorkbook(book, writer)) return std::string("the XML save failed ") + when;
    if (writer.Memory() != first)
        return std::string("the XML save differs ") + when +
               FirstDifference(first, writer.Memory());
    return {};
}

inline std::string ReloadFault(CWorkbook& book, const std::string& binaryPath) {
    auto text = [](CWorkbook& b, std::string& out) {
        CXmlWriter writer;
        if (!WriteXmlWorkbook(b, writer)) return false;
        out = writer.Memory();
        return true;
    };
    std::string first, second;
    if (!text(book, first)) return "the XML save failed";
    auto again = CreateWorkbook();
    CXmlReader reader;
    reader.ResetMemory(first);
    if (!ReadXmlWorkbook(*again, reader)) {
        size_t from = 0;
        for (uint32_t line = 1; line < again->xmlErrorLine && from != std::string::npos; ++line)
            from = first.find('\n', from) + 1;
        return "the XML reload failed with " + std::to_string(again->error) + " at " +
               first.substr(from, std::min<size_t>(first.find('\n', from) - from, 200));
    }
    if (!text(*again, second)) return "the XML reload does not save";
    if (second != first) return "the XML reload differs" + FirstDifference(first, second);
    for (const std::string& fault :
         {SaveAgainFault(book, first, "when saved twice"),
          SaveAgainFault(*again, first, "when the reload is saved twice")})
        if (!fault.empty()) return fault;
    // The binary body: every record the binary form holds, without the header's stamp.
    struct Sink : CBodySink {
        std::string bytes;
        void Put(const uint8_t* p, uint32_t n) override { bytes.append(p, p + n); }
    } sink;
    ErrorCode error = kErrorNone;
    if (!SerializeWorkbookBody(book, sink, kBodyFull, error))
        return "the binary save failed with " + std::to_string(error);
    if (std::string fault = SaveAgainFault(book, first, "after the binary save"); !fault.empty())
        return fault;
    if (FILE* f = std::fopen(binaryPath.c_str(), "wb")) {
        std::fwrite(sink.bytes.data(), 1, sink.bytes.size(), f);
        std::fclose(f);
    }
    auto loaded = CreateWorkbook();
    if (!loaded->stream.Open(binaryPath.c_str(), "rb", false, kFileBufferSize) ||
        !ReadBinaryWorkbookBody(*loaded, loaded->stream, kNewestBodyVersion, nullptr))
        return "the binary reload failed with " + std::to_string(loaded->error);
    if (!text(*loaded, second)) return "the binary reload does not save";
    if (second != first) return "the binary reload differs" + FirstDifference(first, second);
    return {};
}

// As ReloadFault, and besides every record of the binary form must come back the same from
// the XML form and from the binary form.
inline std::string RecordFault(CWorkbook& book, const std::string& binaryPath) {
    auto text = [](CWorkbook& b, std::string& out) {
        CXmlWriter writer;
        if (!WriteXmlWorkbook(b, writer)) return false;
        out = writer.Memory();
        return true;
    };
    std::string first, second;
    if (!text(book, first)) return "the XML save failed";
    auto again = CreateWorkbook();
    CXmlReader reader;
    reader.ResetMemory(first);
    if (!ReadXmlWorkbook(*again, reader)) {
        size_t from = 0;
        for (uint32_t line = 1; line < again->xmlErrorLine && from != std::string::npos; ++line)
            from = first.find('\n', from) + 1;
        return "the XML reload failed with " + std::to_string(again->error) + " at " +
               first.substr(from, std::min<size_t>(first.find('\n', from) - from, 200));
    }
    if (!text(*again, second)) return "the XML reload does not save";
    if (second != first) return "the XML reload differs" + FirstDifference(first, second);
    for (const std::string& fault :
         {SaveAgainFault(book, first, "when saved twice"),
          SaveAgainFault(*again, first, "when the reload is saved twice")})
        if (!fault.empty()) return fault;
    // The binary body holds every record: the reloaded workbook must hold the same ones.
    std::string records, again_records;
    if (!BodyBytes(book, records)) return "the binary save failed";
    if (std::string fault = SaveAgainFault(book, first, "after the binary save"); !fault.empty())
        return fault;
    if (!BodyBytes(*again, again_records)) return "the binary save of the XML reload failed";
    if (again_records != records)
        return "the XML reload changes records at byte " + FirstByteApart(records, again_records);
    if (FILE* f = std::fopen(binaryPath.c_str(), "wb")) {
        std::fwrite(records.data(), 1, records.size(), f);
        std::fclose(f);
    }
    auto loaded = CreateWorkbook();
    if (!loaded->stream.Open(binaryPath.c_str(), "rb", false, kFileBufferSize) ||
        !ReadBinaryWorkbookBody(*loaded, loaded->stream, kNewestBodyVersion, nullptr))
        return "the binary reload failed with " + std::to_string(loaded->error);
    if (!text(*loaded, second)) return "the binary reload does not save";
    if (second != first) return "the binary reload differs" + FirstDifference(first, second);
    std::string loaded_records;
    if (!BodyBytes(*loaded, loaded_records)) return "the binary save of the binary reload failed";
    if (loaded_records != records)
        return "the binary reload changes records at byte " +
               FirstByteApart(records, loaded_records);
    return {};
}

} // namespace vl::reloadcheck
