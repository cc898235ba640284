#pragma once
// Drop-down lists that show a drawn sample of each choice: line styles, chart symbols, fill
// patterns and colours. An item is nothing but its data (a code, or a colour); the list and
// the closed field paint it. Pages read the choice back into line and fill records.

#include "model/stylerecords.h"

#include <QComboBox>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class QImage;

namespace vl {

class CDeviceContext;

// The item height of every drawn list: the system font's text height plus its external
// leading plus 2 pixels.
int GetComboItemHeight();

class CDrawnCombo : public QComboBox {
public:
    explicit CDrawnCombo(QWidget* parent = nullptr);
    uint32_t ItemData(int index) const;
    // Paints item `index` (-1: the empty list's focus mark) into the context, whose origin
    // is the item's top-left corner.
    void PaintItem(CDeviceContext& dc, int width, int height, int index, bool selected) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Down opens the closed list instead of stepping the choice under the closed field.
    void keyPressEvent(QKeyEvent* event) override;
    // Empties the list and adds the codes, each as its item's data.
    void FillCodes(const std::vector<uint32_t>& codes);
    // Selects the first item whose data equals `data`; none when no item has it.
    void SelectData(uint32_t data);
    virtual void DrawItem(CDeviceContext& dc, int width, int height, int index,
                          uint32_t data) const = 0;
};

class CLineStyleCombo : public CDrawnCombo {
public:
    using CDrawnCombo::CDrawnCombo;
    // Codes 0 to 5, then 6 to 8 with the thick lines.
    void Init(uint8_t code, bool withThickLines);
    uint8_t Stored() const { return stored_; }

protected:
    void DrawItem(CDeviceContext& dc, int width, int height, int index,
                  uint32_t data) const override;

private:
    uint8_t stored_ = 0;
};

class CSymbolCombo : public CDrawnCombo {
public:
    using CDrawnCombo::CDrawnCombo;
    // Codes 1 to 15.
    void Init(uint8_t code);
    uint8_t Stored() const { return stored_; }

protected:
    void DrawItem(CDeviceContext& dc, int width, int height, int index,
                  uint32_t data) const override;

private:
    uint8_t stored_ = 4;
};

class CPatternCombo : public CDrawnCombo {
public:
    using CDrawnCombo::CDrawnCombo;
    // Codes 0 and 1; 2 to 18 with the patterns; 19 to 22 when gradients come with them.
    void Init(uint8_t code, bool withPatterns, bool withGradients);
    uint8_t Stored() const { return stored_; }

protected:
    void DrawItem(CDeviceContext& dc, int width, int height, int index,
                  uint32_t data) const override;

private:
    uint8_t stored_ = 0;
};

// The sixteen palette colours, then "default" (16) and "custom" (17).
class CColorCombo : public CDrawnCombo {
public:
    static constexpr int kDefaultItem = 16;
    static constexpr int kCustomItem = 17;
    using CDrawnCombo::CDrawnCombo;
    // The first call fills the list with `defaultColor` as "default"; later ones only
    // change the custom entry. `selectDefault` selects "default" whatever the colour.
    void Init(COLORREF color, COLORREF defaultColor, bool selectDefault);
    COLORREF GetColor() const;
    bool IsDefault() const { return currentIndex() == kDefaultItem; }
    // Called after a colour was chosen through "custom".
    std::function<void()> onCustomChosen;
    // Closing the list on "custom" (picked there, or current) opens the colour chooser.
    void hidePopup() override;
    // Room for the swatch and the longest colour name beside it.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void DrawItem(CDeviceContext& dc, int width, int height, int index,
                  uint32_t data) const override;
    // A key that steps the closed field onto "custom" opens the colour chooser too.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ChooseCustomIfCurrent();

    COLORREF stored_ = 0;
};

// The selected item's code, or the combo's stored code when none is selected.
uint8_t GetComboItemData(const CLineStyleCombo& combo);
uint8_t GetComboItemData(const CSymbolCombo& combo);
uint8_t GetComboItemData(const CPatternCombo& combo);
void GetLineFormatFromCombos(const CLineStyleCombo& style, const CColorCombo& color,
                             BorderLine& line);
void GetFillFormatFromCombos(const CPatternCombo& pattern, const CColorCombo& patternColor,
                             const CColorCombo& backgroundColor, InteriorFill& fill);
// "default" when absent; else the name of the first palette colour equal to it, or
// "custom".
const char* GetColorName(COLORREF color, bool absent);
// The name an item of the colour list shows ("black" to "custom").
const char* ColorItemName(int index);
// The palette colours in list order.
const std::array<COLORREF, 16>& PaletteColors();
// The custom colours every colour chooser of the combos shares, white at start.
uint32_t* SharedCustomColors();

// One symbol's strokes: closed polygons and open lines as point lists around (cx, cy).
struct SymbolPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const SymbolPoint&) const = default;
};
struct SymbolStroke {
    bool polygon = false; // else each pair of points is a line without its end pixel
    std::vector<SymbolPoint> points;
};
std::vector<SymbolStroke> SymbolShape(uint8_t code, int32_t cx, int32_t cy);

} // namespace vl
