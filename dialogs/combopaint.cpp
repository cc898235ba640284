// Painting the items of the drawn lists: each item is drawn through a device context into an
// image of the item's size, which the list and the closed field then show.

#include "dialogs/combos.h"
#include "platform/gui/devicecontext.h"
#include "render/canvas.h"

#include <QImage>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cstdio>

namespace vl {

namespace {

class CItemDelegate : public QStyledItemDelegate {
public:
    explicit CItemDelegate(CDrawnCombo* combo) : QStyledItemDelegate(combo), combo_(combo) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QImage image(option.rect.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            auto dc = CDeviceContext::ForImage(image);
            combo_->PaintItem(*dc, image.width(), image.height(), index.row(),
                              (option.state & QStyle::State_Selected) != 0);
        }
        painter->drawImage(option.rect.topLeft(), image);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(option.rect.width(), GetComboItemHeight());
    }

private:
    CDrawnCombo* combo_;
};

// Text of one line, vertically centred, from x on.
void DrawItemText(CDeviceContext& dc, int32_t x, int height, const char* text) {
    DcSize size;
    dc.GetTextExtent(text, size);
    dc.TextOut(x, (height - size.cy) / 2, text);
}

// The outline of a rectangle whose right and bottom lie outside it.
void Outline(CDeviceContext& dc, int32_t l, int32_t t, int32_t r, int32_t b) {
    dc.MoveTo(l, t);
    dc.LineTo(r - 1, t);
    dc.LineTo(r - 1, b - 1);
    dc.LineTo(l, b - 1);
    dc.LineTo(l, t);
}

void SelectSolidPen(CDeviceContext& dc, COLORREF color) {
    DcPen pen;
    pen.color = color;
    dc.SelectPen(pen);
}

void FillGradientRect(CDeviceContext& dc, int32_t l, int32_t t, int32_t r, int32_t b, uint8_t code,
                      COLORREF first, COLORREF second) {
    switch (code) {
    case FORMAT_PAT_GRAD_VERT:
        dc.GradientFillRect(l, t, r, b, first, second, true);
        break;
    case FORMAT_PAT_GRAD_HORZ:
        dc.GradientFillRect(l, t, r, b, first, second, false);
        break;
    case FORMAT_PAT_SYM_GRAD_VERT: {
        const int32_t m = (t + b) / 2;
        dc.GradientFillRect(l, t, r, m, first, second, true);
        dc.GradientFillRect(l, m, r, b, second, first, true);
        break;
    }
    case FORMAT_PAT_SYM_GRAD_HORZ: {
        const int32_t m = (l + r) / 2;
        dc.GradientFillRect(l, t, m, b, first, second, false);
        dc.GradientFillRect(m, t, r, b, second, first, false);
        break;
    }
    default:
        break;
    }
}

} // namespace

int GetComboItemHeight() {
    static const int height = [] {
        const DcFont font = DcFont::Create(StockLogFont());
        return font.Metrics().height() + font.Metrics().leading() + 2;
    }();
    return height;
}

CDrawnCombo::CDrawnCombo(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new CItemDelegate(this));
}

void CDrawnCombo::PaintItem(CDeviceContext& dc, int width, int height, int index,
                            bool selected) const {
    const int level = dc.SaveDC();
    if (index < 0) {
        DcPen pen;
        pen.style = PS_DOT;
        dc.SelectPen(pen);
        dc.SelectBrush(DcBrush{DcBrush::kNull, 0, nullptr});
        Outline(dc, 0, 0, width, height);
        dc.RestoreDC(level);
        return;
    }
    const COLORREF back = selected ? GetSystemColor(kColorHighlight) : Rgb(255, 255, 255);
    dc.SelectBrush(DcBrush{DcBrush::kSolid, back, nullptr});
    dc.PatBlt(0, 0, width, height, PATCOPY);
    dc.SelectBrush(DcBrush{DcBrush::kSolid, Rgb(255, 255, 255), nullptr});
    dc.SetTextColor(GetSystemColor(selected ? kColorHighlightText : kColorWindowText));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    DrawItem(dc, width, height, index, ItemData(index));
    dc.RestoreDC(level);
}

void CDrawnCombo::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (field.isEmpty()) return;
    QImage image(field.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        auto dc = CDeviceContext::ForImage(image);
        PaintItem(*dc, image.width(), image.height(), currentIndex(), hasFocus());
    }
    painter.drawImage(field.topLeft(), image);
}

void CLineStyleCombo::DrawItem(CDeviceContext& dc, int width, int height, int,
                               uint32_t data) const {
    const uint8_t code = uint8_t(data);
    if (code == FORMAT_LINE_NULL) {
        DrawItemText(dc, 5, height, "None");
        return;
    }
    CCanvas canvas;
    canvas.AttachDC(&dc);
    canvas.SetPen(code, dc.GetTextColor(), 100);
    const int32_t penWidth = dc.CurrentPen().width;
    const int32_t y = height / 2 - penWidth / 2 - 1;
    canvas.DrawLine(5, y, width - 5, y);
}

std::vector<SymbolStroke> SymbolShape(uint8_t code, int32_t cx, int32_t cy) {
    static const int kSizes[16] = {0, 1, 3, 5, 7, 9, 5, 7, 9, 5, 7, 9, 7, 9, 7, 9};
    if (code < 1 || code > 15) return {};
    const int32_t h = kSizes[code] / 2;
    auto at = [&](int32_t dx, int32_t dy) { return SymbolPoint{cx + dx, cy + dy}; };
    if (code == 1) return {{false, {at(0, 0)}}};
    if (code <= 5) return {{true, {at(-h, -h), at(h, -h), at(h, h), at(-h, h), at(-h, -h)}}};
    if (code <= 8) return {{true, {at(-h, 0), at(0, -h), at(h, 0), at(0, h), at(-h, 0)}}};
    if (code <= 11) {
        const int32_t a = code == 11 ? 4 : code == 10 ? 3 : 2; // the outer offset
        const int32_t b = code == 11 ? 2 : 1;                  // the inner one
        const int32_t c = code == 11 ? 2 : 1;                  // where the slopes meet
        return {{true,
                 {at(-a, b), at(-a, -b), at(-c, -a), at(c, -a), at(a, -b), at(a, b), at(c, a),
                  at(-c, a), at(-a, b)}}};
    }
    std::vector<SymbolPoint> lines;
    if (code <= 13) {
        lines = {at(0, -h), at(0, h + 1), at(-h, 0), at(h + 1, 0)};
    }
    lines.push_back(at(-h + 1, -h + 1));
    lines.push_back(at(h, h));
    lines.push_back(at(-h + 1, h - 1));
    lines.push_back(at(h, -h));
    return {{false, lines}};
}

void CSymbolCombo::DrawItem(CDeviceContext& dc, int width, int height, int index,
                            uint32_t data) const {
    char number[16];
    std::snprintf(number, sizeof number, "%2d.", index + 1);
    DrawItemText(dc, 0, height, number);
    CCanvas canvas;
    canvas.AttachDC(&dc);
    canvas.SetPen(FORMAT_LINE_SOLID, dc.GetTextColor(), 100);
    for (const SymbolStroke& stroke : SymbolShape(uint8_t(data), width / 2, height / 2)) {
        std::vector<DcPoint> points;
        for (const SymbolPoint& p : stroke.points) points.push_back({p.x, p.y});
        if (stroke.polygon)
            canvas.DrawPolygon(points.data(), int(points.size()));
        else if (points.size() == 1)
            canvas.SetPixel(points[0].x, points[0].y);
        else
            for (size_t i = 0; i + 1 < points.size(); i += 2)
                canvas.DrawLine(points[i].x, points[i].y, points[i + 1].x, points[i + 1].y);
    }
}

void CPatternCombo::DrawItem(CDeviceContext& dc, int width, int height, int, uint32_t data) const {
    const int32_t l = 2, t = 2, r = width - 2, b = height - 2;
    const uint8_t code = uint8_t(data);
    if (code == FORMAT_PAT_NONE) {
        DrawItemText(dc, l, height, "None");
        return;
    }
    SelectSolidPen(dc, dc.GetTextColor());
    const COLORREF window = GetSystemColor(kColorWindow);
    if (code >= FORMAT_PAT_GRAD_VERT) {
        FillGradientRect(dc, l, t, r, b, code, GetSystemColor(kColorButtonShadow), window);
    } else {
        CCanvas canvas;
        canvas.AttachDC(&dc);
        canvas.SelectFillPattern(code, GetSystemColor(kColorWindowText), window);
        if (code == FORMAT_PAT_SOLID) canvas.SelectFillPattern(code, window, window);
        dc.PatBlt(l, t, r - l, b - t, PATCOPY);
        canvas.Release();
    }
    dc.SelectBrush(DcBrush{DcBrush::kNull, 0, nullptr});
    Outline(dc, l, t, r, b);
}

QSize CColorCombo::sizeHint() const {
    const DcFont font = DcFont::Create(StockLogFont());
    int widest = 0;
    for (int i = 0; i <= kCustomItem; ++i)
        widest = std::max(widest, font.Metrics().horizontalAdvance(ColorItemName(i)));
    // The item's text starts at 32 and is clipped 2 short of its right end.
    const QSize content(32 + widest + 2, GetComboItemHeight());
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_ComboBox, &option, content, this);
}

void CColorCombo::DrawItem(CDeviceContext& dc, int width, int height, int index,
                           uint32_t data) const {
    SelectSolidPen(dc, dc.GetTextColor());
    dc.SelectBrush(DcBrush{DcBrush::kSolid, COLORREF(data), nullptr});
    dc.PatBlt(2, 3, 25, height - 5, PATCOPY);
    dc.SelectBrush(DcBrush{DcBrush::kNull, 0, nullptr});
    Outline(dc, 2, 3, 27, height - 2);
    dc.IntersectClipRect(32, 0, width - 2, height);
    DrawItemText(dc, 32, height, ColorItemName(index));
}

} // namespace vl
