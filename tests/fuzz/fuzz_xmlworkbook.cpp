// Whole documents through the XML workbook reader: no crash, no hang, no read past the
// text. A document that loads must save, load again and save to the same bytes.
#include "files/xmlworkbook.h"
#include "harness.h"

namespace {

using vl::fuzz::Require;

std::string Save(vl::CWorkbook& book) {
    vl::CXmlWriter writer;
    Require(vl::WriteXmlWorkbook(book, writer));
    return writer.Memory();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const vl::fuzz::ExactCopy bytes(data, size);
    auto book = vl::CreateWorkbook();
    vl::CXmlReader reader;
    reader.ResetMemory(bytes.View());
    if (!vl::ReadXmlWorkbook(*book, reader)) {
        Require(book->error != 0 && reader.ErrorLine() != 0);
        return 0;
    }
    const std::string first = Save(*book);
    auto again = vl::CreateWorkbook();
    reader.ResetMemory(first);
    Require(vl::ReadXmlWorkbook(*again, reader));
    Require(Save(*again) == first);
    return 0;
}
