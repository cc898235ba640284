#include "dialogs/formatpages.h"

#include "dialogs/alignmentpage.h"
#include "dialogs/backgroundpage.h"
#include "dialogs/borderpage.h"
#include "dialogs/fontpage.h"
#include "dialogs/listpage.h"
#include "dialogs/stylepage.h"

namespace vl {

CFormatPages::~CFormatPages() {
    delete page_;
}

void CFormatPages::Show(CFormatPage* page, const QPoint& point) {
    page_ = page;
    page->ShowAt(point);
}

void CFormatPages::ClosePage() {
    // Gone at once, so that the next page is alone and the frame's buttons see it closed.
    delete page_;
}

int CFormatPages::OpenPageCommand() const {
    return page_ && page_->isVisible() ? page_->Command() : 0;
}

void CFormatPages::OpenStylePage(const FormatPageRequest& request, const StandardFormat& format,
                                 ApplyNumberFormatFn apply) {
    ClosePage();
    Show(new CStylePage(request.parent, format, std::move(apply)), request.point);
}

void CFormatPages::OpenFontPage(const FormatPageRequest& request, const ColoredFont& font,
                                ApplyFontFn apply) {
    ClosePage();
    Show(new CFontPage(request.parent, font, std::move(apply)), request.point);
}

void CFormatPages::OpenBorderPage(const FormatPageRequest& request, const StyleRecord& style,
                                  ApplyStyleFn apply) {
    ClosePage();
    Show(new CBorderPage(request.parent, style, std::move(apply)), request.point);
}

void CFormatPages::OpenAlignmentPage(const FormatPageRequest& request, const StyleRecord& style,
                                     ApplyStyleFn apply) {
    ClosePage();
    Show(new CAlignmentPage(request.parent, style, std::move(apply)), request.point);
}

void CFormatPages::OpenListPage(const FormatPageRequest& request, const StyleRecord& style,
                                DropDownListRecord* lists, ApplyStyleFn apply) {
    ClosePage();
    Show(new CListPage(request.parent, style, lists, std::move(apply)), request.point);
}

void CFormatPages::OpenBackgroundPage(const FormatPageRequest& request,
                                      const ViewSettingsRecord& view, ApplyBackgroundFn apply) {
    ClosePage();
    Show(new CBackgroundPage(request.parent, view, std::move(apply)), request.point);
}

} // namespace vl
