#pragma once
// The Application object: the entry point of a client. IDocuments makes information
// objects and Workbook objects, new or loaded; IOptions edits the user number formats, the
// bookmarks and the profile file of the application settings.

#include "automation/interfaces.h"
#include "automation/serverlock.h"

#include <functional>
#include <memory>
#include <string>

namespace vl {

class CApplicationObj final : public IAutomationObject,
                              public IDocuments,
                              public IOptions,
                              public std::enable_shared_from_this<CApplicationObj> {
public:
    static HRESULT Create(std::shared_ptr<CApplicationObj>& out);

    const CoClassInfo& ClassInfo() const override;
    HRESULT InterfaceSupportsErrorInfo(const Guid& iid) const override;
    IDocuments* QueryDocuments() override { return this; }
    IOptions* QueryOptions() override { return this; }

    // IDocuments
    HRESULT CreateXBaseInfo(std::shared_ptr<IAutomationObject>& info) override;
    HRESULT CreateTextFileInfo(std::shared_ptr<IAutomationObject>& info) override;
    HRESULT New(std::shared_ptr<IAutomationObject>& workbook) override;
    HRESULT Open(const CBstr& path, const CBstr& password,
                 std::shared_ptr<IAutomationObject>& workbook) override;
    HRESULT OpenTextFile(const CBstr& path, ITextFileInfo* info,
                         std::shared_ptr<IAutomationObject>& workbook) override;
    HRESULT OpenDatabase(const CBstr& path, IXBaseInfo* info,
                         std::shared_ptr<IAutomationObject>& workbook) override;
    HRESULT OpenExcelFile(const CBstr& path, std::shared_ptr<IAutomationObject>& workbook) override;
    HRESULT get_Options(std::shared_ptr<IAutomationObject>& options) override;
    HRESULT put_Options(IOptions* options) override;

    // IOptions (appoptions.cpp)
    HRESULT GetStyles(std::shared_ptr<CSafeArray>& styles) override;
    HRESULT SetStyles(const CSafeArray* styles) override;
    HRESULT GetBookmarks(std::shared_ptr<CSafeArray>& bookmarks) override;
    HRESULT SetBookmarks(const CSafeArray* bookmarks) override;
    HRESULT LoadProfile(const CBstr& path) override;
    HRESULT SaveProfile(const CBstr& path) override;

private:
    CApplicationObj() = default;
    // A new Workbook object in `out` loaded by `Load` with the given arguments.
    HRESULT OpenAs(const CBstr& path, const CBstr& password, int32_t format, ITextFileInfo* text,
                   IXBaseInfo* xbase, std::shared_ptr<IAutomationObject>& out);

    CServerLockHold lock_;
};

const CoClassInfo& ApplicationClass();

// Where the settings are written at exit: the host installs what takes a new profile path
// after a successful LoadProfile or SaveProfile.
void SetProfilePathHandler(std::function<void(const std::string&)> handler);

} // namespace vl
