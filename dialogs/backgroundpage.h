#pragma once
// The worksheet page: the background behind the cells (nothing, a pattern or an image) and
// the gridlines with their colour.

#include "dialogs/formatpage.h"
#include "dialogs/formatpageapi.h"

#include <memory>

namespace Ui {
class BackgroundPage;
}

namespace vl {

class CBackgroundPage : public CFormatPage {
public:
    static constexpr int kCommand = 32813;
    CBackgroundPage(QWidget* parent, const ViewSettingsRecord& view, ApplyBackgroundFn apply);
    ~CBackgroundPage() override;
    Ui::BackgroundPage& Form() { return *ui_; }
    const ViewSettingsRecord& Record() const { return record_; }
    // Chooses the image through the UI services' file chooser.
    void Browse();

protected:
    void OnCopy() override;
    void OnPaste() override;
    bool ClipboardFilled() const override;

private:
    void Fill();
    // False when the path does not fit the record; nothing is then read.
    bool Read();
    void Change();

    std::unique_ptr<Ui::BackgroundPage> ui_;
    ViewSettingsRecord record_;
    ApplyBackgroundFn apply_;
};

} // namespace vl
