// The bus table of the formatting, page-setup and Application interfaces: IFormatInfo,
// IPageInfo, IDocuments, IOptions and the IWorksheet methods that use the first two or print.
#include "automation/dbus/dbusformatmethods.h"

#include "automation/dbus/dbusserver.h"
#include "automation/dbus/dbusvalues.h"

#include <QDBusObjectPath>

namespace vl {

namespace {

using Call = CDBusCall;

constexpr std::string_view W = kWorksheetInterface;
constexpr std::string_view FI = kFormatInfoInterface;
constexpr std::string_view PI = kPageInfoInterface;
constexpr std::string_view D = kDocumentsInterface;
constexpr std::string_view O = kOptionsInterface;

IWorksheet& Sheet(Call& c) {
    return *c.object->QueryWorksheet();
}
IFormatInfo& Format(Call& c) {
    return *c.object->QueryFormatInfo();
}
IPageInfo& Page(Call& c) {
    return *c.object->QueryPageInfo();
}
IDocuments& Docs(Call& c) {
    return *c.object->QueryDocuments();
}
IOptions& Options(Call& c) {
    return *c.object->QueryOptions();
}

// An object a method made, published to the caller with one reference.
HRESULT Publish(Call& c, HRESULT hr, const std::shared_ptr<IAutomationObject>& object) {
    // A failed open releases the Workbook it made: an error reply carries no path.
    if (Failed(hr) || !object) return Failed(hr) ? hr : E_FAIL;
    c.Out(QVariant::fromValue(QDBusObjectPath(c.server.Publish(object, c.caller))));
    return hr;
}

template <HRESULT (IWorksheet::*M)(std::shared_ptr<IAutomationObject>&)>
HRESULT SheetMake(Call& c) {
    std::shared_ptr<IAutomationObject> made;
    const HRESULT hr = (Sheet(c).*M)(made);
    return Publish(c, hr, made);
}
template <HRESULT (IDocuments::*M)(std::shared_ptr<IAutomationObject>&)> HRESULT DocsMake(Call& c) {
    std::shared_ptr<IAutomationObject> made;
    const HRESULT hr = (Docs(c).*M)(made);
    return Publish(c, hr, made);
}

HRESULT FormatRange(Call& c) {
    IAutomationObject* info = nullptr;
    if (!c.Object(2, info) || !info || !info->QueryFormatInfo()) return E_INVALIDARG;
    return Sheet(c).format(c.Bstr(0), c.Int(1), info->QueryFormatInfo());
}

template <HRESULT (IWorksheet::*M)(IPageInfo*)> HRESULT PageSettings(Call& c) {
    IAutomationObject* info = nullptr;
    if (!c.Object(0, info) || !info || !info->QueryPageInfo()) return E_INVALIDARG;
    return (Sheet(c).*M)(info->QueryPageInfo());
}

HRESULT GetMargins(Call& c) {
    double left = 0, top = 0, right = 0, bottom = 0;
    const HRESULT hr = Page(c).GetMargins(left, top, right, bottom);
    for (double d : {left, top, right, bottom}) c.Out(d);
    return hr;
}

HRESULT SetData(Call& c) {
    HRESULT hr = S_OK;
    std::shared_ptr<CSafeArray> data = c.List(0, hr);
    if (!data) return E_FAIL;
    return Page(c).SetData(data.get());
}

HRESULT GetData(Call& c) {
    std::shared_ptr<CSafeArray> data = CSafeArray::Create({{0, kPageRecordBytes}});
    if (!data) return E_OUTOFMEMORY;
    const HRESULT hr = Page(c).GetData(data.get());
    if (Succeeded(hr) && !c.OutList(*data)) return E_FAIL;
    return hr;
}

HRESULT Open(Call& c) {
    std::shared_ptr<IAutomationObject> made;
    const HRESULT hr = Docs(c).Open(c.Bstr(0), c.Bstr(1), made);
    return Publish(c, hr, made);
}

HRESULT OpenTextFile(Call& c) {
    IAutomationObject* info = nullptr;
    if (!c.Object(1, info) || (info && !info->QueryTextFileInfo())) return E_INVALIDARG;
    std::shared_ptr<IAutomationObject> made;
    const HRESULT hr =
        Docs(c).OpenTextFile(c.Bstr(0), info ? info->QueryTextFileInfo() : nullptr, made);
    return Publish(c, hr, made);
}

HRESULT OpenDatabase(Call& c) {
    IAutomationObject* info = nullptr;
    if (!c.Object(1, info) || (info && !info->QueryXBaseInfo())) return E_INVALIDARG;
    std::shared_ptr<IAutomationObject> made;
    const HRESULT hr =
        Docs(c).OpenDatabase(c.Bstr(0), info ? info->QueryXBaseInfo() : nullptr, made);
    return Publish(c, hr, made);
}

HRESULT OpenExcelFile(Call& c) {
    std::shared_ptr<IAutomationObject> made;
    const HRESULT hr = Docs(c).OpenExcelFile(c.Bstr(0), made);
    return Publish(c, hr, made);
}

template <HRESULT (IOptions::*M)(std::shared_ptr<CSafeArray>&)> HRESULT GetTexts(Call& c) {
    std::shared_ptr<CSafeArray> list;
    const HRESULT hr = (Options(c).*M)(list);
    if (Succeeded(hr) && (!list || !c.OutList(*list))) return E_FAIL;
    return hr;
}

template <HRESULT (IOptions::*M)(const CSafeArray*)> HRESULT SetTexts(Call& c) {
    HRESULT hr = S_OK;
    std::shared_ptr<CSafeArray> list = c.List(0, hr);
    if (!list) return hr;
    return (Options(c).*M)(list.get());
}

HRESULT GetOptions(Call& c) {
    std::shared_ptr<IAutomationObject> options;
    const HRESULT hr = Docs(c).get_Options(options);
    // The same object on its own path, as WorksheetTree.
    if (Succeeded(hr)) c.Out(QVariant::fromValue(QDBusObjectPath(c.path)));
    return hr;
}

HRESULT PutOptions(Call& c) {
    IAutomationObject* target = nullptr;
    if (!c.Object(0, target) || (target && !target->QueryOptions())) return E_INVALIDARG;
    return Docs(c).put_Options(target ? target->QueryOptions() : nullptr);
}

// The properties of a FormatInfo: integers, unsigned colours, and the font name.
template <HRESULT (IFormatInfo::*G)(int32_t&)> HRESULT GetInt(Call& c) {
    int32_t v = 0;
    const HRESULT hr = (Format(c).*G)(v);
    c.Out(v);
    return hr;
}
template <HRESULT (IFormatInfo::*S)(int32_t)> HRESULT PutInt(Call& c) {
    return (Format(c).*S)(c.Int(0));
}
template <HRESULT (IFormatInfo::*G)(uint32_t&)> HRESULT GetColor(Call& c) {
    uint32_t v = 0;
    const HRESULT hr = (Format(c).*G)(v);
    c.Out(QVariant::fromValue(uint(v)));
    return hr;
}
template <HRESULT (IFormatInfo::*S)(uint32_t)> HRESULT PutColor(Call& c) {
    return (Format(c).*S)(c.UInt(0));
}
HRESULT GetFontName(Call& c) {
    CBstr name;
    const HRESULT hr = Format(c).get_fontName(name);
    c.OutBstr(name);
    return hr;
}

} // namespace

void AppendFormatMethods(std::vector<DBusMethod>& methods) {
    const std::vector<DBusMethod> added = {
        {W,
         "CreateFormatInfo",
         {},
         {{"info", "o"}},
         false,
         SheetMake<&IWorksheet::CreateFormatInfo>},
        {W, "format", {{"range", "s"}, {"formatType", "i"}, {"info", "o"}}, {}, false, FormatRange},
        {W, "CreatePageInfo", {}, {{"info", "o"}}, false, SheetMake<&IWorksheet::CreatePageInfo>},
        {W,
         "GetPageSettings",
         {{"info", "o"}},
         {},
         false,
         PageSettings<&IWorksheet::GetPageSettings>},
        {W,
         "SetPageSettings",
         {{"info", "o"}},
         {},
         false,
         PageSettings<&IWorksheet::SetPageSettings>},
        {W, "PrintAll", {}, {}, true, [](Call& c) { return Sheet(c).PrintAll(); }},
        {W,
         "PrintRange",
         {{"range", "s"}},
         {},
         true,
         [](Call& c) { return Sheet(c).PrintRange(c.Bstr(0)); }},
        {W,
         "PrintPages",
         {{"pages", "s"}},
         {},
         true,
         [](Call& c) { return Sheet(c).PrintPages(c.Bstr(0)); }},
        {W,
         "PrintContainer",
         {{"containerId", "i"}},
         {},
         true,
         [](Call& c) { return Sheet(c).PrintContainer(c.Int(0)); }},
        {PI,
         "GetMargins",
         {},
         {{"left", "d"}, {"top", "d"}, {"right", "d"}, {"bottom", "d"}},
         false,
         GetMargins},
        {PI,
         "SetMargins",
         {{"left", "d"}, {"top", "d"}, {"right", "d"}, {"bottom", "d"}},
         {},
         false,
         [](Call& c) { return Page(c).SetMargins(c.Real(0), c.Real(1), c.Real(2), c.Real(3)); }},
        {PI, "SetData", {{"data", "(ia(qv))"}}, {}, false, SetData},
        {PI, "GetData", {}, {{"data", "(ia(qv))"}}, false, GetData},
        {D, "CreateXBaseInfo", {}, {{"info", "o"}}, false, DocsMake<&IDocuments::CreateXBaseInfo>},
        {D,
         "CreateTextFileInfo",
         {},
         {{"info", "o"}},
         false,
         DocsMake<&IDocuments::CreateTextFileInfo>},
        {D, "New", {}, {{"workbook", "o"}}, false, DocsMake<&IDocuments::New>},
        {D, "Open", {{"path", "s"}, {"password", "s"}}, {{"workbook", "o"}}, false, Open},
        {D,
         "OpenTextFile",
         {{"path", "s"}, {"textFileInfo", "o"}},
         {{"workbook", "o"}},
         false,
         OpenTextFile},
        {D,
         "OpenDatabase",
         {{"path", "s"}, {"xbaseInfo", "o"}},
         {{"workbook", "o"}},
         false,
         OpenDatabase},
        {D, "OpenExcelFile", {{"path", "s"}}, {{"workbook", "o"}}, false, OpenExcelFile},
        {O, "GetStyles", {}, {{"styles", "(ia(qv))"}}, false, GetTexts<&IOptions::GetStyles>},
        {O, "SetStyles", {{"styles", "(ia(qv))"}}, {}, false, SetTexts<&IOptions::SetStyles>},
        {O,
         "GetBookmarks",
         {},
         {{"bookmarks", "(ia(qv))"}},
         false,
         GetTexts<&IOptions::GetBookmarks>},
        {O,
         "SetBookmarks",
         {{"bookmarks", "(ia(qv))"}},
         {},
         false,
         SetTexts<&IOptions::SetBookmarks>},
        {O,
         "LoadProfile",
         {{"path", "s"}},
         {},
         false,
         [](Call& c) { return Options(c).LoadProfile(c.Bstr(0)); }},
        {O,
         "SaveProfile",
         {{"path", "s"}},
         {},
         false,
         [](Call& c) { return Options(c).SaveProfile(c.Bstr(0)); }},
    };
    methods.insert(methods.end(), added.begin(), added.end());
}

void AppendFormatProperties(std::vector<DBusProperty>& properties) {
    using F = IFormatInfo;
    const std::vector<DBusProperty> added = {
        {FI, "fontName", "s", GetFontName,
         [](Call& c) { return Format(c).put_fontName(c.Bstr(0)); }},
        {FI, "fontSize", "i", GetInt<&F::get_fontSize>, PutInt<&F::put_fontSize>},
        {FI, "boldFont", "i", GetInt<&F::get_boldFont>, PutInt<&F::put_boldFont>},
        {FI, "italicFont", "i", GetInt<&F::get_italicFont>, PutInt<&F::put_italicFont>},
        {FI, "underlineFont", "i", GetInt<&F::get_underlineFont>, PutInt<&F::put_underlineFont>},
        {FI, "strikeoutFont", "i", GetInt<&F::get_strikeoutFont>, PutInt<&F::put_strikeoutFont>},
        {FI, "fontColor", "u", GetColor<&F::get_fontColor>, PutColor<&F::put_fontColor>},
        {FI, "styleID", "i", GetInt<&F::get_styleID>, PutInt<&F::put_styleID>},
        {FI, "fillType", "i", GetInt<&F::get_fillType>, PutInt<&F::put_fillType>},
        {FI, "fillPatternColor", "u", GetColor<&F::get_fillPatternColor>,
         PutColor<&F::put_fillPatternColor>},
        {FI, "fillBackgroundColor", "u", GetColor<&F::get_fillBackgroundColor>,
         PutColor<&F::put_fillBackgroundColor>},
        {FI, "borderType", "i", GetInt<&F::get_borderType>, PutInt<&F::put_borderType>},
        {FI, "borderColor", "u", GetColor<&F::get_borderColor>, PutColor<&F::put_borderColor>},
        {FI, "borderPosition", "i", GetInt<&F::get_borderPosition>, PutInt<&F::put_borderPosition>},
        {D, "Options", "o", GetOptions, PutOptions},
    };
    properties.insert(properties.end(), added.begin(), added.end());
}

} // namespace vl
