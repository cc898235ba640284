#include "files/xmlwriter.h"
#include "profile/profile.h"
#include "values/inttext.h"

namespace vl {

namespace {

const char* YesNo(bool value) {
    return value ? "Yes" : "No";
}

std::string Numbers(const int32_t* values, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i) text += ' ';
        AppendInt(text, values[i]);
    }
    return text;
}

void WriteApplicationWindow(CXmlWriter& w, const SettingsProfile& p) {
    XmlAttributeText window;
    if (p.frameShow == kShowMaximized) {
        window.Raw("Position", "Maximize");
    } else if (p.frameShow == kShowMinimized) {
        window.Raw("Position", "Minimize");
    } else {
        const int32_t rect[4] = {p.frameRect.left, p.frameRect.top, p.frameRect.right,
                                 p.frameRect.bottom};
        window.Raw("Position", Numbers(rect, 4));
    }
    // Written either way: a missing attribute would leave the default on at the next start.
    window.Raw("MaximizeDocWindow", YesNo(p.maximizeDocWindow));
    w.WriteTag("ApplicationWindow", window.str(), kXmlStartTag, 1, 1);
    const struct {
        const char* name;
        int32_t visible;
    } bars[] = {{"PrimaryToolbar", p.standardToolbarVisible},
                {"SecondaryToolbar", p.formattingToolbarVisible},
                {"SearchToolbar", p.searchToolbarVisible},
                {"Statusbar", p.statusBarVisible}};
    for (const auto& bar : bars)
        w.WriteTag(bar.name, XmlAttributeText().Raw("Visible", YesNo(bar.visible)).str(),
                   kXmlEmptyTag, 2, 1);
    w.WriteTag("ApplicationWindow", {}, kXmlEndTag, 1, 1);
}

void WriteComposer(CXmlWriter& w, const SettingsProfile& p) {
    XmlAttributeText composer;
    composer.Raw("Position", Numbers(p.composerPosition, 5))
        .Raw("Visible", YesNo(p.composerVisible));
    w.WriteTag("ComposerWindow", composer.str(), kXmlStartTag, 1, 1);
    for (const ComposerFormula& f : p.composerFormulas) {
        w.WriteTag("Formula", XmlAttributeText().Int("Index", f.index).str(), kXmlStartTag, 2, 1);
        std::size_t start = 0;
        for (int i = 0; i < f.argumentCount && start <= f.arguments.size(); ++i) {
            std::size_t end = f.arguments.find('\0', start);
            if (end == std::string::npos) end = f.arguments.size();
            w.WriteElement("Argument", std::string_view(f.arguments).substr(start, end - start), 3,
                           1);
            start = end + 1;
        }
        w.WriteTag("Formula", {}, kXmlEndTag, 2, 1);
    }
    w.WriteTag("ComposerWindow", {}, kXmlEndTag, 1, 1);
}

void WriteNumber(CXmlWriter& w, const char* name, int value) {
    w.WriteElement(name, IntText(value), 1, 1);
}

void WriteOptions(CXmlWriter& w, const SettingsProfile& p) {
    const struct {
        const char* name;
        uint8_t set;
    } flags[] = {{"AddressingA1", p.addressingA1},
                 {"ShowFormulas", p.showFormulas},
                 {"HideCellMarkers", p.hideCellMarkers},
                 {"AutoFormatting", p.autoFormatting}};
    for (const auto& f : flags)
        if (f.set) w.WriteTag(f.name, {}, kXmlEmptyTag, 1, 1);
    WriteNumber(w, "AutoSave", p.autoSave);
    WriteNumber(w, "AutoClose", p.autoClose);
    WriteNumber(w, "WhenEnterPressed", p.whenEnterPressed);
    WriteNumber(w, "Opacity", p.opacity);
    const bool automatic = p.updateMode == 1 || p.updateMode == 2;
    const bool all = p.updateMode == 1 || p.updateMode == 3;
    w.WriteTag("UpdateMode",
               XmlAttributeText()
                   .Raw("Automatic", YesNo(automatic))
                   .Raw("AllWorksheets", YesNo(all))
                   .str(),
               kXmlEmptyTag, 1, 1);
    const bool xml = p.fileFormat == kFormatXml || p.fileFormat == kFormatXmlCompressed;
    const bool compressed =
        p.fileFormat == kFormatXmlCompressed || p.fileFormat == kFormatBinaryCompressed;
    w.WriteTag("FileFormat",
               XmlAttributeText().Raw("Xml", YesNo(xml)).Raw("Compressed", YesNo(compressed)).str(),
               kXmlEmptyTag, 1, 1);
    w.WriteTag("Locales", XmlAttributeText().Int("Region", p.region).str(), kXmlEmptyTag, 1, 1);
}

void WriteLists(CXmlWriter& w, const SettingsProfile& p) {
    if (p.folder.empty())
        w.WriteTag("Folder", {}, kXmlEmptyTag, 1, 1);
    else
        w.WriteElementBytes("Folder", p.folder, 1, 1);
    XmlAttributeText font(w.Utf8());
    if (p.font.faceName[0]) font.Text("Name", p.font.faceName);
    if (p.fontColorSet) font.Color("Color", p.fontColor, true);
    w.WriteTag("Font", font.str(), kXmlEmptyTag, 1, 1);
    for (const UserNumericFormat& f : p.userNumericFormats) {
        w.WriteTag("UserNumericFormat", {}, kXmlStartTag, 1, 1);
        w.WriteElement("Name", f.name, 2, 1);
        w.WriteElement("Pattern", f.pattern, 2, 1);
        w.WriteTag("UserNumericFormat", {}, kXmlEndTag, 1, 1);
    }
    for (const std::string& b : p.bookmarks) w.WriteElement("Bookmark", b, 1, 1);
    // Paths are the system's bytes, kept whole whatever their characters.
    for (const std::string& f : p.recentFiles) w.WriteElementBytes("RecentFile", f, 1, 1);
}

} // namespace

void WriteProfile(CXmlWriter& w, const SettingsProfile& p) {
    w.WriteRaw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n");
    w.WriteTag("Profile",
               XmlAttributeText().Raw("MD5", "").Raw("ReadOnly", YesNo(p.readOnly)).str(),
               kXmlStartTag, 0, 1);
    WriteNumber(w, "UndoLevel", p.undoLevel);
    WriteNumber(w, "CopyLevel", p.copyLevel);
    WriteApplicationWindow(w, p);
    WriteComposer(w, p);
    WriteOptions(w, p);
    WriteLists(w, p);
    w.WriteTag("Profile", {}, kXmlEndTag, 0, 0);
}

} // namespace vl
