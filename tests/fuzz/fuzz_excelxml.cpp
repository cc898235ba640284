// Whole documents through the Excel 2003 XML import: no crash, no hang, no read past the
// text. A document that loads must export, import again and export to the same bytes.
#include "exchange/excelxml.h"
#include "harness.h"

namespace {

using vl::fuzz::Require;

std::string Export(vl::CWorkbook& book) {
    vl::CXmlWriter writer;
    Require(vl::WriteExcelXml(book, writer));
    return writer.Memory();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const vl::fuzz::ExactCopy bytes(data, size);
    auto book = vl::CreateWorkbook();
    vl::CXmlReader reader;
    reader.ResetMemory(bytes.View());
    if (!vl::ReadExcelXml(*book, reader, nullptr)) {
        Require(book->error != 0);
        return 0;
    }
    const std::string first = Export(*book);
    auto again = vl::CreateWorkbook();
    reader.ResetMemory(first);
    Require(vl::ReadExcelXml(*again, reader, nullptr));
    Require(Export(*again) == first);
    return 0;
}
