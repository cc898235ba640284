#include "dialogs/composerpane.h"
#include "dialogs/formatpageapi.h"

namespace vl {

namespace {
IFormatPages* g_pages = nullptr;
IComposerPane* g_composer = nullptr;
} // namespace

IComposerPane* ComposerPane() {
    return g_composer;
}

void SetComposerPane(IComposerPane* pane) {
    g_composer = pane;
}

IFormatPages* FormatPages() {
    return g_pages;
}

void SetFormatPages(IFormatPages* pages) {
    g_pages = pages;
}

} // namespace vl
