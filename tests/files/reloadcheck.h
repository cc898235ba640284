#pragma once
// Whether a loaded workbook keeps what it holds through the other forms: saved as XML and
// loaded again, and its binary body written to a file and read again, it writes the same XML
// text as before; the binary form gives back every record byte for byte, and the XML form
// the records it carries. Shared by the reader tests, the mutation benchmark and the fuzz
// targets of the readers.

#include "files/binarybody.h"
#include "files/bodyio.h"
#include "files/xmlworkbook.h"
#include "model/workbook.h"
#include "tests/files/carried/xmlcarried.h"

#include <algorithm>
#include <cstdio>
#include <memory>
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

// The binary body of a workbook: every record the binary form holds. A failed save leaves
// its error code in `error` when one is asked for.
inline bool BodyBytes(CWorkbook& book, std::string& out, ErrorCode* error = nullptr) {
    struct Sink : CBodySink {
        std::string bytes;
        void Put(const uint8_t* p, uint32_t n) override { bytes.append(p, p + n); }
    } sink;
    ErrorCode failure = kErrorNone;
    if (!SerializeWorkbookBody(book, sink, kBodyFull, failure)) {
        if (error) *error = failure;
        return false;
    }
    out = std::move(sink.bytes);
    return true;
}

constexpr uint8_t kNewestBodyVersion = 3;

inline bool XmlText(CWorkbook& book, std::string& out) {
    CXmlWriter writer;
    if (!WriteXmlWorkbook(book, writer)) return false;
    out = writer.Memory();
    return true;
}

// Whether saving as XML again gives the bytes `first` of the first save: saving must change
// nothing it writes. `when` names the save in the fault.
inline std::string SaveAgainFault(CWorkbook& book, const std::string& first, const char* when) {
    std::string again;
    if (!XmlText(book, again)) return std::string("the XML save failed ") + when;
    if (again != first)
        return std::string("the XML save differs ") + when + FirstDifference(first, again);
    return {};
}

// The workbook saved as XML into `first` and loaded again into `again`, which must save the
// same text; the first step that broke, or empty.
inline std::string XmlReloadFault(CWorkbook& book, std::string& first,
                                  std::unique_ptr<CWorkbook>& again) {
    std::string second;
    if (!XmlText(book, first)) return "the XML save failed";
    again = CreateWorkbook();
    CXmlReader reader;
    reader.ResetMemory(first);
    if (!ReadXmlWorkbook(*again, reader)) {
        size_t from = 0;
        for (uint32_t line = 1; line < again->xmlErrorLine && from != std::string::npos; ++line)
            from = first.find('\n', from) + 1;
        return "the XML reload failed with " + std::to_string(again->error) + " at " +
               first.substr(from, std::min<size_t>(first.find('\n', from) - from, 200));
    }
    if (!XmlText(*again, second)) return "the XML reload does not save";
    if (second != first) return "the XML reload differs" + FirstDifference(first, second);
    // Saving again, the workbook or its reload, gives the same bytes once more.
    if (std::string fault = SaveAgainFault(book, first, "when saved twice"); !fault.empty())
        return fault;
    return SaveAgainFault(*again, first, "when the reload is saved twice");
}

// The binary body written to the file and read again into `loaded`, which must save the XML
// text `first`; the first step that broke, or empty.
inline std::string BinaryReloadFault(const std::string& records, const std::string& binaryPath,
                                     const std::string& first, std::unique_ptr<CWorkbook>& loaded) {
    if (FILE* f = std::fopen(binaryPath.c_str(), "wb")) {
        std::fwrite(records.data(), 1, records.size(), f);
        std::fclose(f);
    }
    loaded = CreateWorkbook();
    if (!loaded->stream.Open(binaryPath.c_str(), "rb", false, kFileBufferSize) ||
        !ReadBinaryWorkbookBody(*loaded, loaded->stream, kNewestBodyVersion, nullptr))
        return "the binary reload failed with " + std::to_string(loaded->error);
    std::string second;
    if (!XmlText(*loaded, second)) return "the binary reload does not save";
    if (second != first) return "the binary reload differs" + FirstDifference(first, second);
    return {};
}

// The first step that broke, or empty when the workbook came back whole.
inline std::string ReloadFault(CWorkbook& book, const std::string& binaryPath) {
    std::string first;
    std::unique_ptr<CWorkbook> again, loaded;
    if (std::string fault = XmlReloadFault(book, first, again); !fault.empty()) return fault;
    // The binary body: every record the binary form holds, without the header's stamp.
    std::string records;
    ErrorCode error = kErrorNone;
    if (!BodyBytes(book, records, &error))
        return "the binary save failed with " + std::to_string(error);
    if (std::string fault = SaveAgainFault(book, first, "after the binary save"); !fault.empty())
        return fault;
    return BinaryReloadFault(records, binaryPath, first, loaded);
}

// The records check across forms: whether `a` and `b` hold the same records as far as the
// XML form carries them. Both are brought to what an XML save and load gives back
// (`KeepXmlCarried`, whose comment lists every field and bit it rewrites) and their binary
// bodies, which hold every record, are compared byte for byte: document fields, lists, fonts,
// styles, inspected cells, the tree, and per worksheet its containers, charts and series,
// column table, row entries, style runs, cell records, page setup and view. Both workbooks
// are changed. The first byte apart, or empty.
inline std::string CarriedRecordsFault(CWorkbook& a, CWorkbook& b) {
    if (!KeepXmlCarried(a) || !KeepXmlCarried(b)) return "out of memory carrying the records";
    std::string bodyA, bodyB;
    if (!BodyBytes(a, bodyA) || !BodyBytes(b, bodyB)) return "the binary save failed";
    if (bodyA != bodyB)
        return "the XML form carries other records at byte " + FirstByteApart(bodyA, bodyB);
    return {};
}

// As ReloadFault, and besides: the binary reload gives back every record of the binary form
// byte for byte, and the XML reload the same records as far as the XML form carries them.
inline std::string RecordFault(CWorkbook& book, const std::string& binaryPath) {
    std::string first;
    std::unique_ptr<CWorkbook> again, loaded;
    if (std::string fault = XmlReloadFault(book, first, again); !fault.empty()) return fault;
    std::string records;
    if (!BodyBytes(book, records)) return "the binary save failed";
    if (std::string fault = SaveAgainFault(book, first, "after the binary save"); !fault.empty())
        return fault;
    if (std::string fault = BinaryReloadFault(records, binaryPath, first, loaded); !fault.empty())
        return fault;
    std::string loaded_records;
    if (!BodyBytes(*loaded, loaded_records)) return "the binary save of the binary reload failed";
    if (loaded_records != records)
        return "the binary reload changes records at byte " +
               FirstByteApart(records, loaded_records);
    return CarriedRecordsFault(*again, *loaded);
}

} // namespace vl::reloadcheck
