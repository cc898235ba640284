// The formatting and page-setup methods of IWorksheet: one attribute of a FormatInfo object
// applied to a range, and the page-setup record read into or written from a PageInfo object.
#include "automation/documentservices.h"
#include "automation/formatinfo.h"
#include "automation/pageinfo.h"
#include "automation/workbookobj.h"
#include "formula/edit/formatcommands.h"
#include "model/formatattribute.h"
#include "model/workbook.h"
#include "values/formatdefaults.h"

#include <cstring>

namespace vl {

namespace {

constexpr int32_t kUserDefinedKind = STD_STYLE_USER_DEFINED;

// Every property of the object in slot order into a font and a style, colours given.
bool ReadFormatInfo(IFormatInfo& info, FontRecord& font, StyleRecord& style) {
    CBstr name;
    int32_t size = 0, bold = 0, italic = 0, underline = 0, strikeout = 0, id = 0, fill = 0,
            line = 0, position = 0;
    uint32_t fontColor = 0, pattern = 0, background = 0, border = 0;
    std::string ansi;
    if (info.get_fontName(name) != S_OK || !name.ToAnsi(sizeof font.faceName, ansi) ||
        info.get_fontSize(size) != S_OK || info.get_boldFont(bold) != S_OK ||
        info.get_italicFont(italic) != S_OK || info.get_underlineFont(underline) != S_OK ||
        info.get_strikeoutFont(strikeout) != S_OK || info.get_fontColor(fontColor) != S_OK ||
        info.get_styleID(id) != S_OK || info.get_fillType(fill) != S_OK ||
        info.get_fillPatternColor(pattern) != S_OK ||
        info.get_fillBackgroundColor(background) != S_OK || info.get_borderType(line) != S_OK ||
        info.get_borderColor(border) != S_OK || info.get_borderPosition(position) != S_OK)
        return false;
    std::memcpy(font.faceName, ansi.data(), ansi.size());
    font.size = uint8_t(size);
    font.weight = bold ? 2 : 0;
    font.italic = italic ? 1 : 0;
    font.underline = underline ? 1 : 0;
    font.strikeout = strikeout ? 1 : 0;
    style.fontRef = {0, 1, fontColor};
    style.numberFormat.kind = uint8_t(id);
    style.fill = {uint8_t(fill), 1, pattern, 1, background};
    style.borderSides = uint8_t(position);
    style.borderLine = {uint8_t(line), 1, border};
    return true;
}

} // namespace

HRESULT CWorkbookObj::CreateFormatInfo(std::shared_ptr<IAutomationObject>& info) {
    std::shared_ptr<CFormatInfoObj> obj;
    if (CFormatInfoObj::Create(obj) != S_OK) return E_FAIL;
    info = std::move(obj);
    return S_OK;
}

HRESULT CWorkbookObj::format(const CBstr& text, int32_t formatType, IFormatInfo* info) {
    FontRecord font;
    StyleRecord style;
    if (!info || !ReadFormatInfo(*info, font, style)) return E_FAIL;
    if (formatType == kAttrNumberFormat || formatType == kAttrNumberFormatCode) {
        int32_t kind = style.numberFormat.kind;
        if (kind == kUserDefinedKind) kind = STD_STYLE_DEFAULT;
        if (kind > kUserDefinedKind) return S_OK;
        style.numberFormat = DefaultStandardFormat(uint8_t(kind));
    }
    CWorksheet* sheet = nullptr;
    CellRange r;
    if (const HRESULT hr = PrepareCells(text, sheet, r); hr != S_OK) return hr;
    if (formatType < 1 || formatType > kAttrProtection) return S_OK;
    if (!ApplyFormatToRange(*doc_, *sheet, r, uint8_t(formatType), style, font))
        return E_OUTOFMEMORY;
    if (formatType == kAttrFontSize || formatType == kAttrFontName || formatType == kAttrFont)
        if (IDocumentServices* services = GetDocumentServices())
            services->AutoFitRows(*doc_, *sheet, r.r1, r.r2);
    doc_->CompactStyleTables();
    return S_OK;
}

HRESULT CWorkbookObj::CreatePageInfo(std::shared_ptr<IAutomationObject>& info) {
    std::shared_ptr<CPageInfoObj> obj;
    if (CPageInfoObj::Create(obj) != S_OK) return E_FAIL;
    info = std::move(obj);
    return S_OK;
}

HRESULT CWorkbookObj::GetPageSettings(IPageInfo* info) {
    HRESULT hr = S_OK;
    CWorksheet* sheet = ActiveSheet(hr);
    if (!sheet) return hr;
    if (!info) return E_INVALIDARG;
    uint8_t bytes[kPageSetupRecordSize];
    WritePageSetupRecord(bytes, sheet->pageSetup);
    std::shared_ptr<CSafeArray> array = PageRecordArray(bytes);
    if (!array) return E_OUTOFMEMORY;
    return info->SetData(array.get()) == S_OK ? S_OK : E_FAIL;
}

HRESULT CWorkbookObj::SetPageSettings(IPageInfo* info) {
    HRESULT hr = S_OK;
    CWorksheet* sheet = ActiveSheet(hr);
    if (!sheet) return hr;
    if (!info) return E_INVALIDARG;
    std::shared_ptr<CSafeArray> array = CSafeArray::Create({{0, kPageSetupRecordSize}});
    if (!array) return E_OUTOFMEMORY;
    uint8_t bytes[kPageSetupRecordSize];
    if (info->GetData(array.get()) != S_OK || !ReadPageRecordArray(*array, bytes)) return E_FAIL;
    // A record printing would refuse (no pages per sheet divides by zero) changes nothing.
    PageSetupRecord page;
    ReadPageSetupRecord(bytes, page);
    if (!IsPrintablePageSetup(page)) return E_INVALIDARG;
    sheet->pageSetup = page;
    return S_OK;
}

} // namespace vl
