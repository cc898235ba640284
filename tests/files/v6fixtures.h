#pragma once
// The version-6 files the tests load: the golden files of tests/data/v6 (each record of the
// form with distinct values), the malformed ones of tests/data/v6/bad with the error each
// must give, and small files built on the spot.

#include "v6writer.h"

#include <string>
#include <vector>

namespace vl::v6test {

struct V6Fixture {
    std::string name;
    V6File file;
};

struct V6BadFixture {
    std::string name; // "e<code>-<what>.vlb"
    Bytes bytes;
    int code;
};

// A worksheet body with nothing in it but the tables every body has.
V6Sheet MinimalSheet();
// A file of one worksheet "S" with a minimal body.
V6File MinimalFile();

// "book.vlb": lists, styles, fonts, folders and worksheets with something of every kind.
V6File RichFile();
// "styles600.vlb": more styles and fonts than a workbook can hold.
V6File ManyStylesFile();

std::vector<V6Fixture> GoldenFiles();
std::vector<V6BadFixture> BadFiles();

} // namespace vl::v6test
