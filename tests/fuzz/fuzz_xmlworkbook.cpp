// Whole documents through the XML workbook reader: no crash, no hang, no read past the
// text. A document that loads must save, load again and save to the same bytes.
#include "files/xmlworkbook.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace {

std::string Save(vl::CWorkbook& book) {
    vl::CXmlWriter writer;
    if (!vl::WriteXmlWorkbook(book, writer)) __builtin_trap();
    return writer.Memory();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size heap copy, so that any read past the document is caught.
    std::unique_ptr<char[]> bytes(new char[size ? size : 1]);
    if (size) std::memcpy(bytes.get(), data, size);
    auto book = vl::CreateWorkbook();
    vl::CXmlReader reader;
    reader.ResetMemory(std::string_view(bytes.get(), size));
    if (!vl::ReadXmlWorkbook(*book, reader)) {
        if (book->error == 0 || reader.ErrorLine() == 0) __builtin_trap();
        return 0;
    }
    const std::string first = Save(*book);
    auto again = vl::CreateWorkbook();
    reader.ResetMemory(first);
    if (!vl::ReadXmlWorkbook(*again, reader)) __builtin_trap();
    if (Save(*again) != first) __builtin_trap();
    return 0;
}
