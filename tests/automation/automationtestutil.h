#pragma once
// A Workbook object for the automation tests, with the profile's defaults (A1 addressing,
// binary form) and the pause after a wrong password recorded instead of waited.

#include "automation/workbookobj.h"
#include "core/settings.h"
#include "formula/celltext.h"
#include "model/cellrecord.h"
#include "model/cellstyle.h"
#include "model/workbook.h"
#include "platform/com/errorinfo.h"
#include "tests/platform/core/tempfiles.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vl::autotest {

// A cell's value as it is shown, in its number format; empty for no cell.
inline std::string ShownText(const CWorkbook& book, const CWorksheet& sheet, uint32_t row,
                             uint16_t column) {
    const uint8_t* r = FindCell(sheet.cells, row, column);
    CellCursor runs;
    const uint16_t style = StyleIndexAt(sheet.formats, row, column, runs);
    std::string text;
    if (r) FormatCellValue(r, GetStyleRecord(book.styles, style).numberFormat, text);
    return text;
}

class AutomationTest : public ::testing::Test {
protected:
    void SetUp() override {
        Profile() = SettingsProfile{};
        SetWrongPasswordPause([this](int ms) { pauses.push_back(ms); });
        ClearErrorInfo();
        ASSERT_EQ(CWorkbookObj::Create(obj), S_OK);
    }
    void TearDown() override {
        SetWrongPasswordPause([](int) {});
        Profile() = SettingsProfile{};
    }
    // A fresh object with its one worksheet "Worksheet1".
    void NewDocument() { ASSERT_EQ(obj->NewDocument(), S_OK); }
    CWorkbook& Doc() { return obj->Document(); }

    CVariant Value(const char* cell) {
        CVariant v;
        EXPECT_EQ(obj->GetValue(cell, v), S_OK) << cell;
        return v;
    }
    double Number(const char* cell) {
        CVariant v = Value(cell);
        EXPECT_EQ(v.vt, VT_R8) << cell;
        return v.real;
    }
    void PutNumber(const char* cell, double value) {
        ASSERT_EQ(obj->PutValue(cell, CVariant::R8(value)), S_OK) << cell;
    }
    int32_t ItemCount() {
        int32_t n = -1;
        obj->GetItemCount(n);
        return n;
    }
    // The error information a failed call left: its description, or "<none>".
    static std::string TakenMessage() {
        std::optional<ErrorInfo> info = TakeErrorInfo();
        return info ? info->description : "<none>";
    }

    std::shared_ptr<CWorkbookObj> obj;
    std::vector<int> pauses;
    tempfiles::TempFolder folder;
};

} // namespace vl::autotest
