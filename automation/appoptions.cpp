// The IOptions methods of the Application object: the user number formats and bookmarks of
// the application settings as arrays of texts, and the profile file they live in.
#include "automation/applicationobj.h"
#include "automation/errorreport.h"
#include "automation/typelib.h"
#include "core/settings.h"
#include "platform/core/cp1252.h"
#include "platform/core/pathlimit.h"
#include "profile/profile.h"

#include <vector>

namespace vl {

namespace {

constexpr size_t kLongestElement = 100;

std::function<void(const std::string&)>& PathHandler() {
    static std::function<void(const std::string&)> handler;
    return handler;
}

std::shared_ptr<CSafeArray> TextArray(const std::vector<std::string>& texts) {
    std::shared_ptr<CSafeArray> array = CSafeArray::Create({{0, uint32_t(texts.size())}});
    if (!array) return nullptr;
    for (size_t i = 0; i < texts.size(); ++i) {
        const int32_t index[] = {int32_t(i)};
        if (array->PutElement(index, CVariant::Bstr(Cp1252ToUtf8(texts[i]))) != S_OK)
            return nullptr;
    }
    return array;
}

// A one-dimensional array of at most 50 elements numbered 0 to 49; E_INVALIDARG for any
// other, which leaves the list it was meant for as it was.
HRESULT CheckTextArray(const CSafeArray* array) {
    if (!array || array->Dimensions() != 1) return E_INVALIDARG;
    const SafeArrayBound& b = array->Bound(0);
    const int64_t last = int64_t(b.lowerBound) + b.count - 1;
    if (b.lowerBound < 0 || b.lowerBound >= kMaxBookmarks || last >= kMaxBookmarks)
        return E_INVALIDARG;
    return S_OK;
}

// The present, non-empty elements of a checked array, in the code page of the settings, up
// to the first that fails: E_INVALIDARG for one longer than `longest` (100 unless given) or with a
// character outside the code page, E_FAIL for one that cannot be read.
HRESULT ReadTexts(const CSafeArray& array, std::vector<std::string>& out,
                  size_t longest = kLongestElement) {
    const SafeArrayBound& b = array.Bound(0);
    const int64_t last = int64_t(b.lowerBound) + b.count - 1;
    CVariant element;
    for (int64_t i = b.lowerBound; i <= last; ++i) {
        const int32_t index[] = {int32_t(i)};
        if (array.GetElement(index, element) != S_OK) return E_FAIL;
        if (element.vt == VT_EMPTY) continue;
        if (element.vt != VT_BSTR) return E_FAIL;
        const std::string text = Utf8ToCp1252(element.text);
        if (text.empty()) continue;
        // A character outside the code page would be kept as a question mark: refused, as an
        // over-long text is.
        if (text.size() > longest || Cp1252ToUtf8(text) != element.text) return E_INVALIDARG;
        out.push_back(text);
    }
    return S_OK;
}

// "Name, format": the name up to the first comma, then the commas and blanks skipped.
bool SplitStyle(const std::string& text, UserNumericFormat& out) {
    const size_t comma = text.find(',');
    out.name = text.substr(0, comma);
    out.pattern.clear();
    if (comma != std::string::npos) {
        const size_t rest = text.find_first_not_of(", ", comma);
        if (rest != std::string::npos) out.pattern = text.substr(rest);
    }
    // Longer texts would not fit the profile's entries and stop its next reading.
    constexpr size_t kLongest = kUserNumericFormatTextSize - 1;
    return out.name.size() <= kLongest && out.pattern.size() <= kLongest;
}

HRESULT ProfileResult(ErrorCode code, const std::string& path) {
    // A file held elsewhere has no message of its own ("No error"): a client does not wait
    // for it, it cannot be opened, as the workbook saves report it.
    if (code == kStreamInUse) code = kStreamOpenRead;
    if (code) return ReportAutomationError(code, IID_IOptions);
    if (PathHandler()) PathHandler()(path);
    return S_OK;
}

bool ProfilePath(const CBstr& path, std::string& out) {
    // A path is the system's bytes: a name outside the code page stays whole.
    out = std::string(path.Utf8());
    return !out.empty() && out.size() <= kMaxPathBytes;
}

} // namespace

void SetProfilePathHandler(std::function<void(const std::string&)> handler) {
    PathHandler() = std::move(handler);
}

HRESULT CApplicationObj::GetStyles(std::shared_ptr<CSafeArray>& styles) {
    std::vector<std::string> texts;
    for (const UserNumericFormat& f : Profile().userNumericFormats)
        texts.push_back((f.name + ", " + f.pattern).substr(0, kLongestElement));
    styles = TextArray(texts);
    return styles ? S_OK : E_OUTOFMEMORY;
}

HRESULT CApplicationObj::SetStyles(const CSafeArray* styles) {
    if (const HRESULT hr = CheckTextArray(styles); hr != S_OK) return hr;
    std::vector<std::string> texts;
    if (const HRESULT read = ReadTexts(*styles, texts); read != S_OK) return read;
    // Built aside: a refused element leaves the list as it was.
    std::vector<UserNumericFormat> list;
    for (const std::string& text : texts) {
        UserNumericFormat format;
        if (!SplitStyle(text, format)) return E_INVALIDARG;
        list.push_back(std::move(format));
    }
    Profile().userNumericFormats = std::move(list);
    return S_OK;
}

HRESULT CApplicationObj::GetBookmarks(std::shared_ptr<CSafeArray>& bookmarks) {
    bookmarks = TextArray(Profile().bookmarks);
    return bookmarks ? S_OK : E_OUTOFMEMORY;
}

HRESULT CApplicationObj::SetBookmarks(const CSafeArray* bookmarks) {
    if (const HRESULT hr = CheckTextArray(bookmarks); hr != S_OK) return hr;
    std::vector<std::string> texts;
    // A bookmark holds as many characters as the Add Bookmark command and the settings file
    // take.
    const HRESULT read = ReadTexts(*bookmarks, texts, kProfileTextSize - 1);
    // A refused array leaves the list as it was.
    if (read == S_OK) Profile().bookmarks = std::move(texts);
    return read;
}

HRESULT CApplicationObj::LoadProfile(const CBstr& path) {
    std::string file;
    if (!ProfilePath(path, file)) return E_INVALIDARG;
    // Taken whole or not at all, as the window's Load Profile takes it: the loader keeps
    // what it read before a fault, which would leave the server half switched.
    const SettingsProfile before = Profile();
    const ErrorCode code = vl::LoadProfile(file, false);
    if (code != kErrorNone) Profile() = before;
    return ProfileResult(code, file);
}

HRESULT CApplicationObj::SaveProfile(const CBstr& path) {
    std::string file;
    if (!ProfilePath(path, file)) return E_INVALIDARG;
    return ProfileResult(vl::SaveProfile(file, false), file);
}

} // namespace vl
