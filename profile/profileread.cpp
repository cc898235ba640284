#include "files/xmlreader.h"
#include "platform/core/cp1252.h"
#include "platform/core/pathlimit.h"
#include "profile/profile.h"
#include "values/numfmt_compile.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace vl {

namespace {

constexpr std::size_t kTextLimit = 1024;
// Texts are taken byte for byte: collapsing blanks would break the bookmarks' "  -  "
// separator and paths with runs of blanks. Numbers are read collapsed (" 20 " is 20).
constexpr std::size_t kMd5Encoded = 1024;
constexpr std::size_t kMd5Length = 32;
constexpr std::size_t kBookmarkLength = kProfileTextSize - 1;
// The longest list entry read only to be passed over.
constexpr std::size_t kSkippedTextLength = 65536;
constexpr std::size_t kFormatTextLength = kUserNumericFormatTextSize - 1;

// The elements a profile holds, at any level. One the reader does not know (written by a
// later version, or by hand) is passed over whole, so that the settings after it are read
// and none of them falls back to its default.
constexpr std::string_view kKnownElements[] = {
    "AddressingA1",
    "ApplicationWindow",
    "Argument",
    "AutoClose",
    "AutoFormatting",
    "AutoSave",
    "Bookmark",
    "ComposerWindow",
    "CopyLevel",
    "FileFormat",
    "Folder",
    "Font",
    "Formula",
    "HideCellMarkers",
    "Image",
    "Locales",
    "Name",
    "Opacity",
    "Pattern",
    "PrimaryToolbar",
    "Profile",
    "RecentFile",
    "SearchToolbar",
    "SecondaryToolbar",
    "ShowFormulas",
    "Statusbar",
    "UndoLevel",
    "UpdateMode",
    "UserNumericFormat",
    "WhenEnterPressed",
};

bool SkipUnknown(CXmlReader& r) {
    while (r.ReadNextTag({}, kXmlOptional | kXmlPeek)) {
        if (!r.IsStart() || std::find(std::begin(kKnownElements), std::end(kKnownElements),
                                      r.Name()) != std::end(kKnownElements))
            return true;
        if (!r.ReadNextTag({}, 0)) return false;
        for (int depth = r.IsEnd() ? 0 : 1; depth > 0;) {
            if (!r.ReadNextTag({}, 0)) return false;
            if (r.IsStart() && !r.IsEnd()) ++depth;
            if (!r.IsStart() && r.IsEnd()) --depth;
        }
    }
    return r.Ok();
}

// Whitespace-separated decimal integers into `out` until one does not scan.
void ScanIntegers(std::string_view text, int32_t* out, int count) {
    std::size_t pos = 0;
    for (int i = 0; i < count; ++i) {
        while (pos < text.size() && IsAsciiSpace(text[pos])) ++pos;
        bool negative = false;
        if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
            negative = text[pos++] == '-';
        int64_t value = 0;
        std::size_t start = pos;
        while (pos < text.size() && IsAsciiDigit(text[pos]) && value <= INT32_MAX)
            value = value * 10 + (text[pos++] - '0');
        if (pos == start || value > int64_t(INT32_MAX) + negative) return;
        out[i] = int32_t(negative ? -value : value);
    }
}

// An optional element whose text is a number within [min, max].
bool ReadNumber(CXmlReader& r, const char* name, uint8_t min, uint8_t max, uint8_t& out) {
    if (!SkipUnknown(r)) return false;
    if (!r.ReadElementText(name, kTextLimit, kXmlOptional)) return r.Ok();
    uint64_t v = 0;
    if (!r.Check(ParseXmlUnsigned(r.Text(), kXmlCapU8, min, max, v))) return false;
    out = uint8_t(v);
    return true;
}

bool ReadBoolAttribute(CXmlReader& r, const char* name, uint8_t& flag) {
    return !r.FindAttribute(name) || r.GetBoolAttribute(flag);
}

bool ReadRoot(CXmlReader& r, SettingsProfile& p) {
    if (!r.ReadDeclaration()) return false;
    if (r.FindAttribute("encoding")) {
        const std::string_view v = r.Value();
        r.SetEncoding(v == "UTF-8" || v == "utf-8" ? kXmlUtf8 : kXmlAnsi);
    }
    if (!r.ReadNextTag("Profile", kXmlStart | kXmlAttributes)) return false;
    if (!r.FindAttribute("MD5")) return r.Fail(kErrorXmlMissing);
    if (r.Value().size() > kMd5Encoded) return r.Fail(kErrorXmlData);
    std::string md5;
    if (!r.DecodeValue(md5, kMd5Length)) return false;
    p.md5 = md5;
    return ReadBoolAttribute(r, "ReadOnly", p.readOnly);
}

bool ReadBar(CXmlReader& r, const char* name, int32_t& visible, bool required) {
    if (!SkipUnknown(r)) return false;
    uint8_t flags = kXmlStart | kXmlEnd | kXmlAttributes;
    if (!r.ReadNextTag(name, required ? flags : uint8_t(flags | kXmlOptional))) return r.Ok();
    if (!r.FindAttribute("Visible")) return true;
    uint8_t v = 0;
    if (!r.GetBoolAttribute(v)) return false;
    visible = v;
    return true;
}

bool ReadApplicationWindow(CXmlReader& r, SettingsProfile& p) {
    if (!SkipUnknown(r)) return false;
    if (!r.ReadNextTag("ApplicationWindow", kXmlStart | kXmlOptional | kXmlAttributes))
        return r.Ok();
    if (r.FindAttribute("Position")) {
        const std::string_view v = r.Value();
        if (v == "Maximize") {
            p.frameShow = kShowMaximized;
        } else if (v == "Minimize") {
            p.frameShow = kShowMinimized;
        } else {
            p.frameShow = kShowRestored;
            int32_t rect[4] = {p.frameRect.left, p.frameRect.top, p.frameRect.right,
                               p.frameRect.bottom};
            ScanIntegers(v, rect, 4);
            p.frameRect = {rect[0], rect[1], rect[2], rect[3]};
        }
    }
    if (!ReadBoolAttribute(r, "MaximizeDocWindow", p.maximizeDocWindow)) return false;
    return ReadBar(r, "PrimaryToolbar", p.standardToolbarVisible, true) &&
           ReadBar(r, "SecondaryToolbar", p.formattingToolbarVisible, false) &&
           ReadBar(r, "SearchToolbar", p.searchToolbarVisible, false) &&
           ReadBar(r, "Statusbar", p.statusBarVisible, false) && SkipUnknown(r) &&
           r.ReadNextTag("ApplicationWindow", kXmlEnd);
}

// One Formula element after its start tag: its arguments and its end tag.
bool ReadFormula(CXmlReader& r, SettingsProfile& p) {
    if (p.composerFormulas.size() == kMaxComposerFormulas) return r.Fail(kErrorXmlElement);
    ComposerFormula f;
    if (r.FindAttribute("Index") && !r.GetU16Attribute(f.index, 0, kMaxComposerFunctionIndex))
        return false;
    if (!r.IsEnd()) {
        while (r.ReadElementText("Argument", kTextLimit, kXmlOptional, true)) {
            // The arguments and their terminators must fit the entry's area.
            if (f.arguments.size() + r.Text().size() + 1 > kComposerArgumentArea ||
                f.argumentCount == UINT8_MAX)
                return r.Fail(kErrorXmlData);
            f.arguments += r.Text();
            f.arguments += '\0';
            ++f.argumentCount;
        }
        if (!r.Ok()) return false;
    }
    p.composerFormulas.push_back(std::move(f));
    return r.ReadNextTag("Formula", kXmlEnd);
}

bool ReadComposer(CXmlReader& r, SettingsProfile& p) {
    if (!SkipUnknown(r)) return false;
    if (!r.ReadNextTag("ComposerWindow", kXmlStart | kXmlOptional | kXmlAttributes)) return r.Ok();
    if (r.FindAttribute("Position")) ScanIntegers(r.Value(), p.composerPosition, 5);
    if (!ReadBoolAttribute(r, "Visible", p.composerVisible)) return false;
    p.composerFormulas.clear();
    while (SkipUnknown(r) && r.ReadNextTag("Formula", kXmlStart | kXmlOptional | kXmlAttributes))
        if (!ReadFormula(r, p)) return false;
    return r.Ok() && r.ReadNextTag("ComposerWindow", kXmlEnd);
}

bool ReadFlag(CXmlReader& r, const char* name, uint8_t& flag) {
    if (!SkipUnknown(r)) return false;
    flag = r.ReadNextTag(name, kXmlStart | kXmlEnd | kXmlOptional);
    return r.Ok();
}

bool ReadOptions(CXmlReader& r, SettingsProfile& p) {
    if (!ReadFlag(r, "AddressingA1", p.addressingA1) ||
        !ReadFlag(r, "ShowFormulas", p.showFormulas) ||
        !ReadFlag(r, "HideCellMarkers", p.hideCellMarkers) ||
        !ReadFlag(r, "AutoFormatting", p.autoFormatting))
        return false;
    if (!ReadNumber(r, "AutoSave", 0, 60, p.autoSave) ||
        !ReadNumber(r, "AutoClose", 0, 60, p.autoClose) ||
        !ReadNumber(r, "WhenEnterPressed", 0, 4, p.whenEnterPressed) ||
        !ReadNumber(r, "Opacity", 0, 100, p.opacity))
        return false;
    if (!SkipUnknown(r)) return false;
    if (r.ReadNextTag("UpdateMode", kXmlStart | kXmlEnd | kXmlOptional | kXmlAttributes)) {
        uint8_t automatic = 1, all = 1;
        if (!ReadBoolAttribute(r, "Automatic", automatic) ||
            !ReadBoolAttribute(r, "AllWorksheets", all))
            return false;
        p.updateMode = automatic ? (all ? 1 : 2) : (all ? 3 : 4);
    } else if (!r.Ok()) {
        return false;
    }
    if (!SkipUnknown(r)) return false;
    if (r.ReadNextTag("FileFormat", kXmlStart | kXmlEnd | kXmlOptional | kXmlAttributes)) {
        uint8_t xml = 1, compressed = 0;
        if (!ReadBoolAttribute(r, "Xml", xml) || !ReadBoolAttribute(r, "Compressed", compressed))
            return false;
        p.fileFormat = xml ? (compressed ? kFormatXmlCompressed : kFormatXml)
                           : (compressed ? kFormatBinaryCompressed : kFormatBinary);
    } else if (!r.Ok()) {
        return false;
    }
    if (!SkipUnknown(r)) return false;
    if (r.ReadNextTag("Locales", kXmlStart | kXmlEnd | kXmlOptional | kXmlAttributes)) {
        if (r.FindAttribute("Region") && !r.GetU8Attribute(p.region, 0, 129)) return false;
    } else if (!r.Ok()) {
        return false;
    }
    if (!SkipUnknown(r)) return false;
    if (r.ReadElementBytes("Folder", kMaxPathBytes, kXmlOptional)) p.folder = r.Text();
    return r.Ok();
}

bool ReadFont(CXmlReader& r, SettingsProfile& p) {
    if (!SkipUnknown(r)) return false;
    if (!r.ReadNextTag("Font", kXmlStart | kXmlEnd | kXmlOptional | kXmlAttributes)) return r.Ok();
    if (r.FindAttribute("Name")) {
        std::string name;
        if (!r.DecodeValue(name, kXmlValueLimit)) return false;
        // The face name field holds 127 characters; a longer name is refused, not cut.
        if (name.size() >= std::size_t(kFaceNameSize)) return r.Fail(kErrorXmlData);
        std::memcpy(p.font.faceName, name.c_str(), name.size() + 1);
    }
    if (r.FindAttribute("Color")) {
        uint32_t color = 0;
        if (!ParseColor(r.Value(), color)) return r.Fail(kErrorXmlAttribute);
        p.fontColor = color;
        p.fontColorSet = 1;
    }
    return true;
}

bool ReadUserFormats(CXmlReader& r, SettingsProfile& p) {
    p.userNumericFormats.clear();
    while (SkipUnknown(r) && r.ReadNextTag("UserNumericFormat", kXmlOptional)) {
        if (r.IsEnd()) continue; // an empty or closing tag holds nothing
        if (p.userNumericFormats.size() == kMaxUserNumericFormats) return r.Fail(kErrorXmlElement);
        UserNumericFormat f;
        if (!r.ReadElementText("Name", kFormatTextLength, 0, true)) return false;
        f.name = r.Text();
        if (!r.ReadElementText("Pattern", kFormatTextLength, 0, true)) return false;
        f.pattern = r.Text();
        p.userNumericFormats.push_back(std::move(f));
        if (!r.ReadNextTag("UserNumericFormat", kXmlEnd)) return false;
    }
    return r.Ok();
}

bool ReadTexts(CXmlReader& r, const char* name, std::size_t limit, std::vector<std::string>* list,
               bool paths = false) {
    if (list) list->clear();
    // An entry longer than the list holds is passed over, not cut (a cut path names another
    // file), and the entries around it are kept. Paths keep the file's bytes.
    while (SkipUnknown(r) &&
           (paths ? r.ReadElementBytes(name, kSkippedTextLength, kXmlOptional)
                  : r.ReadElementText(name, kSkippedTextLength, kXmlOptional, true))) {
        if (!list || r.Text().size() > (paths ? kMaxPathBytes : kBookmarkLength)) continue;
        if (list->size() == limit) return r.Fail(kErrorXmlElement);
        list->push_back(r.Text());
    }
    return r.Ok();
}

} // namespace

bool ReadProfile(CXmlReader& r, SettingsProfile& p) {
    return ReadRoot(r, p) && ReadNumber(r, "UndoLevel", 2, 200, p.undoLevel) &&
           ReadNumber(r, "CopyLevel", 1, 16, p.copyLevel) && ReadApplicationWindow(r, p) &&
           ReadComposer(r, p) && ReadOptions(r, p) && ReadFont(r, p) && ReadUserFormats(r, p) &&
           ReadTexts(r, "Bookmark", kMaxBookmarks, &p.bookmarks) &&
           ReadTexts(r, "Image", 0, nullptr) &&
           ReadTexts(r, "RecentFile", kMaxRecentFiles, &p.recentFiles, true) && SkipUnknown(r) &&
           r.ReadNextTag("Profile", kXmlEnd);
}

} // namespace vl
