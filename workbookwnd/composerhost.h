#pragma once
// The formula composer's view of the workbooks: the active workbook window's selection and
// active cell, and the cell that receives a composed formula or its value.

#include "dialogs/composer.h"

#include <functional>

namespace vl {

class CWorkbookWnd;
class IWorkbookWnd;

class CComposerHost : public IComposerHost {
public:
    // `active` answers the frame's active workbook window, or null.
    explicit CComposerHost(std::function<IWorkbookWnd*()> active) : active_(std::move(active)) {}

    bool HasActiveWorkbook() const override;
    bool GetSelection(Selection& out) const override;
    bool InsertFormula(const std::string& text, bool asValue) override;

private:
    // The active window when it shows a worksheet in a view.
    CWorkbookWnd* Window() const;
    void ReplaceByValue(CWorkbookWnd& window);

    std::function<IWorkbookWnd*()> active_;
};

} // namespace vl
