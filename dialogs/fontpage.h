#pragma once
// The font page: face, size, bold, italic, underline, strikeout and colour of the selection,
// each change applied at once with its attribute code.

#include "dialogs/formatpage.h"
#include "dialogs/formatpageapi.h"

#include <memory>

namespace Ui {
class FontPage;
}

namespace vl {

class CFontPage : public CFormatPage {
public:
    static constexpr int kCommand = 57696;
    CFontPage(QWidget* parent, const ColoredFont& font, ApplyFontFn apply);
    ~CFontPage() override;
    Ui::FontPage& Form() { return *ui_; }
    const ColoredFont& Record() const { return record_; }
    // The faces offered: smoothly scalable families, each once, sorted without case.
    static QStringList Faces();

protected:
    void OnCopy() override;
    void OnPaste() override;
    bool ClipboardFilled() const override;

private:
    void Fill();
    void Read();
    void Change(uint8_t code);

    std::unique_ptr<Ui::FontPage> ui_;
    ColoredFont record_;
    ApplyFontFn apply_;
    bool filling_ = false;
};

} // namespace vl
