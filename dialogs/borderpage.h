#pragma once
// The cell page: the border line and the sides of a cell that carry it, chosen on a
// clickable preview, and the cell interior.

#include "dialogs/formatpage.h"
#include "dialogs/formatpageapi.h"

#include <QWidget>
#include <memory>

namespace Ui {
class BorderPage;
}

namespace vl {

class CBorderPage;

// The preview of a cell's sides; a press toggles the side under it.
class CCellBorderWnd : public QWidget {
public:
    CCellBorderWnd(CBorderPage& page, QWidget* parent);
    // The side bit a press at the point toggles, 0 for none.
    static uint8_t SideAt(const QRect& client, const QPoint& point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    CBorderPage& page_;
};

class CBorderPage : public CFormatPage {
public:
    static constexpr int kCommand = 33051;
    CBorderPage(QWidget* parent, const StyleRecord& style, ApplyStyleFn apply);
    ~CBorderPage() override;
    Ui::BorderPage& Form() { return *ui_; }
    const StyleRecord& Record() const { return record_; }
    CCellBorderWnd* Preview() const { return preview_; }
    // Flips the side bits and applies the borders.
    void ToggleSides(uint8_t bits);

protected:
    void OnCopy() override;
    void OnPaste() override;
    bool ClipboardFilled() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Fill();
    // Read the line boxes, or the interior boxes, and apply the attribute `code` of the
    // control that changed.
    void ApplyBorder(uint8_t code);
    void ApplyInterior(uint8_t code);
    void FillWithoutPattern();
    void SetSides(uint8_t sides, uint8_t code);

    std::unique_ptr<Ui::BorderPage> ui_;
    StyleRecord record_;
    ApplyStyleFn apply_;
    CCellBorderWnd* preview_;
};

} // namespace vl
