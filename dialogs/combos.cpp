#include "dialogs/combos.h"

#include "dialogs/dialogutil.h"
#include "platform/core/screen.h"
#include "ui/uiservices.h"

#include <QAbstractItemView>
#include <QKeyEvent>

namespace vl {

namespace {

const char* const kColorNames[18] = {
    "black",     "dark red", "dark green", "light brown", "dark blue", "purple",
    "dark cyan", "gray",     "light gray", "red",         "green",     "yellow",
    "blue",      "magenta",  "cyan",       "white",       "default",   "custom"};

std::vector<uint32_t> CodeRange(uint32_t first, uint32_t last) {
    std::vector<uint32_t> codes;
    for (uint32_t c = first; c <= last; ++c) codes.push_back(c);
    return codes;
}

} // namespace

const std::array<COLORREF, 16>& PaletteColors() {
    static const std::array<COLORREF, 16> colors = [] {
        std::array<COLORREF, 16> table{};
        GetDefaultPalette16(table.data());
        return table;
    }();
    return colors;
}

uint32_t* SharedCustomColors() {
    static uint32_t table[16] = {
        Rgb(255, 255, 255), Rgb(255, 255, 255), Rgb(255, 255, 255), Rgb(255, 255, 255),
        Rgb(255, 255, 255), Rgb(255, 255, 255), Rgb(255, 255, 255), Rgb(255, 255, 255),
        Rgb(255, 255, 255), Rgb(255, 255, 255), Rgb(255, 255, 255), Rgb(255, 255, 255),
        Rgb(255, 255, 255), Rgb(255, 255, 255), Rgb(255, 255, 255), Rgb(255, 255, 255)};
    return table;
}

const char* ColorItemName(int index) {
    return index >= 0 && index < 18 ? kColorNames[index] : "";
}

const char* GetColorName(COLORREF color, bool absent) {
    if (absent) return "default";
    const auto& palette = PaletteColors();
    for (int i = 0; i < 16; ++i)
        if (palette[size_t(i)] == color) return kColorNames[i];
    return "custom";
}

uint32_t CDrawnCombo::ItemData(int index) const {
    return itemData(index).toUInt();
}

void CDrawnCombo::keyPressEvent(QKeyEvent* event) {
    if (OpenListOnDown(*this, *event)) return event->accept();
    QComboBox::keyPressEvent(event);
}

void CDrawnCombo::FillCodes(const std::vector<uint32_t>& codes) {
    clear();
    for (uint32_t code : codes) addItem(QString(), QVariant(code));
}

void CDrawnCombo::SelectData(uint32_t data) {
    for (int i = 0; i < count(); ++i) {
        if (ItemData(i) == data) {
            setCurrentIndex(i);
            return;
        }
    }
    setCurrentIndex(-1);
}

void CLineStyleCombo::Init(uint8_t code, bool withThickLines) {
    FillCodes(CodeRange(FORMAT_LINE_NULL,
                        withThickLines ? FORMAT_LINE_SOLID_3 : FORMAT_LINE_DASH_DOTDOT));
    stored_ = code;
    SelectData(code);
}

void CSymbolCombo::Init(uint8_t code) {
    FillCodes(CodeRange(1, 15));
    stored_ = code;
    SelectData(code);
}

void CPatternCombo::Init(uint8_t code, bool withPatterns, bool withGradients) {
    uint32_t last = FORMAT_PAT_SOLID;
    if (withPatterns) last = withGradients ? FORMAT_PAT_SYM_GRAD_HORZ : FORMAT_PAT_THIN_DCROSS;
    FillCodes(CodeRange(FORMAT_PAT_NONE, last));
    stored_ = code;
    SelectData(code);
}

void CColorCombo::Init(COLORREF color, COLORREF defaultColor, bool selectDefault) {
    if (count() == 0) {
        for (COLORREF c : PaletteColors()) addItem(QString(), QVariant(uint32_t(c)));
        addItem(QString(), QVariant(uint32_t(defaultColor)));
        addItem(QString(), QVariant(uint32_t(color)));
    } else {
        setItemData(kCustomItem, QVariant(uint32_t(color)));
    }
    stored_ = color;
    if (selectDefault)
        setCurrentIndex(kDefaultItem);
    else
        SelectData(color);
}

COLORREF CColorCombo::GetColor() const {
    return currentIndex() < 0 ? stored_ : ItemData(currentIndex());
}

void CColorCombo::hidePopup() {
    // Qt also calls this when the box itself is hidden, as when its page closes: only a
    // list the user had open asks for a colour.
    const bool wasOpen = view()->isVisible();
    QComboBox::hidePopup();
    if (!wasOpen) return;
    // An item picked in the list by Return or a click becomes current only after the list
    // has closed: what is current is asked once that is through.
    QMetaObject::invokeMethod(
        this, [this] { ChooseCustomIfCurrent(); }, Qt::QueuedConnection);
}

void CColorCombo::keyPressEvent(QKeyEvent* event) {
    const int before = currentIndex();
    CDrawnCombo::keyPressEvent(event);
    // Up, End or Page Down under the closed field reached "custom": its colour is asked for
    // as when it is picked in the list, not taken unseen. Asked once the key is through.
    if (before != kCustomItem && currentIndex() == kCustomItem && !view()->isVisible())
        QMetaObject::invokeMethod(
            this, [this] { ChooseCustomIfCurrent(); }, Qt::QueuedConnection);
}

void CColorCombo::ChooseCustomIfCurrent() {
    if (currentIndex() != kCustomItem) return;
    uint32_t chosen = stored_;
    if (!UiServices().ChooseColor(chosen, SharedCustomColors())) return;
    stored_ = chosen;
    setItemData(kCustomItem, QVariant(uint32_t(chosen)));
    if (onCustomChosen) onCustomChosen();
}

uint8_t GetComboItemData(const CLineStyleCombo& combo) {
    const int i = combo.currentIndex();
    return i < 0 ? combo.Stored() : uint8_t(combo.ItemData(i));
}

uint8_t GetComboItemData(const CSymbolCombo& combo) {
    const int i = combo.currentIndex();
    return i < 0 ? combo.Stored() : uint8_t(combo.ItemData(i));
}

uint8_t GetComboItemData(const CPatternCombo& combo) {
    const int i = combo.currentIndex();
    return i < 0 ? combo.Stored() : uint8_t(combo.ItemData(i));
}

void GetLineFormatFromCombos(const CLineStyleCombo& style, const CColorCombo& color,
                             BorderLine& line) {
    line.style = GetComboItemData(style);
    line.color = color.GetColor();
    line.colorGiven = color.IsDefault() ? 0 : 1;
}

void GetFillFormatFromCombos(const CPatternCombo& pattern, const CColorCombo& patternColor,
                             const CColorCombo& backgroundColor, InteriorFill& fill) {
    fill.pattern = GetComboItemData(pattern);
    fill.patternColor = patternColor.GetColor();
    fill.patternColorGiven = patternColor.IsDefault() ? 0 : 1;
    fill.backgroundColor = backgroundColor.GetColor();
    fill.backgroundColorGiven = backgroundColor.IsDefault() ? 0 : 1;
}

} // namespace vl
