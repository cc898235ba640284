#pragma once
// A fixture for the window tests that copy, cut and paste: an empty copy history holding up to
// 16 blocks, an empty clipboard and a new window; cells made bold and read back as bold.

#include "app/copyhistory.h"
#include "model/formatattribute.h"
#include "model/rangestyle.h"
#include "model/workbook.h"
#include "wndtest.h"
#include "workbookwnd/environment.h"

#include <QClipboard>
#include <QGuiApplication>

namespace vl::wndtest {

class CopyTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        CopyHistory().ReleaseAll();
        CopyHistory().ApplyCopyLevel(16);
        QGuiApplication::clipboard()->clear();
        ASSERT_NE(NewWindow(), nullptr);
    }
    void TearDown() override {
        SetWorkbookKeyState(nullptr);
        CopyHistory().ReleaseAll();
        CopyHistory().ApplyCopyLevel(1);
        WindowTest::TearDown();
    }
    void Bold(uint16_t column, uint32_t row) {
        FontRecord font = DefaultFontRecord();
        font.weight = 2;
        ASSERT_TRUE(ApplyStyleToRange(Book().styles, column, column, row, row,
                                      Book().tree.active->formats, kAttrFontWeight, StyleRecord{},
                                      font));
    }
    bool IsBold(uint16_t column, uint32_t row) const {
        const uint16_t style = CellStyleIndex(Book().tree.active->formats, row, column);
        return Book().styles.fonts[Book().styles.styles[style].fontRef.fontIndex].weight == 2;
    }
};

} // namespace vl::wndtest
