#include "automation/typelib.h"

#include "platform/core/cp1252.h"

namespace vl {

namespace {

#define VL_TYPELIB_ROW(enumeration, member, value) {#enumeration, #member, value},
constexpr TypeLibConstant kConstants[] = {VL_TYPELIB_CONSTANTS(VL_TYPELIB_ROW)};
#undef VL_TYPELIB_ROW

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

} // namespace

const Guid IID_IUnknown = GuidOf("00000000-0000-0000-C000-000000000046");
const Guid IID_IDispatch = GuidOf("00020400-0000-0000-C000-000000000046");
const Guid IID_IWorksheet = GuidOf("488432B3-AF1C-4908-BC1F-772CDA383377");
const Guid IID_ITree = GuidOf("45FC88CE-180B-43D2-858A-6A9B37898AE7");
const Guid IID_IOptions = GuidOf("2AF0C713-ADC0-4BEA-B2A9-49DF4E0C03A1");
const Guid IID_IDocuments = GuidOf("A2F7AB75-B8B9-4F16-B97E-172EA430EF60");
const Guid IID_IXBaseInfo = GuidOf("CD99CC22-62B8-4BEC-B092-85FD93FD1E15");
const Guid IID_ITextFileInfo = GuidOf("7CB92AD0-4C80-4C7A-A53B-F0EBDC05635B");
const Guid IID_IFormatInfo = GuidOf("4C1AEEF0-3F2F-4B81-B7A5-1DD49BFC7640");
const Guid IID_IPageInfo = GuidOf("B711FEBC-CF63-4FA7-9B3E-F189E64444E2");
const Guid LIBID_VORLANLib = GuidOf("94A639E6-E2D3-4A33-BDFD-1C2844446310");
const Guid APPID_Vorlane = GuidOf("B6D946B7-2E0B-4834-928D-8AEC79860D1A");

std::span<const TypeLibConstant> TypeLibConstants() {
    return kConstants;
}

std::span<const InterfaceInfo> TypeLibInterfaces() {
    static const InterfaceInfo kInterfaces[] = {
        {"IWorksheet", IID_IWorksheet},   {"ITree", IID_ITree},
        {"IOptions", IID_IOptions},       {"IDocuments", IID_IDocuments},
        {"IXBaseInfo", IID_IXBaseInfo},   {"ITextFileInfo", IID_ITextFileInfo},
        {"IFormatInfo", IID_IFormatInfo}, {"IPageInfo", IID_IPageInfo},
    };
    return kInterfaces;
}

std::span<const CoClassInfo> CoClasses() {
    static const CoClassInfo kClasses[] = {
        {"XBaseInfo", GuidOf("495CB1E0-9E16-47C4-AFF5-0B5887E0B07A"), "Vorlan.XBaseInfo.1",
         "Vorlan.XBaseInfo", "XBaseInfo Class", true},
        {"TextFileInfo", GuidOf("F737114D-7739-4A86-9549-AE235F1F6C0E"), "Vorlan.TextFileInfo.1",
         "Vorlan.TextFileInfo", "TextFileInfo Class", true},
        {"FormatInfo", GuidOf("01B84889-1ACA-432B-A0F8-4C8D03B28C13"), "Vorlan.FormatInfo.1",
         "Vorlan.FormatInfo", "FormatInfo Class", true},
        {"PageInfo", GuidOf("4DAFF13A-8D98-4A4A-98AC-E8DABC6A46EB"), "Vorlan.PageInfo.1",
         "Vorlan.PageInfo", "PageInfo Class", true},
        {"Workbook", GuidOf("FECE618D-266F-4745-B561-83FDFAC9E049"), "Vorlan.Workbook.1",
         "Vorlan.Workbook", "Workbook Class", false},
        {"Application", GuidOf("4657D73E-E260-44C0-8B74-6156D4A6C732"), "Vorlan.Application.7",
         "Vorlan.Application", "Application Class", false},
    };
    return kClasses;
}

const CoClassInfo* FindCoClass(std::string_view progId) {
    for (const CoClassInfo& c : CoClasses())
        if (EqualNoCase(progId, c.progId) || EqualNoCase(progId, c.versionIndependentProgId))
            return &c;
    return nullptr;
}

const CoClassInfo& WorkbookClass() {
    return CoClasses()[4];
}

} // namespace vl
