// A container with the edge values its pages store (spacing 0 and 255, width 0) saves and
// reads back unchanged in the XML and in the binary form.

#include "filestestutil.h"
#include "xmltestutil.h"

#include <tuple>

namespace vl {

namespace {

auto Edges(const ContainerSettings& s) {
    return std::tuple(s.horzSpacing, s.vertSpacing, s.left, s.right, s.top, s.bottom, s.columns,
                      s.rows);
}

std::unique_ptr<CWorkbook> BookWithEdges() {
    auto book = CreateWorkbook();
    CWorksheet& ws = xmltest::AddSheet(*book);
    auto c = NewBlockObject<CContainer>();
    InitContainerDefaults(*c, nullptr, nullptr);
    c->settings.id = 3;
    c->settings.horzSpacing = 0;
    c->settings.vertSpacing = 255;
    c->settings.left = 40;
    c->settings.right = 39; // width 0
    c->settings.top = 7;
    c->settings.bottom = 506;
    c->settings.columns = 10;
    c->settings.rows = 1;
    LinkContainer(ws, std::move(c));
    return book;
}

} // namespace

TEST(ContainerEdges, SpacingAndWidthEdgesSurviveBothForms) {
    auto book = BookWithEdges();
    const auto expected = Edges(book->tree.active->firstContainer->settings);

    const xmltest::Loaded xml = xmltest::Read(xmltest::WriteToMemory(*book));
    ASSERT_TRUE(xml.ok);
    ASSERT_NE(xmltest::SheetOf(xml).firstContainer, nullptr);
    EXPECT_EQ(Edges(xmltest::SheetOf(xml).firstContainer->settings), expected);

    tempfiles::TempFolder folder;
    const std::string path = folder.Path("edges.vln");
    ASSERT_TRUE(filestest::SaveToPath(*book, path, false));
    bool ok = false;
    auto binary = filestest::LoadFromPath(path, nullptr, ok);
    ASSERT_TRUE(ok);
    ASSERT_NE(binary->tree.active, nullptr);
    ASSERT_NE(binary->tree.active->firstContainer, nullptr);
    EXPECT_EQ(Edges(binary->tree.active->firstContainer->settings), expected);
}

} // namespace vl
