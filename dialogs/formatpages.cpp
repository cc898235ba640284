#include "dialogs/formatpages.h"

#include "dialogs/alignmentpage.h"
#include "dialogs/backgroundpage.h"
#include "dialogs/borderpage.h"
#include "dialogs/fontpage.h"
#include "dialogs/listpage.h"
#include "dialogs/stylepage.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>

namespace vl {

CFormatPages::~CFormatPages() {
    delete page_;
}

void CFormatPages::Show(CFormatPage* page, const QPoint& point) {
    page->ReturnFocusTo(returnFocus_);
    page_ = page;
    page->ShowAt(point);
}

void CFormatPages::NoteReturnFocus() {
    // The keyboard goes back to where it was when the user opened the page; a page opened
    // from another one hands on where that one came from.
    QWidget* focus = QApplication::focusWidget();
    const bool inPage = page_ && focus && (focus == page_ || page_->isAncestorOf(focus));
    if (inPage)
        returnFocus_ = page_->ReturnFocus();
    else if (focus && !qobject_cast<QMenuBar*>(focus) && !qobject_cast<QMenu*>(focus))
        returnFocus_ = focus;
    else
        returnFocus_ = nullptr;
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
    NoteReturnFocus();
    ClosePage();
    Show(new CStylePage(request.parent, format, std::move(apply)), request.point);
}

void CFormatPages::OpenFontPage(const FormatPageRequest& request, const ColoredFont& font,
                                ApplyFontFn apply) {
    NoteReturnFocus();
    ClosePage();
    Show(new CFontPage(request.parent, font, std::move(apply)), request.point);
}

void CFormatPages::OpenBorderPage(const FormatPageRequest& request, const StyleRecord& style,
                                  ApplyStyleFn apply) {
    NoteReturnFocus();
    ClosePage();
    Show(new CBorderPage(request.parent, style, std::move(apply)), request.point);
}

void CFormatPages::OpenAlignmentPage(const FormatPageRequest& request, const StyleRecord& style,
                                     ApplyStyleFn apply) {
    NoteReturnFocus();
    ClosePage();
    Show(new CAlignmentPage(request.parent, style, std::move(apply)), request.point);
}

void CFormatPages::OpenListPage(const FormatPageRequest& request, const StyleRecord& style,
                                DropDownListRecord* lists, ApplyStyleFn apply) {
    NoteReturnFocus();
    ClosePage();
    auto* page = new CListPage(request.parent, style, lists, std::move(apply));
    page->SetListRemoved(request.listRemoved);
    Show(page, request.point);
}

void CFormatPages::OpenBackgroundPage(const FormatPageRequest& request,
                                      const ViewSettingsRecord& view, ApplyBackgroundFn apply) {
    NoteReturnFocus();
    ClosePage();
    Show(new CBackgroundPage(request.parent, view, std::move(apply)), request.point);
}

} // namespace vl
