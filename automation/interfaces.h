#pragma once
// The automation interfaces as C++ classes, with the type library's method names. Methods
// return HRESULTs; out arguments are references; an interface pointer passed in is borrowed
// for the call (null where the client passes none). Objects live in shared pointers, which
// stand for the reference counts of their clients.

#include "platform/com/bstr.h"
#include "platform/com/guid.h"
#include "platform/com/hresult.h"
#include "platform/com/variant.h"

#include <cstdint>
#include <memory>

namespace vl {

struct CoClassInfo;
class IAutomationObject;
class IDocuments;
class IFormatInfo;
class IOptions;
class IPageInfo;
class ITree;
class IWorksheet;

// The information objects that the load and save methods read their settings from.
class ITextFileInfo {
public:
    virtual ~ITextFileInfo() = default;
    virtual HRESULT SetSeparator(const CBstr& separator) = 0;
    virtual HRESULT SetEncoding(int32_t encoding) = 0;
    virtual HRESULT SetQuotingSymbol(const CBstr& symbol) = 0;
    virtual HRESULT SetConversion(int32_t conversion) = 0;
    virtual HRESULT SetColumnWidths(const CSafeArray* widths) = 0;
    virtual HRESULT GetConversion(int32_t& conversion) = 0;
    virtual HRESULT GetQuotingSymbol(CBstr& symbol) = 0;
    virtual HRESULT GetEncoding(int32_t& encoding) = 0;
    virtual HRESULT GetSeparator(CBstr& separator) = 0;
    virtual HRESULT GetColumnWidths(std::shared_ptr<CSafeArray>& widths) = 0;
    virtual HRESULT get_useFixedColWidths(int32_t& fixed) = 0;
    virtual HRESULT put_useFixedColWidths(int32_t fixed) = 0;
};
class IXBaseInfo {
public:
    virtual ~IXBaseInfo() = default;
    virtual HRESULT SetXBaseFormat(int32_t format) = 0;
    virtual HRESULT GetXBaseFormat(int32_t& format) = 0;
    virtual HRESULT SetField(int32_t index, const CBstr& name, uint8_t type, int32_t length,
                             int32_t decimals) = 0;
    virtual HRESULT GetField(int32_t index, CBstr& name, uint8_t& type, int32_t& length,
                             int32_t& decimals) = 0;
    virtual HRESULT GetFieldCount(int32_t& count) = 0;
    virtual HRESULT DeleteField(int32_t index) = 0;
    virtual HRESULT GetEncoding(int32_t& encoding) = 0;
    virtual HRESULT SetEncoding(int32_t encoding) = 0;
    virtual HRESULT SetFieldCount(int32_t count) = 0;
};

// A cell format a client describes, one attribute of which IWorksheet::format applies.
class IFormatInfo {
public:
    virtual ~IFormatInfo() = default;
    virtual HRESULT get_fontName(CBstr& name) = 0;
    virtual HRESULT put_fontName(const CBstr& name) = 0;
    virtual HRESULT get_fontSize(int32_t& size) = 0;
    virtual HRESULT put_fontSize(int32_t size) = 0;
    virtual HRESULT get_boldFont(int32_t& on) = 0;
    virtual HRESULT put_boldFont(int32_t on) = 0;
    virtual HRESULT get_italicFont(int32_t& on) = 0;
    virtual HRESULT put_italicFont(int32_t on) = 0;
    virtual HRESULT get_underlineFont(int32_t& on) = 0;
    virtual HRESULT put_underlineFont(int32_t on) = 0;
    virtual HRESULT get_strikeoutFont(int32_t& on) = 0;
    virtual HRESULT put_strikeoutFont(int32_t on) = 0;
    virtual HRESULT get_fontColor(uint32_t& color) = 0;
    virtual HRESULT put_fontColor(uint32_t color) = 0;
    virtual HRESULT get_styleID(int32_t& id) = 0;
    virtual HRESULT put_styleID(int32_t id) = 0;
    virtual HRESULT get_fillType(int32_t& type) = 0;
    virtual HRESULT put_fillType(int32_t type) = 0;
    virtual HRESULT get_fillPatternColor(uint32_t& color) = 0;
    virtual HRESULT put_fillPatternColor(uint32_t color) = 0;
    virtual HRESULT get_fillBackgroundColor(uint32_t& color) = 0;
    virtual HRESULT put_fillBackgroundColor(uint32_t color) = 0;
    virtual HRESULT get_borderType(int32_t& type) = 0;
    virtual HRESULT put_borderType(int32_t type) = 0;
    virtual HRESULT get_borderColor(uint32_t& color) = 0;
    virtual HRESULT put_borderColor(uint32_t color) = 0;
    virtual HRESULT get_borderPosition(int32_t& position) = 0;
    virtual HRESULT put_borderPosition(int32_t position) = 0;
};

// A worksheet's page-setup record, carried between a client and a worksheet.
class IPageInfo {
public:
    virtual ~IPageInfo() = default;
    virtual HRESULT GetMargins(double& left, double& top, double& right, double& bottom) = 0;
    virtual HRESULT SetMargins(double left, double top, double right, double bottom) = 0;
    virtual HRESULT SetData(const CSafeArray* data) = 0;
    // Fills elements 0 to 1,151 of the caller's array.
    virtual HRESULT GetData(CSafeArray* data) = 0;
};

// The user number formats, the bookmarks and the profile file of the application settings.
class IOptions {
public:
    virtual ~IOptions() = default;
    virtual HRESULT GetStyles(std::shared_ptr<CSafeArray>& styles) = 0;
    virtual HRESULT SetStyles(const CSafeArray* styles) = 0;
    virtual HRESULT GetBookmarks(std::shared_ptr<CSafeArray>& bookmarks) = 0;
    virtual HRESULT SetBookmarks(const CSafeArray* bookmarks) = 0;
    virtual HRESULT LoadProfile(const CBstr& path) = 0;
    virtual HRESULT SaveProfile(const CBstr& path) = 0;
};

// The Application object's entry points: information objects and Workbook objects. The
// Workbook objects come back as the objects themselves, whose IWorksheet a client uses.
class IDocuments {
public:
    virtual ~IDocuments() = default;
    virtual HRESULT CreateXBaseInfo(std::shared_ptr<IAutomationObject>& info) = 0;
    virtual HRESULT CreateTextFileInfo(std::shared_ptr<IAutomationObject>& info) = 0;
    virtual HRESULT New(std::shared_ptr<IAutomationObject>& workbook) = 0;
    virtual HRESULT Open(const CBstr& path, const CBstr& password,
                         std::shared_ptr<IAutomationObject>& workbook) = 0;
    virtual HRESULT OpenTextFile(const CBstr& path, ITextFileInfo* info,
                                 std::shared_ptr<IAutomationObject>& workbook) = 0;
    virtual HRESULT OpenDatabase(const CBstr& path, IXBaseInfo* info,
                                 std::shared_ptr<IAutomationObject>& workbook) = 0;
    virtual HRESULT OpenExcelFile(const CBstr& path,
                                  std::shared_ptr<IAutomationObject>& workbook) = 0;
    virtual HRESULT get_Options(std::shared_ptr<IAutomationObject>& options) = 0;
    virtual HRESULT put_Options(IOptions* options) = 0;
};

// What every object of the server offers: its class, the interfaces it answers for, and
// ISupportErrorInfo.
class IAutomationObject {
public:
    virtual ~IAutomationObject() = default;
    virtual const CoClassInfo& ClassInfo() const = 0;
    // S_OK for the class's own interfaces, S_FALSE for any other identifier.
    virtual HRESULT InterfaceSupportsErrorInfo(const Guid& iid) const = 0;
    virtual IWorksheet* QueryWorksheet() { return nullptr; }
    virtual ITree* QueryTree() { return nullptr; }
    virtual ITextFileInfo* QueryTextFileInfo() { return nullptr; }
    virtual IXBaseInfo* QueryXBaseInfo() { return nullptr; }
    virtual IFormatInfo* QueryFormatInfo() { return nullptr; }
    virtual IPageInfo* QueryPageInfo() { return nullptr; }
    virtual IDocuments* QueryDocuments() { return nullptr; }
    virtual IOptions* QueryOptions() { return nullptr; }
};

class IWorksheet {
public:
    virtual ~IWorksheet() = default;

    // The property WorksheetTree: the same object's tree interface; its put does nothing.
    virtual HRESULT get_WorksheetTree(std::shared_ptr<ITree>& tree) = 0;
    virtual HRESULT put_WorksheetTree(ITree* tree) = 0;
    virtual HRESULT NewDocument() = 0;
    virtual HRESULT UpdateWorksheet() = 0;

    virtual HRESULT Load(const CBstr& path, const CBstr& password, int32_t format,
                         ITextFileInfo* textFileInfo, IXBaseInfo* xbaseInfo) = 0;
    virtual HRESULT Save() = 0;
    virtual HRESULT SaveAs(const CBstr& path) = 0;
    virtual HRESULT SaveAsDatabase(const CBstr& path, IXBaseInfo* xbaseInfo) = 0;
    virtual HRESULT SaveAsTextFile(const CBstr& path, ITextFileInfo* textFileInfo) = 0;
    virtual HRESULT SaveAsExcelFile(const CBstr& path) = 0;
    virtual HRESULT GetProtection(CBstr& password, int32_t& allowReadOnly) = 0;
    virtual HRESULT SetProtection(const CBstr& password, int32_t allowReadOnly) = 0;
    virtual HRESULT SaveRangeAsImage(const CBstr& range, const CBstr& path, double gamma) = 0;
    virtual HRESULT SaveContainerAsImage(int32_t containerId, const CBstr& path, double gamma) = 0;

    virtual HRESULT Clear(const CBstr& range, int32_t clearType) = 0;
    virtual HRESULT GetValue(const CBstr& cell, CVariant& value) = 0;
    virtual HRESULT PutValue(const CBstr& cell, const CVariant& value) = 0;
    virtual HRESULT GetFormula(const CBstr& cell, CBstr& formula) = 0;
    virtual HRESULT PutFormula(const CBstr& cell, const CBstr& formula) = 0;
    virtual HRESULT GetRange(const CBstr& range, std::shared_ptr<CSafeArray>& values) = 0;
    virtual HRESULT PutRange(const CBstr& range, const CSafeArray* values) = 0;
    virtual HRESULT GetStyleID(const CBstr& cell, int32_t& id) = 0;
    virtual HRESULT PutStyleID(const CBstr& cell, int32_t id) = 0;

    virtual HRESULT CreateFormatInfo(std::shared_ptr<IAutomationObject>& info) = 0;
    virtual HRESULT format(const CBstr& range, int32_t formatType, IFormatInfo* info) = 0;
    virtual HRESULT CreatePageInfo(std::shared_ptr<IAutomationObject>& info) = 0;
    virtual HRESULT GetPageSettings(IPageInfo* info) = 0;
    virtual HRESULT SetPageSettings(IPageInfo* info) = 0;

    // Print the active worksheet: S_OK when the job ran, S_FALSE with the reason in the
    // document's error code when it did not.
    virtual HRESULT PrintAll() = 0;
    virtual HRESULT PrintRange(const CBstr& range) = 0;
    virtual HRESULT PrintPages(const CBstr& pages) = 0;
    virtual HRESULT PrintContainer(int32_t containerId) = 0;
};

class ITree {
public:
    virtual ~ITree() = default;

    virtual HRESULT GetItemCount(int32_t& count) = 0;
    virtual HRESULT GetFirstChildOf(int32_t folder, int32_t& child) = 0;
    virtual HRESULT GetNextItem(int32_t item, int32_t& next) = 0;
    virtual HRESULT GetPreviousItem(int32_t item, int32_t& previous) = 0;
    virtual HRESULT InsertItem(int32_t insertAt, int32_t type, const CBstr& name,
                               int32_t& index) = 0;
    virtual HRESULT DeleteItem(int32_t item) = 0;
    virtual HRESULT GetItemName(int32_t item, CBstr& name) = 0;
    virtual HRESULT SetItemName(int32_t item, const CBstr& name) = 0;
    virtual HRESULT IsWorksheet(int32_t item, int32_t& result) = 0;
    virtual HRESULT IsFolder(int32_t item, int32_t& result) = 0;
    virtual HRESULT GetItemPath(int32_t item, CBstr& path) = 0;
    virtual HRESULT GetItemIndex(const CBstr& path, int32_t& index) = 0;
    virtual HRESULT SetActiveWorksheet(const CBstr& path) = 0;
    virtual HRESULT GetActiveWorksheet(CBstr& path) = 0;
    virtual HRESULT UpdateWorkbook() = 0;
};

} // namespace vl
