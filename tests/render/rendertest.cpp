#include "rendertest.h"

#include "model/formatstore.h"
#include "render/paintsheet.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdlib>
#include <cstring>

namespace vl::rendertest {

QImage WhiteImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

SheetFixture::SheetFixture() : book_(CreateWorkbook()), sheet_(nullptr), display_(ctx_, false) {
    sheet_ = AsWorksheet(book_->AppendTreeItem(TREE_TYPE_WORKSHEET, nullptr, 1));
    sheet_->InitViewSettings();
}

void SheetFixture::Put(const CellBuffer& b) {
    CellCursor cursor;
    ASSERT_TRUE(sheet_->cells.PutCell(b.bytes, cursor));
}

void SheetFixture::PutText(uint16_t column, uint32_t row, const std::string& text) {
    CellBuffer b;
    ASSERT_TRUE(MakeTextCell(b, column, row, text));
    Put(b);
}

void SheetFixture::PutNumber(uint16_t column, uint32_t row, double value) {
    CellBuffer b;
    ASSERT_TRUE(MakeNumberCell(b, column, row, value));
    Put(b);
}

void SheetFixture::PutFormula(uint16_t column, uint32_t row, const char* formula, double result) {
    FormulaHead head;
    head.arrayWidth = 1;
    head.cachedNumber = result;
    CellBuffer b;
    ASSERT_TRUE(MakeFormulaCell(b, column, row, head, formula));
    Put(b);
}

uint16_t SheetFixture::AddStyle(StyleRecord style, const FontRecord* font) {
    StyleTables& t = book_->styles;
    if (font) {
        uint8_t index = 0;
        EXPECT_TRUE(FindOrAddFont(t, *font, &index));
        style.fontRef.fontIndex = index;
    }
    t.styles[t.styleCount] = style;
    return t.styleCount++;
}

void SheetFixture::SetStyle(uint16_t column, uint32_t row, uint16_t style) {
    SetStyle(column, column, row, style);
}

void SheetFixture::SetStyle(uint16_t firstColumn, uint16_t lastColumn, uint32_t row,
                            uint16_t style) {
    CellCursor cursor;
    ASSERT_TRUE(PutFormatRun(sheet_->formats, {firstColumn, lastColumn, row, style}, cursor));
}

void SheetFixture::PaintOn(CCanvas& canvas, const DcRect& area, uint32_t firstRow,
                           uint16_t firstColumn, ZoomPair zoom) {
    PaintSheet(*book_, display_, canvas, area, *sheet_, firstRow, firstColumn, zoom);
    canvas.RestoreObjects();
}

FontRecord Font(const char* face, uint8_t size, uint8_t weight) {
    FontRecord font;
    std::strncpy(font.faceName, face, kFaceNameSize - 1);
    font.size = size;
    font.weight = weight;
    return font;
}

namespace {

QString GoldenPath(const std::string& name) {
    return QString::fromStdString(std::string(VORLANE_TEST_DATA) + "/render/" + name + ".png");
}

} // namespace

double Differing(const QImage& fullA, const QImage& fullB) {
    if (fullA.size() != fullB.size()) return 1.0;
    const QSize size = fullA.size() / 4;
    const QImage a = fullA.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage b = fullB.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int64_t differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 64;
    return double(differing) / (double(a.width()) * a.height());
}

::testing::AssertionResult MatchesGolden(const QImage& image, const std::string& name) {
    const QImage actual = image.convertToFormat(QImage::Format_RGB32);
    const QString path = GoldenPath(name);
    const char* update = std::getenv("VORLANE_UPDATE_GOLDENS");
    if (update && std::strcmp(update, "1") == 0) {
        QDir().mkpath(QFileInfo(path).path());
        if (!actual.save(path, "PNG"))
            return ::testing::AssertionFailure() << "cannot write " << path.toStdString();
        return ::testing::AssertionSuccess();
    }
    const QImage golden = QImage(path).convertToFormat(QImage::Format_RGB32);
    if (!golden.isNull() && golden == actual) return ::testing::AssertionSuccess();
    const std::string actualPath =
        QCoreApplication::applicationDirPath().toStdString() + "/" + name + ".actual.png";
    actual.save(QString::fromStdString(actualPath), "PNG");
    return ::testing::AssertionFailure()
           << (golden.isNull() ? "no golden image " : "image differs from ") << path.toStdString()
           << "; wrote " << actualPath;
}

} // namespace vl::rendertest
