#pragma once
// The type library VORLANLib: its identifiers, its six classes with their registration
// facts, and its enumerations. Everything that names these (the bus adaptor's
// introspection and constant list, the service registration) reads the tables here.

#include "platform/com/guid.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace vl {

// The enumerations: enumeration, member, value.
#define VL_TYPELIB_CONSTANTS(X)                                                                    \
    X(TREE_ITEM_TYPES, TREE_TYPE_WORKSHEET, 1)                                                     \
    X(TREE_ITEM_TYPES, TREE_TYPE_FOLDER, 2)                                                        \
    X(EDIT_CLEAR_TYPES, EDIT_CLEAR_DATA, 1)                                                        \
    X(EDIT_CLEAR_TYPES, EDIT_CLEAR_FORMAT, 2)                                                      \
    X(LINE_TYPES, FORMAT_LINE_NULL, 0)                                                             \
    X(LINE_TYPES, FORMAT_LINE_SOLID, 1)                                                            \
    X(LINE_TYPES, FORMAT_LINE_DOT, 2)                                                              \
    X(LINE_TYPES, FORMAT_LINE_DASH, 3)                                                             \
    X(LINE_TYPES, FORMAT_LINE_DASH_DOT, 4)                                                         \
    X(LINE_TYPES, FORMAT_LINE_DASH_DOTDOT, 5)                                                      \
    X(LINE_TYPES, FORMAT_LINE_SOLID_1, 6)                                                          \
    X(LINE_TYPES, FORMAT_LINE_SOLID_2, 7)                                                          \
    X(LINE_TYPES, FORMAT_LINE_SOLID_3, 8)                                                          \
    X(LINE_TYPES, FORMAT_LINE_DOUBLE, 9)                                                           \
    X(BORDER_TYPES, FORMAT_BORDER_NONE, 0)                                                         \
    X(BORDER_TYPES, FORMAT_BORDER_TOP, 1)                                                          \
    X(BORDER_TYPES, FORMAT_BORDER_BOTTOM, 2)                                                       \
    X(BORDER_TYPES, FORMAT_BORDER_LEFT, 4)                                                         \
    X(BORDER_TYPES, FORMAT_BORDER_RIGHT, 8)                                                        \
    X(BORDER_TYPES, FORMAT_BORDER_DIAG_LEFT, 16)                                                   \
    X(BORDER_TYPES, FORMAT_BORDER_DIAG_RIGHT, 32)                                                  \
    X(PATTERN_TYPES, FORMAT_PAT_NONE, 0)                                                           \
    X(PATTERN_TYPES, FORMAT_PAT_SOLID, 1)                                                          \
    X(PATTERN_TYPES, FORMAT_PAT_GRAY125, 2)                                                        \
    X(PATTERN_TYPES, FORMAT_PAT_GRAY75, 3)                                                         \
    X(PATTERN_TYPES, FORMAT_PAT_GRAY50, 4)                                                         \
    X(PATTERN_TYPES, FORMAT_PAT_GRAY25, 5)                                                         \
    X(PATTERN_TYPES, FORMAT_PAT_GRAY0625, 6)                                                       \
    X(PATTERN_TYPES, FORMAT_PAT_HSTRIPE, 7)                                                        \
    X(PATTERN_TYPES, FORMAT_PAT_VSTRIPE, 8)                                                        \
    X(PATTERN_TYPES, FORMAT_PAT_RDSTRIPE, 9)                                                       \
    X(PATTERN_TYPES, FORMAT_PAT_DSTRIPE, 10)                                                       \
    X(PATTERN_TYPES, FORMAT_PAT_DCROSS, 11)                                                        \
    X(PATTERN_TYPES, FORMAT_PAT_THICK_DCROSS, 12)                                                  \
    X(PATTERN_TYPES, FORMAT_PAT_THIN_HSTRIPE, 13)                                                  \
    X(PATTERN_TYPES, FORMAT_PAT_THIN_VSTRIPE, 14)                                                  \
    X(PATTERN_TYPES, FORMAT_PAT_THIN_RDSTRIPE, 15)                                                 \
    X(PATTERN_TYPES, FORMAT_PAT_THIN_DSTRIPE, 16)                                                  \
    X(PATTERN_TYPES, FORMAT_PAT_THIN_HCROSS, 17)                                                   \
    X(PATTERN_TYPES, FORMAT_PAT_THIN_DCROSS, 18)                                                   \
    X(PATTERN_TYPES, FORMAT_PAT_GRAD_VERT, 19)                                                     \
    X(PATTERN_TYPES, FORMAT_PAT_GRAD_HORZ, 20)                                                     \
    X(PATTERN_TYPES, FORMAT_PAT_SYM_GRAD_VERT, 21)                                                 \
    X(PATTERN_TYPES, FORMAT_PAT_SYM_GRAD_HORZ, 22)                                                 \
    X(NUMERIC_TYPES, STD_STYLE_DEFAULT, 0)                                                         \
    X(NUMERIC_TYPES, STD_STYLE_GENERAL, 1)                                                         \
    X(NUMERIC_TYPES, STD_STYLE_CURRENCY, 2)                                                        \
    X(NUMERIC_TYPES, STD_STYLE_ACCOUNTING, 3)                                                      \
    X(NUMERIC_TYPES, STD_STYLE_DATE, 4)                                                            \
    X(NUMERIC_TYPES, STD_STYLE_TIME, 5)                                                            \
    X(NUMERIC_TYPES, STD_STYLE_DATE_TIME, 6)                                                       \
    X(NUMERIC_TYPES, STD_STYLE_PERCENTAGE, 7)                                                      \
    X(NUMERIC_TYPES, STD_STYLE_FRACTION, 8)                                                        \
    X(NUMERIC_TYPES, STD_STYLE_SCIENTIFIC, 9)                                                      \
    X(XBASE_TYPES, FILE_FORMAT_DBIII, 3)                                                           \
    X(XBASE_TYPES, FILE_FORMAT_DBIV, 4)                                                            \
    X(XBASE_TYPES, FILE_FORMAT_FOXPRO, 5)                                                          \
    X(XBASE_TYPES, FILE_FORMAT_CLIPPER, 6)                                                         \
    X(FORMAT_TYPES, STYLE_STD_NUM_FORMAT, 1)                                                       \
    X(FORMAT_TYPES, STYLE_FONT_SIZE, 3)                                                            \
    X(FORMAT_TYPES, STYLE_FONT_NAME, 4)                                                            \
    X(FORMAT_TYPES, STYLE_FONT_CHARSET, 5)                                                         \
    X(FORMAT_TYPES, STYLE_FONT_WEIGHT, 6)                                                          \
    X(FORMAT_TYPES, STYLE_FONT_SLANT, 7)                                                           \
    X(FORMAT_TYPES, STYLE_FONT_UNDERLINE, 8)                                                       \
    X(FORMAT_TYPES, STYLE_FONT_STRIKEOUT, 9)                                                       \
    X(FORMAT_TYPES, STYLE_FONT_TYPE, 10)                                                           \
    X(FORMAT_TYPES, STYLE_FONT_COLOR, 11)                                                          \
    X(FORMAT_TYPES, STYLE_DD_LIST, 12)                                                             \
    X(FORMAT_TYPES, STYLE_ALIGN_GENERAL, 13)                                                       \
    X(FORMAT_TYPES, STYLE_ALIGN_HORZ, 14)                                                          \
    X(FORMAT_TYPES, STYLE_ALIGN_VERT, 15)                                                          \
    X(FORMAT_TYPES, STYLE_ALIGN_WRAP, 16)                                                          \
    X(FORMAT_TYPES, STYLE_BORDERS, 17)                                                             \
    X(FORMAT_TYPES, STYLE_INTERIOR, 18)                                                            \
    X(FORMAT_TYPES, STYLE_PROTECTION, 19)                                                          \
    X(CHARSET_TYPES, TEXT_CHARSET_UTF8, 1)                                                         \
    X(CHARSET_TYPES, TEXT_CHARSET_ANSI, 2)                                                         \
    X(CHARSET_TYPES, TEXT_CHARSET_ISO, 3)                                                          \
    X(ERROR_TYPES, ERR_DIV_BY_ZERO, 1)                                                             \
    X(ERROR_TYPES, ERR_INVALID_NAME, 2)                                                            \
    X(ERROR_TYPES, ERR_NULL_VALUE, 3)                                                              \
    X(ERROR_TYPES, ERR_NO_DATA, 4)                                                                 \
    X(ERROR_TYPES, ERR_INVALID_NUMBER, 5)                                                          \
    X(ERROR_TYPES, ERR_INVALID_REF, 6)                                                             \
    X(ERROR_TYPES, ERR_INVALID_VALUE, 7)                                                           \
    X(ERROR_TYPES, ERR_OUT_OF_MEMORY, 8)                                                           \
    X(ERROR_TYPES, ERR_ARRAY_NO_FILL, 9)                                                           \
    X(ERROR_TYPES, ERR_ARRAY_CIRC, 10)

// The members as C++ constants, apart from the data model's names of the same kind.
namespace typelib {
#define VL_TYPELIB_CONSTANT(enumeration, member, value) constexpr int32_t member = value;
VL_TYPELIB_CONSTANTS(VL_TYPELIB_CONSTANT)
#undef VL_TYPELIB_CONSTANT
} // namespace typelib

struct TypeLibConstant {
    std::string_view enumeration;
    std::string_view member;
    int32_t value;
};
std::span<const TypeLibConstant> TypeLibConstants();

// Interfaces of the type library, by the name clients see.
struct InterfaceInfo {
    std::string_view name; // "IWorksheet"
    Guid iid;
};
extern const Guid IID_IUnknown;
extern const Guid IID_IDispatch;
extern const Guid IID_IWorksheet;
extern const Guid IID_ITree;
extern const Guid IID_IOptions;
extern const Guid IID_IDocuments;
extern const Guid IID_IXBaseInfo;
extern const Guid IID_ITextFileInfo;
extern const Guid IID_IFormatInfo;
extern const Guid IID_IPageInfo;
extern const Guid LIBID_VORLANLib;
extern const Guid APPID_Vorlane;
std::span<const InterfaceInfo> TypeLibInterfaces();

// A creatable class: what the registration writes for it.
struct CoClassInfo {
    std::string_view name; // "Workbook"
    Guid clsid;
    std::string_view progId;                   // "Vorlan.Workbook.1"
    std::string_view versionIndependentProgId; // "Vorlan.Workbook"
    std::string_view description;              // "Workbook Class"
    bool registersTypeLib; // the information classes add CurVer, Programmable, TypeLib
};
// The six classes in the order the server registers them.
std::span<const CoClassInfo> CoClasses();
// The class of a ProgID, versioned or not (compared without regard to case); null if none.
const CoClassInfo* FindCoClass(std::string_view progId);
const CoClassInfo& WorkbookClass();

} // namespace vl
