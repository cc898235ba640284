#pragma once
// Format pages that open nothing: a test's double overrides only what it watches.

#include "dialogs/formatpageapi.h"

namespace vl {

class IdleFormatPages : public IFormatPages {
public:
    void OpenStylePage(const FormatPageRequest&, const StandardFormat&,
                       ApplyNumberFormatFn) override {}
    void OpenFontPage(const FormatPageRequest&, const ColoredFont&, ApplyFontFn) override {}
    void OpenBorderPage(const FormatPageRequest&, const StyleRecord&, ApplyStyleFn) override {}
    void OpenAlignmentPage(const FormatPageRequest&, const StyleRecord&, ApplyStyleFn) override {}
    void OpenListPage(const FormatPageRequest&, const StyleRecord&, DropDownListRecord*,
                      ApplyStyleFn) override {}
    void OpenBackgroundPage(const FormatPageRequest&, const ViewSettingsRecord&,
                            ApplyBackgroundFn) override {}
    int OpenPageCommand() const override { return 0; }
    void ClosePage() override {}
};

} // namespace vl
