#include "formula/functable.h"
#include "functions/bindall/bindall.h"
#include "functions/general/catalogue.h"
#include "tests/functions/general/functiontestutil.h"

#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace vl::test {

namespace {

const FunctionInfo* Row(std::string_view name) {
    for (const FunctionInfo& row : FunctionCatalogue())
        if (name == row.name) return &row;
    return nullptr;
}

std::vector<std::string> ArgumentNames(const FunctionInfo& row) {
    std::vector<std::string> names;
    const char* p = row.argumentNames;
    for (uint8_t i = 0; i < FixedArgumentCount(row); ++i, p += names.back().size() + 1)
        names.emplace_back(p);
    return names;
}

std::vector<std::string> HelpLines(const FunctionInfo& row) {
    std::vector<std::string> lines;
    std::string_view text(row.helpText);
    for (std::size_t end; (end = text.find("\r\n")) != std::string_view::npos;
         text.remove_prefix(end + 2))
        lines.emplace_back(text.substr(0, end));
    lines.emplace_back(text);
    return lines;
}

std::string Upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return out;
}

} // namespace

TEST(FunctionCatalogue, CategoriesCountTheirRows) {
    const std::size_t expected[] = {59, 21, 20, 23, 19, 6, 16, 36, 74, 7, 13};
    std::size_t counts[kCategoryCount] = {};
    int last = 0;
    for (const FunctionInfo& row : FunctionCatalogue()) {
        ASSERT_LT(CategoryOf(row), kCategoryAll) << row.name;
        EXPECT_GE(CategoryOf(row), last) << row.name << " stands outside its category";
        last = CategoryOf(row);
        ++counts[CategoryOf(row)];
    }
    for (uint8_t c = 0; c < kCategoryAll; ++c) EXPECT_EQ(counts[c], expected[c]) << int(c);
    EXPECT_EQ(FunctionCatalogue().size(), 294u);
    const FunctionInfo& end = FunctionCatalogueRows()[kCatalogueRows];
    EXPECT_EQ(end.code, 0u);
    EXPECT_EQ(end.name, nullptr);
    EXPECT_EQ(end.helpText, nullptr);
    EXPECT_EQ(FunctionCategoryName(0), "mathematical");
    EXPECT_EQ(FunctionCategoryName(4), "lookup & reference");
    EXPECT_EQ(FunctionCategoryName(10), "matrix, over-/determined eq. systems");
    EXPECT_EQ(FunctionCategoryName(11), "all");
    EXPECT_EQ(FunctionCategoryName(12), "");
}

TEST(FunctionCatalogue, ArgumentListsAndKinds) {
    int variable = 0;
    for (const FunctionInfo& row : FunctionCatalogue()) variable += TakesArgumentList(row);
    EXPECT_EQ(variable, 47);
    struct Case {
        const char* name;
        uint32_t code;
        std::vector<std::string> arguments;
        const char* kinds;
    };
    const Case cases[] = {
        {"abs", 0x100, {"x"}, "0"},
        {"ceiling", 0x200, {"x", "m"}, "00"},
        {"countIf", 0x200, {"array", "criteria"}, "10"},
        {"sumIf", 0x300, {"searchArray", "criteria", "[sumArray]"}, "101"},
        {"seriesSum", 0x400, {"x", "n", "m", "a"}, "0000"},
        {"sum", 0x10000, {}, "0000000"},
        {"rand", 0x0, {}, ""},
        {"pi", 0x0, {}, ""},
        {"fvSchedule", 0x10103, {"principal"}, "0"},
        {"npv", 0x10103, {"rate"}, "0"},
        {"choose", 0x10104, {"n"}, "0"},
        {"rtd", 0x10204, {"prog_id", "machine"}, "00"},
        {"sort", 0x10304, {"array", "column1", "order1"}, "100"},
        {"udf", 0x10304, {"prog_id", "machine", "method"}, "000"},
    };
    for (const Case& c : cases) {
        const FunctionInfo* row = Row(c.name);
        ASSERT_TRUE(row) << c.name;
        EXPECT_EQ(row->code, c.code) << c.name;
        EXPECT_EQ(ArgumentNames(*row), c.arguments) << c.name;
        EXPECT_STREQ(row->argumentKinds, c.kinds) << c.name;
    }
    const std::map<std::string, std::string> kinds = {
        {"atan2", "0"},           {"floor", "0"},           {"log10", "00"},
        {"imExp", "00"},          {"date", "00"},           {"lookUp", "011"},
        {"normsDist", "0000"},    {"timeSeries", "1000"},   {"tTest", "11"},
        {"LProgBin", "11111000"}, {"LProgInt", "11111000"}, {"minMC", "011000"},
        {"mtxLSW", "11100"},      {"mtxRand2", "000"},      {"rept", "0"},
        {"mDeterm", "1"},         {"mInverse", "1"},        {"sumX2mY2", "11"},
        {"sumX2pY2", "11"},       {"sumXmY2", "11"},        {"trunc", "00"},
    };
    for (const auto& [name, expected] : kinds) {
        const FunctionInfo* row = Row(name);
        ASSERT_TRUE(row) << name;
        EXPECT_EQ(row->argumentKinds, expected) << name;
    }
}

// Every row names a bound function of the table; the table's rows without one are those not
// built yet and ASC, TEXT and FDISTP, which still evaluate.
TEST(FunctionCatalogue, RowsNameTheTable) {
    BindAllFunctions();
    std::set<uint16_t> listed;
    std::set<std::string> listedNames;
    for (const FunctionInfo& row : FunctionCatalogue()) {
        const std::string call = "=" + std::string(row.name) + "(";
        uint16_t index = 0;
        std::size_t end = 0;
        ASSERT_TRUE(FindBuiltinFunction(std::string_view(call).substr(1), index, end)) << call;
        EXPECT_EQ(end, call.size() - 1) << call;
        EXPECT_NE(GetBuiltinFunction(index)->implementation, &NotImplementedBuiltin) << call;
        EXPECT_TRUE(listed.insert(index).second) << call << " listed twice";
        listedNames.insert(GetBuiltinFunction(index)->name);
    }
    std::set<std::string> unlisted;
    int unbound = 0;
    for (uint16_t i = 0; i < BuiltinFunctionCount(); ++i) {
        const BuiltinFunction* f = GetBuiltinFunction(i);
        if (f->implementation == &NotImplementedBuiltin)
            ++unbound;
        else if (!listedNames.count(f->name))
            unlisted.insert(f->name);
    }
    EXPECT_EQ(unbound, 66);
    EXPECT_EQ(unlisted, (std::set<std::string>{"ASC(", "FDISTP(", "TEXT("}));
    FunctionBook book;
    EXPECT_EQ(book.Eval("=text(1.5, \"0.00\")", "J20"), "1.50");
    EXPECT_EQ(book.Eval("=fDistP(1, 1, 1) > 0", "J20"), "1");
    EXPECT_EQ(book.Eval("=asc(\"a\")", "J20"), "a");
}

// The row indexes are stored, so the names stand at fixed places.
TEST(FunctionCatalogue, NamesKeepTheirIndexes) {
    std::ifstream golden(VORLANE_TEST_DATA "/functions/catalogue-names.txt");
    ASSERT_TRUE(golden);
    std::string line;
    std::size_t index = 0;
    while (std::getline(golden, line)) {
        ASSERT_LT(index, kCatalogueRows);
        EXPECT_EQ(std::to_string(index) + " " + FunctionCatalogue()[index].name, line);
        ++index;
    }
    EXPECT_EQ(index, kCatalogueRows);
}

TEST(FunctionCatalogue, HelpTextsHaveTheirForm) {
    for (const FunctionInfo& row : FunctionCatalogue()) {
        SCOPED_TRACE(row.name);
        std::string signature = std::string(row.name) + "(";
        std::vector<std::string> names = ArgumentNames(row);
        if (TakesArgumentList(row)) names.push_back("v1, v2, ...");
        for (std::size_t i = 0; i < names.size(); ++i) signature += (i ? ", " : "") + names[i];
        std::vector<std::string> lines = HelpLines(row);
        ASSERT_GE(lines.size(), 5u);
        EXPECT_EQ(lines[0], signature + ")");
        EXPECT_EQ(lines[1], "");
        EXPECT_FALSE(lines[2].empty());
        std::size_t examples = 0;
        for (std::size_t i = 3; i < lines.size(); ++i) {
            if (lines[i].empty() || lines[i][0] != '=') continue;
            ++examples;
            EXPECT_NE(lines[i].find(")    returns "), std::string::npos) << lines[i];
            EXPECT_NE(Upper(lines[i]).find(Upper(row.name) + "("), std::string::npos) << lines[i];
        }
        EXPECT_GE(examples, 1u);
        for (const std::string& l : lines)
            EXPECT_EQ(l.find_first_of("\r\n"), std::string::npos) << "a line break without CR LF";
    }
}

// What an example shows is what the formula gives; functions whose results vary are left out.
TEST(FunctionCatalogue, ExamplesEvaluateToTheirValues) {
    BindAllFunctions();
    const std::set<std::string> varying = {"rand",  "randBetween", "now", "today",
                                           "minMC", "rtd",         "udf"};
    // Its example gives #REF! in the solver today.
    const std::set<std::string> unsolved = {"minSimplex"};
    FunctionBook book;
    book.Number("A1", 1);
    book.Formula("B1", "=A1^2-4");
    book.Formula("D1", "=(A1-1)^2");
    int checked = 0;
    for (const FunctionInfo& row : FunctionCatalogue()) {
        if (varying.count(row.name) || unsolved.count(row.name)) continue;
        for (const std::string& line : HelpLines(row)) {
            const std::size_t split = line.find("    returns ");
            if (line.empty() || line[0] != '=' || split == std::string::npos) continue;
            const std::string formula = line.substr(0, split);
            const std::string value = line.substr(split + 12);
            test::CheckPrinted(book, PrintedCase{formula.c_str(), value.c_str()});
            EXPECT_EQ(book.Ctx().stringPool.count, 0) << formula;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 286);
}

// The solvers maximise, and read each relation as a number (1 for <=, 0 for =, -1 for >=):
// their help says so, and its examples write relations as the functions read them.
TEST(FunctionCatalogue, ProgramHelpSaysWhatTheSolversDo) {
    for (const char* name : {"LProg", "LProgInt", "LProgBin", "QProg"}) {
        SCOPED_TRACE(name);
        const FunctionInfo* row = Row(name);
        ASSERT_NE(row, nullptr);
        const std::string help = row->helpText;
        EXPECT_NE(help.find("maximise"), std::string::npos);
        EXPECT_EQ(help.find("minimise"), std::string::npos);
        EXPECT_NE(help.find("1 for <=, 0 for = and -1 for >="), std::string::npos);
        const std::string example = HelpLines(*row).back();
        EXPECT_EQ(example.find('"'), std::string::npos) << example;
    }
}

// A call may leave out the trailing arguments the catalogue shows in brackets: it gives what
// the call with those arguments written empty gives, for every such function.
TEST(FunctionCatalogue, TrailingOptionalArgumentsMayBeLeftOut) {
    BindAllFunctions();
    const std::set<std::string> varying = {"rand", "randBetween", "now",     "today",   "minMC",
                                           "rtd",  "udf",         "mtxRand", "mtxRand2"};
    FunctionBook book;
    int checked = 0;
    for (const FunctionInfo& row : FunctionCatalogue()) {
        if (varying.count(row.name) || TakesArgumentList(row)) continue;
        const std::vector<std::string> names = ArgumentNames(row);
        std::size_t required = 0;
        for (std::size_t i = 0; i < names.size(); ++i)
            if (names[i][0] != '[') required = i + 1;
        if (required == names.size()) continue;
        std::string shortCall = std::string("=") + row.name + "(", fullCall = shortCall;
        for (std::size_t i = 0; i < names.size(); ++i) {
            const char* argument = i < required ? "2" : "";
            if (i > 0) fullCall += ",";
            fullCall += argument;
            if (i < required) shortCall += std::string(i > 0 ? "," : "") + argument;
        }
        shortCall += ")";
        fullCall += ")";
        const std::string full = book.Eval(fullCall, "J20");
        EXPECT_EQ(book.Eval(shortCall, "J20"), full) << shortCall << " against " << fullCall;
        EXPECT_NE(full, "#SYNTAX!") << fullCall;
        ++checked;
    }
    EXPECT_GT(checked, 60);
    // One argument fewer than required stays a wrong count.
    EXPECT_EQ(book.Eval("=PMT(0.01,10)", "J20"), "#SYNTAX!");
}

} // namespace vl::test
