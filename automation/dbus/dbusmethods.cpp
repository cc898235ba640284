#include "automation/dbus/dbusmethods.h"

#include "automation/dbus/dbusformatmethods.h"
#include "automation/dbus/dbusserver.h"
#include "automation/dbus/dbusvalues.h"
#include "automation/typelib.h"
#include "platform/com/errorinfo.h"

#include <QDBusObjectPath>

namespace vl {

namespace {

using Call = CDBusCall;

IWorksheet& Sheet(Call& c) {
    return *c.object->QueryWorksheet();
}
ITree& Tree(Call& c) {
    return *c.object->QueryTree();
}
ITextFileInfo& TextInfo(Call& c) {
    return *c.object->QueryTextFileInfo();
}
IXBaseInfo& XBase(Call& c) {
    return *c.object->QueryXBaseInfo();
}

// A getter of one integer or one string of an information object.
template <class I, I& (*Of)(Call&), HRESULT (I::*M)(int32_t&)> HRESULT InfoInt(Call& c) {
    int32_t value = 0;
    const HRESULT hr = (Of(c).*M)(value);
    c.Out(value);
    return hr;
}
template <HRESULT (ITextFileInfo::*M)(CBstr&)> HRESULT TextInfoText(Call& c) {
    CBstr text;
    const HRESULT hr = (TextInfo(c).*M)(text);
    c.OutBstr(text);
    return hr;
}

HRESULT SetColumnWidths(Call& c) {
    HRESULT hr = S_OK;
    std::shared_ptr<CSafeArray> widths = c.List(0, hr);
    if (!widths) return hr;
    return TextInfo(c).SetColumnWidths(widths.get());
}

HRESULT GetColumnWidths(Call& c) {
    std::shared_ptr<CSafeArray> widths;
    const HRESULT hr = TextInfo(c).GetColumnWidths(widths);
    if (Succeeded(hr) && (!widths || !c.OutList(*widths))) return E_FAIL;
    return hr;
}

HRESULT SetField(Call& c) {
    return XBase(c).SetField(c.Int(0), c.Bstr(1), c.Byte(2), c.Int(3), c.Int(4));
}

HRESULT GetField(Call& c) {
    CBstr name;
    uint8_t type = 0;
    int32_t length = 0, decimals = 0;
    const HRESULT hr = XBase(c).GetField(c.Int(0), name, type, length, decimals);
    c.OutBstr(name);
    c.Out(QVariant::fromValue(uchar(type)));
    c.Out(length);
    c.Out(decimals);
    return hr;
}

// A method of one string argument and no output, such as SaveAs.
template <HRESULT (IWorksheet::*M)(const CBstr&)> HRESULT SheetOfText(Call& c) {
    return (Sheet(c).*M)(c.Bstr(0));
}
// An item method with one integer output.
template <HRESULT (ITree::*M)(int32_t, int32_t&)> HRESULT TreeItemInt(Call& c) {
    int32_t result = -1;
    const HRESULT hr = (Tree(c).*M)(c.Int(0), result);
    c.Out(result);
    return hr;
}
template <HRESULT (ITree::*M)(int32_t, CBstr&)> HRESULT TreeItemText(Call& c) {
    CBstr text;
    const HRESULT hr = (Tree(c).*M)(c.Int(0), text);
    c.OutBstr(text);
    return hr;
}

HRESULT Load(Call& c) {
    IAutomationObject *text = nullptr, *xbase = nullptr;
    if (!c.Object(3, text) || !c.Object(4, xbase)) return E_INVALIDARG;
    ITextFileInfo* textInfo = text ? text->QueryTextFileInfo() : nullptr;
    IXBaseInfo* xbaseInfo = xbase ? xbase->QueryXBaseInfo() : nullptr;
    if ((text && !textInfo) || (xbase && !xbaseInfo)) return E_INVALIDARG;
    const HRESULT hr = Sheet(c).Load(c.Bstr(0), c.Bstr(1), c.Int(2), textInfo, xbaseInfo);
    // A success code with error information (an import that left texts out, and how many)
    // answers 1 and the message: a bus client has no error object to ask afterwards.
    std::optional<ErrorInfo> info;
    if (hr == S_FALSE) info = TakeErrorInfo();
    const std::string message = info ? info->description : std::string();
    c.Out(QString::fromUtf8(message.data(), qsizetype(message.size())));
    return hr;
}

HRESULT SaveAsDatabase(Call& c) {
    IAutomationObject* info = nullptr;
    if (!c.Object(1, info) || (info && !info->QueryXBaseInfo())) return E_INVALIDARG;
    return Sheet(c).SaveAsDatabase(c.Bstr(0), info ? info->QueryXBaseInfo() : nullptr);
}

HRESULT SaveAsTextFile(Call& c) {
    IAutomationObject* info = nullptr;
    if (!c.Object(1, info) || (info && !info->QueryTextFileInfo())) return E_INVALIDARG;
    return Sheet(c).SaveAsTextFile(c.Bstr(0), info ? info->QueryTextFileInfo() : nullptr);
}

HRESULT GetProtection(Call& c) {
    CBstr password;
    int32_t readOnly = 0;
    const HRESULT hr = Sheet(c).GetProtection(password, readOnly);
    c.OutBstr(password);
    c.Out(readOnly);
    return hr;
}

HRESULT GetValue(Call& c) {
    CVariant value;
    const HRESULT hr = Sheet(c).GetValue(c.Bstr(0), value);
    if (Succeeded(hr) && !c.OutVariant(value)) return E_FAIL;
    return hr;
}

HRESULT PutValue(Call& c) {
    CVariant value;
    if (!c.Variant(1, value)) return E_INVALIDARG;
    return Sheet(c).PutValue(c.Bstr(0), value);
}

HRESULT GetFormula(Call& c) {
    CBstr formula;
    const HRESULT hr = Sheet(c).GetFormula(c.Bstr(0), formula);
    c.OutBstr(formula);
    return hr;
}

HRESULT GetRange(Call& c) {
    std::shared_ptr<CSafeArray> table;
    const HRESULT hr = Sheet(c).GetRange(c.Bstr(0), table);
    if (Succeeded(hr) && (!table || !c.OutTable(*table))) return E_FAIL;
    return hr;
}

HRESULT PutRange(Call& c) {
    HRESULT hr = S_OK;
    std::shared_ptr<CSafeArray> table = c.Table(1, hr);
    if (!table) return hr;
    return Sheet(c).PutRange(c.Bstr(0), table.get());
}

HRESULT GetStyleID(Call& c) {
    int32_t id = 0;
    const HRESULT hr = Sheet(c).GetStyleID(c.Bstr(0), id);
    c.Out(id);
    return hr;
}

HRESULT GetWorksheetTree(Call& c) {
    std::shared_ptr<ITree> tree;
    const HRESULT hr = Sheet(c).get_WorksheetTree(tree);
    if (Succeeded(hr)) c.Out(QVariant::fromValue(QDBusObjectPath(c.path)));
    return hr;
}

HRESULT PutWorksheetTree(Call& c) {
    IAutomationObject* target = nullptr;
    if (!c.Object(0, target) || (target && !target->QueryTree())) return E_INVALIDARG;
    return Sheet(c).put_WorksheetTree(target ? target->QueryTree() : nullptr);
}

HRESULT InsertItem(Call& c) {
    int32_t index = -1;
    const HRESULT hr = Tree(c).InsertItem(c.Int(0), c.Int(1), c.Bstr(2), index);
    c.Out(index);
    return hr;
}

HRESULT GetItemCount(Call& c) {
    int32_t count = 0;
    const HRESULT hr = Tree(c).GetItemCount(count);
    c.Out(count);
    return hr;
}

HRESULT GetItemIndex(Call& c) {
    int32_t index = -1;
    const HRESULT hr = Tree(c).GetItemIndex(c.Bstr(0), index);
    c.Out(index);
    return hr;
}

HRESULT GetActiveWorksheet(Call& c) {
    CBstr path;
    const HRESULT hr = Tree(c).GetActiveWorksheet(path);
    c.OutBstr(path);
    return hr;
}

HRESULT CreateObject(Call& c) {
    QString path;
    const HRESULT hr = c.server.CreateObject(c.Bstr(0), c.caller, path);
    if (Succeeded(hr)) c.Out(QVariant::fromValue(QDBusObjectPath(path)));
    return hr;
}

HRESULT GetConstants(Call& c) {
    QList<DBusConstant> list;
    for (const TypeLibConstant& k : TypeLibConstants())
        list.append({QString::fromLatin1(k.enumeration.data(), qsizetype(k.enumeration.size())),
                     QString::fromLatin1(k.member.data(), qsizetype(k.member.size())), k.value});
    c.Out(QVariant::fromValue(list));
    return S_OK;
}

HRESULT AddRef(Call& c) {
    uint32_t count = 0;
    const HRESULT hr = c.server.AddRef(c.path, c.caller, count);
    c.Out(count);
    return hr;
}

HRESULT Release(Call& c) {
    uint32_t count = 0;
    const HRESULT hr = c.server.Release(c.path, c.caller, count);
    c.Out(count);
    return hr;
}

HRESULT SupportsErrorInfo(Call& c) {
    Guid iid;
    if (!ParseGuid(c.Bstr(0).Utf8(), iid)) return E_INVALIDARG;
    return c.object->InterfaceSupportsErrorInfo(iid);
}

constexpr std::string_view W = kWorksheetInterface;
constexpr std::string_view T = kTreeInterface;
constexpr std::string_view F = kTextFileInfoInterface;
constexpr std::string_view X = kXBaseInfoInterface;

const std::vector<DBusMethod>& Methods() {
    static const std::vector<DBusMethod> methods = [] {
        std::vector<DBusMethod> all = {
            {kRootInterface,
             "CreateObject",
             {{"progid", "s"}},
             {{"object", "o"}},
             false,
             CreateObject},
            {kRootInterface, "GetConstants", {}, {{"constants", "a(ssi)"}}, false, GetConstants},
            {kUnknownInterface, "AddRef", {}, {{"count", "u"}}, false, AddRef},
            {kUnknownInterface, "Release", {}, {{"count", "u"}}, false, Release},
            {kErrorInfoInterface,
             "InterfaceSupportsErrorInfo",
             {{"iid", "s"}},
             {},
             true,
             SupportsErrorInfo},
            {W, "NewDocument", {}, {}, false, [](Call& c) { return Sheet(c).NewDocument(); }},
            {W,
             "UpdateWorksheet",
             {},
             {},
             false,
             [](Call& c) { return Sheet(c).UpdateWorksheet(); }},
            {W,
             "Load",
             {{"path", "s"},
              {"password", "s"},
              {"format", "i"},
              {"textFileInfo", "o"},
              {"xbaseInfo", "o"}},
             {{"message", "s"}},
             true,
             Load},
            {W, "Save", {}, {}, true, [](Call& c) { return Sheet(c).Save(); }},
            {W, "SaveAs", {{"path", "s"}}, {}, true, SheetOfText<&IWorksheet::SaveAs>},
            {W, "SaveAsDatabase", {{"path", "s"}, {"xbaseInfo", "o"}}, {}, true, SaveAsDatabase},
            {W, "SaveAsTextFile", {{"path", "s"}, {"textFileInfo", "o"}}, {}, true, SaveAsTextFile},
            {W,
             "SaveAsExcelFile",
             {{"path", "s"}},
             {},
             true,
             SheetOfText<&IWorksheet::SaveAsExcelFile>},
            {W,
             "GetProtection",
             {},
             {{"password", "s"}, {"allowReadOnly", "i"}},
             false,
             GetProtection},
            {W,
             "SetProtection",
             {{"password", "s"}, {"allowReadOnly", "i"}},
             {},
             true,
             [](Call& c) { return Sheet(c).SetProtection(c.Bstr(0), c.Int(1)); }},
            {W,
             "SaveRangeAsImage",
             {{"range", "s"}, {"path", "s"}, {"gamma", "d"}},
             {},
             false,
             [](Call& c) { return Sheet(c).SaveRangeAsImage(c.Bstr(0), c.Bstr(1), c.Real(2)); }},
            {W,
             "SaveContainerAsImage",
             {{"container_id", "i"}, {"path", "s"}, {"gamma", "d"}},
             {},
             false,
             [](Call& c) { return Sheet(c).SaveContainerAsImage(c.Int(0), c.Bstr(1), c.Real(2)); }},
            {W,
             "Clear",
             {{"range", "s"}, {"clearType", "i"}},
             {},
             false,
             [](Call& c) { return Sheet(c).Clear(c.Bstr(0), c.Int(1)); }},
            {W, "GetValue", {{"cell", "s"}}, {{"value", "(qv)"}}, false, GetValue},
            {W, "PutValue", {{"cell", "s"}, {"value", "(qv)"}}, {}, false, PutValue},
            {W, "GetFormula", {{"cell", "s"}}, {{"formula", "s"}}, true, GetFormula},
            {W,
             "PutFormula",
             {{"cell", "s"}, {"formula", "s"}},
             {},
             false,
             [](Call& c) { return Sheet(c).PutFormula(c.Bstr(0), c.Bstr(1)); }},
            {W, "GetRange", {{"range", "s"}}, {{"values", "(ia(ia(qv)))"}}, false, GetRange},
            {W, "PutRange", {{"range", "s"}, {"values", "(ia(ia(qv)))"}}, {}, false, PutRange},
            {W, "GetStyleID", {{"cell", "s"}}, {{"id", "i"}}, false, GetStyleID},
            {W,
             "PutStyleID",
             {{"cell", "s"}, {"id", "i"}},
             {},
             false,
             [](Call& c) { return Sheet(c).PutStyleID(c.Bstr(0), c.Int(1)); }},
            {T, "GetItemCount", {}, {{"count", "i"}}, false, GetItemCount},
            {T,
             "GetFirstChildOf",
             {{"folder", "i"}},
             {{"child", "i"}},
             true,
             TreeItemInt<&ITree::GetFirstChildOf>},
            {T,
             "GetNextItem",
             {{"curItem", "i"}},
             {{"next", "i"}},
             true,
             TreeItemInt<&ITree::GetNextItem>},
            {T,
             "GetPreviousItem",
             {{"curItem", "i"}},
             {{"previous", "i"}},
             true,
             TreeItemInt<&ITree::GetPreviousItem>},
            {T,
             "InsertItem",
             {{"insertAt", "i"}, {"type", "i"}, {"name", "s"}},
             {{"index", "i"}},
             true,
             InsertItem},
            {T,
             "DeleteItem",
             {{"item", "i"}},
             {},
             true,
             [](Call& c) { return Tree(c).DeleteItem(c.Int(0)); }},
            {T,
             "GetItemName",
             {{"item", "i"}},
             {{"name", "s"}},
             true,
             TreeItemText<&ITree::GetItemName>},
            {T,
             "SetItemName",
             {{"item", "i"}, {"name", "s"}},
             {},
             true,
             [](Call& c) { return Tree(c).SetItemName(c.Int(0), c.Bstr(1)); }},
            {T,
             "IsWorksheet",
             {{"item", "i"}},
             {{"result", "i"}},
             true,
             TreeItemInt<&ITree::IsWorksheet>},
            {T,
             "IsFolder",
             {{"item", "i"}},
             {{"result", "i"}},
             true,
             TreeItemInt<&ITree::IsFolder>},
            {T,
             "GetItemPath",
             {{"item", "i"}},
             {{"path", "s"}},
             true,
             TreeItemText<&ITree::GetItemPath>},
            {T, "GetItemIndex", {{"path", "s"}}, {{"index", "i"}}, true, GetItemIndex},
            {T,
             "SetActiveWorksheet",
             {{"path", "s"}},
             {},
             true,
             [](Call& c) { return Tree(c).SetActiveWorksheet(c.Bstr(0)); }},
            {T, "GetActiveWorksheet", {}, {{"path", "s"}}, true, GetActiveWorksheet},
            {T, "UpdateWorkbook", {}, {}, false, [](Call& c) { return Tree(c).UpdateWorkbook(); }},
            {X,
             "SetXBaseFormat",
             {{"format", "i"}},
             {},
             false,
             [](Call& c) { return XBase(c).SetXBaseFormat(c.Int(0)); }},
            {X,
             "GetXBaseFormat",
             {},
             {{"format", "i"}},
             false,
             InfoInt<IXBaseInfo, XBase, &IXBaseInfo::GetXBaseFormat>},
            {X,
             "SetField",
             {{"index", "i"}, {"name", "s"}, {"type", "y"}, {"length", "i"}, {"decimals", "i"}},
             {},
             false,
             SetField},
            {X,
             "GetField",
             {{"index", "i"}},
             {{"name", "s"}, {"type", "y"}, {"length", "i"}, {"decimals", "i"}},
             false,
             GetField},
            {X,
             "GetFieldCount",
             {},
             {{"count", "i"}},
             false,
             InfoInt<IXBaseInfo, XBase, &IXBaseInfo::GetFieldCount>},
            {X,
             "DeleteField",
             {{"index", "i"}},
             {},
             false,
             [](Call& c) { return XBase(c).DeleteField(c.Int(0)); }},
            {X,
             "GetEncoding",
             {},
             {{"encoding", "i"}},
             false,
             InfoInt<IXBaseInfo, XBase, &IXBaseInfo::GetEncoding>},
            {X,
             "SetEncoding",
             {{"encoding", "i"}},
             {},
             false,
             [](Call& c) { return XBase(c).SetEncoding(c.Int(0)); }},
            {X,
             "SetFieldCount",
             {{"counter", "i"}},
             {},
             false,
             [](Call& c) { return XBase(c).SetFieldCount(c.Int(0)); }},
            {F,
             "SetSeparator",
             {{"separator", "s"}},
             {},
             false,
             [](Call& c) { return TextInfo(c).SetSeparator(c.Bstr(0)); }},
            {F,
             "SetEncoding",
             {{"encoding", "i"}},
             {},
             false,
             [](Call& c) { return TextInfo(c).SetEncoding(c.Int(0)); }},
            {F,
             "SetQuotingSymbol",
             {{"symbol", "s"}},
             {},
             false,
             [](Call& c) { return TextInfo(c).SetQuotingSymbol(c.Bstr(0)); }},
            {F,
             "SetConversion",
             {{"conversion", "i"}},
             {},
             false,
             [](Call& c) { return TextInfo(c).SetConversion(c.Int(0)); }},
            {F, "SetColumnWidths", {{"widths", "(ia(qv))"}}, {}, false, SetColumnWidths},
            {F,
             "GetConversion",
             {},
             {{"conversion", "i"}},
             false,
             InfoInt<ITextFileInfo, TextInfo, &ITextFileInfo::GetConversion>},
            {F,
             "GetQuotingSymbol",
             {},
             {{"symbol", "s"}},
             false,
             TextInfoText<&ITextFileInfo::GetQuotingSymbol>},
            {F,
             "GetEncoding",
             {},
             {{"encoding", "i"}},
             false,
             InfoInt<ITextFileInfo, TextInfo, &ITextFileInfo::GetEncoding>},
            {F,
             "GetSeparator",
             {},
             {{"separator", "s"}},
             false,
             TextInfoText<&ITextFileInfo::GetSeparator>},
            {F, "GetColumnWidths", {}, {{"widths", "(ia(qv))"}}, false, GetColumnWidths},
        };
        AppendFormatMethods(all);
        return all;
    }();
    return methods;
}

const std::vector<DBusProperty>& Properties() {
    static const std::vector<DBusProperty> properties = [] {
        std::vector<DBusProperty> all = {
            {W, "WorksheetTree", "o", GetWorksheetTree, PutWorksheetTree},
            {F, "useFixedColWidths", "i",
             InfoInt<ITextFileInfo, TextInfo, &ITextFileInfo::get_useFixedColWidths>,
             [](Call& c) { return TextInfo(c).put_useFixedColWidths(c.Int(0)); }},
        };
        AppendFormatProperties(all);
        return all;
    }();
    return properties;
}

} // namespace

std::span<const DBusMethod> AutomationMethods() {
    return Methods();
}

std::span<const DBusProperty> AutomationProperties() {
    return Properties();
}

const DBusMethod* FindMethod(std::string_view interface, std::string_view name) {
    for (const DBusMethod& m : Methods())
        if (m.name == name && (interface.empty() || m.interface == interface)) return &m;
    return nullptr;
}

const DBusProperty* FindProperty(std::string_view interface, std::string_view name) {
    for (const DBusProperty& p : Properties())
        if (p.name == name && (interface.empty() || p.interface == interface)) return &p;
    return nullptr;
}

std::vector<std::string_view> InterfacesOf(IAutomationObject* object) {
    if (!object) return {kRootInterface};
    std::vector<std::string_view> names = {kUnknownInterface, kErrorInfoInterface};
    if (object->QueryWorksheet()) names.push_back(kWorksheetInterface);
    if (object->QueryTree()) names.push_back(kTreeInterface);
    if (object->QueryTextFileInfo()) names.push_back(kTextFileInfoInterface);
    if (object->QueryXBaseInfo()) names.push_back(kXBaseInfoInterface);
    if (object->QueryFormatInfo()) names.push_back(kFormatInfoInterface);
    if (object->QueryPageInfo()) names.push_back(kPageInfoInterface);
    if (object->QueryDocuments()) names.push_back(kDocumentsInterface);
    if (object->QueryOptions()) names.push_back(kOptionsInterface);
    return names;
}

QString InSignature(const DBusMethod& method) {
    QString signature;
    for (const DBusArgSpec& a : method.in)
        signature += QString::fromLatin1(a.signature.data(), qsizetype(a.signature.size()));
    return signature;
}

} // namespace vl
