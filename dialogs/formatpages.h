#pragma once
// The format pages behind the frame's page interface: one page open at a time, each a new
// window of its kind.

#include "dialogs/formatpage.h"
#include "dialogs/formatpageapi.h"

#include <QPointer>

namespace vl {

class CFormatPages : public IFormatPages {
public:
    ~CFormatPages() override;
    void OpenStylePage(const FormatPageRequest& request, const StandardFormat& format,
                       ApplyNumberFormatFn apply) override;
    void OpenFontPage(const FormatPageRequest& request, const ColoredFont& font,
                      ApplyFontFn apply) override;
    void OpenBorderPage(const FormatPageRequest& request, const StyleRecord& style,
                        ApplyStyleFn apply) override;
    void OpenAlignmentPage(const FormatPageRequest& request, const StyleRecord& style,
                           ApplyStyleFn apply) override;
    void OpenListPage(const FormatPageRequest& request, const StyleRecord& style,
                      DropDownListRecord* lists, ApplyStyleFn apply) override;
    void OpenBackgroundPage(const FormatPageRequest& request, const ViewSettingsRecord& view,
                            ApplyBackgroundFn apply) override;
    int OpenPageCommand() const override;
    void ClosePage() override;
    // The page that is open, null when none is.
    CFormatPage* Page() const { return page_; }

private:
    void NoteReturnFocus();
    void Show(CFormatPage* page, const QPoint& point);

    QPointer<CFormatPage> page_;
    QPointer<QWidget> returnFocus_;
};

} // namespace vl
