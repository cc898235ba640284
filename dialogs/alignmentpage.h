#pragma once
// The alignment page: horizontal and vertical alignment, indents, what text wider than its
// cell does, and the rotation in steps of 10 degrees.

#include "dialogs/formatpage.h"
#include "dialogs/formatpageapi.h"

#include <memory>

namespace Ui {
class AlignmentPage;
}

namespace vl {

class CAlignmentPage : public CFormatPage {
public:
    static constexpr int kCommand = 33052;
    CAlignmentPage(QWidget* parent, const StyleRecord& style, ApplyStyleFn apply);
    ~CAlignmentPage() override;
    Ui::AlignmentPage& Form() { return *ui_; }
    const StyleRecord& Record() const { return record_; }

protected:
    void OnCopy() override;
    void OnPaste() override;
    bool ClipboardFilled() const override;

private:
    void Fill();
    void Read();
    void Change(uint8_t code);
    void ShowRotation(int position);

    std::unique_ptr<Ui::AlignmentPage> ui_;
    StyleRecord record_;
    ApplyStyleFn apply_;
};

} // namespace vl
