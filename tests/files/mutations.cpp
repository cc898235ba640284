#include "mutations.h"

#include "files/workbookopen.h"
#include "reloadcheck.h"
#include "v6writer.h"

#include <cstdio>
#include <random>
#include <unistd.h>

namespace vl::mutations {

namespace {

using namespace v6test;

V6Chart SmallChart() {
    V6Chart c{.hasValues = 1, .valueRect = {1, 0, 2, 2}, .categoryRect = {0, 0, 0, 2}};
    c.kindCode = 2;
    c.legendShown = 1;
    c.title[0] = "Chart";
    return c;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

bool Load(CWorkbook& book, const std::string& path, bool v6) {
    if (v6) {
        const bool ok = OpenDocumentFile(book, path.c_str()) && OpenWorkbookFile(book, nullptr);
        book.stream.Close();
        return ok;
    }
    const bool ok =
        book.stream.Open(path.c_str(), "rb", false, kFileBufferSize) &&
        ReadBinaryWorkbookBody(book, book.stream, reloadcheck::kNewestBodyVersion, nullptr);
    book.stream.Close();
    return ok;
}

} // namespace

Bytes SmallV6File() {
    V6File f;
    f.styles.resize(3);
    f.styles[1].flags = 0x21;
    f.styles[2].borders = 0x0F;
    f.fonts.push_back({-13, 700, 1, 0, 0, 0, 34, "Arial"});
    f.lists = {{1, "a\r\nb\r\n"}};
    V6Item item;
    item.name = "Sheet1";
    V6Sheet& s = item.sheet;
    V6Object note;
    note.introduce = "TextObj";
    note.frame[2] = 99;
    note.frame[3] = 49;
    note.text.title = "Note";
    V6Object chart;
    chart.introduce = "GraphObj";
    chart.chart = true;
    chart.graph = SmallChart();
    chart.frame[2] = 200;
    chart.frame[3] = 120;
    s.objects = {note, chart};
    s.presence = 1;
    s.page.flags = 0x25;
    s.page.pages = "1-2";
    s.tables.runRows = 3;
    s.tables.blocks = {{3, 0, {{0, 1, 1}, {2, 2, 2}}}};
    s.cells = {{0, 0, 1, "north", 0}, {1, 0, 2, "", 4.5},  {2, 0, 2, "", -2},
               {0, 1, 1, "south", 0}, {1, 1, 2, "", 7.25}, {2, 1, 4, "B1+B2", 11.75}};
    f.items = {item};
    return WriteV6File(f).data;
}

Bytes SmallBody() {
    const std::string path = "/tmp/vorlane-mutations-seed-" + std::to_string(::getpid()) + ".vlb";
    WriteFile(path, SmallV6File());
    auto book = CreateWorkbook();
    std::string body;
    if (Load(*book, path, true)) reloadcheck::BodyBytes(*book, body);
    std::remove(path.c_str());
    return Bytes(body.begin(), body.end());
}

std::string SeedFault(const Bytes& file, bool v6, const std::string& folder) {
    WriteFile(folder + "/seed", file);
    auto book = CreateWorkbook();
    if (!Load(*book, folder + "/seed", v6))
        return "it does not load: " + std::to_string(book->error);
    return reloadcheck::RecordFault(*book, folder + "/saved.vlb");
}

Outcome MutateAndReload(const Bytes& seed, bool v6, uint32_t randomSeed, int count,
                        const std::string& folder, Keep keep) {
    Outcome out;
    if (seed.empty()) return out;
    std::mt19937 draw(randomSeed);
    const std::string input = folder + "/input", saved = folder + "/saved.vlb";
    for (int i = 0; i < count; ++i) {
        Bytes bytes = seed;
        const size_t at = std::uniform_int_distribution<size_t>(0, seed.size() - 1)(draw);
        const auto step = uint8_t(std::uniform_int_distribution<int>(1, 255)(draw));
        bytes[at] = uint8_t(bytes[at] + step);
        WriteFile(input, bytes);
        ++out.tried;
        auto book = CreateWorkbook();
        if (!Load(*book, input, v6)) continue;
        ++out.loaded;
        const std::string fault = keep == Keep::kRecords ? reloadcheck::RecordFault(*book, saved)
                                                         : reloadcheck::ReloadFault(*book, saved);
        if (!fault.empty() && ++out.faults <= 20)
            out.first +=
                "\n byte " + std::to_string(at) + " = " + std::to_string(bytes[at]) + ": " + fault;
    }
    return out;
}

} // namespace vl::mutations
