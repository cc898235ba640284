#include "app/formatpages.h"

namespace vl {

namespace {
IFormatPages* g_pages = nullptr;
}

IFormatPages* FormatPages() {
    return g_pages;
}

void SetFormatPages(IFormatPages* pages) {
    g_pages = pages;
}

} // namespace vl
