#include "dialogs/formatpageapi.h"

namespace vl {

namespace {
IFormatPages* g_pages = nullptr;
} // namespace

IFormatPages* FormatPages() {
    return g_pages;
}

void SetFormatPages(IFormatPages* pages) {
    g_pages = pages;
}

} // namespace vl
