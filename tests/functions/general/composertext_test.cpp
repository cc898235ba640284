#include "functions/general/composertext.h"

#include <gtest/gtest.h>

using namespace vl;

namespace {

const FunctionInfo& Row(std::string_view name) {
    for (const FunctionInfo& row : FunctionCatalogue())
        if (name == row.name) return row;
    ADD_FAILURE() << "no row " << name;
    return FunctionCatalogue()[0];
}

uint16_t IndexOf(std::string_view name) {
    return uint16_t(&Row(name) - FunctionCatalogue().data());
}

} // namespace

TEST(ComposerText, PrototypesAndFormulas) {
    struct Row_ {
        const char* name;
        int slots;
        std::vector<std::string> values;
        int current;
        const char* prototype;
        const char* formula;
        const char* currentName;
    };
    const Row_ rows[] = {
        {"sum", CategorySlots(Row("sum")), {}, 0, "=sum(v1)", "=sum()", "v1"},
        {"npv", ListSlots(Row("npv")), {}, 0, "=npv(rate)", "=npv()", "rate"},
        {"npv", 2, {"0.1", "A1:A4"}, 1, "=npv(rate, v1)", "=npv(0.1, A1:A4)", "v1"},
        {"abs", ListSlots(Row("abs")), {"-1"}, 0, "=abs(x)", "=abs(-1)", "x"},
        {"trimMean", 2, {}, 1, "=trimMean(array, percent)", "=trimMean(, )", "percent"},
    };
    for (const Row_& r : rows) {
        const FunctionInfo& row = Row(r.name);
        const ComposedText proto = BuildPrototypeText(row, r.slots, r.current);
        EXPECT_EQ(proto.text, r.prototype);
        EXPECT_EQ(proto.text.substr(proto.start, proto.end - proto.start), r.currentName);
        EXPECT_EQ(BuildFormulaText(row, r.values, r.slots, r.current).text, r.formula);
    }
}

// The lookup functions show the names of their signatures, each argument current in turn;
// only the searched arrays take a range from the selection.
TEST(ComposerText, TheLookupFunctionsShowTheirArgumentNames) {
    struct Row_ {
        const char* name;
        const char* prototype;
        std::vector<std::string> names;
        const char* kinds;
    };
    const Row_ rows[] = {
        {"hLookUp", "=hLookUp(v, array, n, [type])", {"v", "array", "n", "[type]"}, "0100"},
        {"lookUp",
         "=lookUp(v, searchArray, [resultArray])",
         {"v", "searchArray", "[resultArray]"},
         "011"},
        {"match", "=match(v, array, [type])", {"v", "array", "[type]"}, "010"},
        {"vLookUp", "=vLookUp(v, array, n, [type])", {"v", "array", "n", "[type]"}, "0100"},
    };
    int family = 0;
    for (const FunctionInfo& row : FunctionCatalogue())
        for (const Row_& r : rows) family += std::string_view(r.name) == row.name;
    EXPECT_EQ(family, 4);
    for (const Row_& r : rows) {
        SCOPED_TRACE(r.name);
        const FunctionInfo& row = Row(r.name);
        ASSERT_EQ(FixedArgumentCount(row), r.names.size());
        EXPECT_FALSE(TakesArgumentList(row));
        EXPECT_EQ(CategorySlots(row), int(r.names.size()));
        EXPECT_STREQ(row.argumentKinds, r.kinds);
        for (int i = 0; i < int(r.names.size()); ++i) {
            EXPECT_EQ(ArgumentName(row, i), r.names[std::size_t(i)]);
            const ComposedText proto = BuildPrototypeText(row, CategorySlots(row), i);
            EXPECT_EQ(proto.text, r.prototype);
            EXPECT_EQ(proto.text.substr(proto.start, proto.end - proto.start),
                      r.names[std::size_t(i)]);
        }
    }
}

TEST(ComposerText, TextsStayWithinTheirBound) {
    std::vector<std::string> values;
    SetArgumentValue(values, 0, std::string(1000, 'a'));
    SetArgumentValue(values, 1, std::string(24, 'b')); // 1,024 in all: kept
    EXPECT_EQ(values[1].size(), 24u);
    SetArgumentValue(values, 2, "c"); // one past: the piece is left out
    EXPECT_TRUE(values[2].empty());
    EXPECT_EQ(values[0].size(), 1000u);
    SetArgumentValue(values, 45, "x"); // past the 45 arguments: nothing
    EXPECT_EQ(values.size(), 3u);
    const ComposedText formula = BuildFormulaText(Row("sum"), values, 3, 2);
    EXPECT_LE(formula.text.size(), kMaxComposerText);
}

TEST(ComposerText, UsableHistoryEntries) {
    struct Row_ {
        uint16_t index;
        uint8_t count;
        std::size_t bytes;
        bool usable;
    };
    const Row_ rows[] = {
        {293, 1, 1, true},   {294, 1, 1, false}, {1000, 0, 0, false},
        {0, 45, 45, true},   {0, 46, 46, false}, {0, 1, 1025, true},
        {0, 1, 1026, false}, {0, 3, 2, false}, // fewer terminators than arguments
    };
    for (const Row_& r : rows) {
        ComposerFormula entry;
        entry.index = r.index;
        entry.argumentCount = r.count;
        entry.arguments.assign(r.bytes, 'x');
        for (std::size_t i = 0; i < std::min<std::size_t>(r.count, r.bytes); ++i)
            entry.arguments[r.bytes - 1 - i] = '\0';
        EXPECT_EQ(UsableHistoryEntry(entry), r.usable)
            << r.index << " " << int(r.count) << " " << r.bytes;
        EXPECT_EQ(HistoryText(entry).empty(), !r.usable);
    }
}

TEST(ComposerText, HistoryRoundTripsAndOrders) {
    const std::vector<std::string> values = {"0.1", "B1:B9"};
    const ComposerFormula entry = PackHistoryEntry(IndexOf("npv"), values, 2);
    EXPECT_EQ(UnpackArguments(entry), values);
    EXPECT_EQ(HistoryText(entry), "=npv(0.1, B1:B9)");

    std::vector<ComposerFormula> history;
    std::vector<std::string> texts;
    EXPECT_EQ(AddHistoryEntry(history, texts, entry, "=sum(A1)+1"), -1);
    EXPECT_EQ(AddHistoryEntry(history, texts, entry, "=sum(A1)"), -1); // no prefix match
    EXPECT_EQ(texts, (std::vector<std::string>{"=sum(A1)", "=sum(A1)+1"}));
    EXPECT_EQ(AddHistoryEntry(history, texts, entry, "=SUM(a1)+1"), 1); // moved to the front
    EXPECT_EQ(texts, (std::vector<std::string>{"=SUM(a1)+1", "=sum(A1)"}));
    for (int i = 0; i < 98; ++i) AddHistoryEntry(history, texts, entry, "=" + std::to_string(i));
    EXPECT_EQ(history.size(), 100u);
    EXPECT_EQ(texts.back(), "=sum(A1)");
    EXPECT_EQ(AddHistoryEntry(history, texts, entry, "=new"), 99); // the oldest goes
    EXPECT_EQ(history.size(), 100u);
    EXPECT_EQ(texts.front(), "=new");
    EXPECT_EQ(texts.back(), "=SUM(a1)+1");
}

TEST(ComposerText, SelectionReferences) {
    struct Row_ {
        uint16_t left;
        uint32_t top;
        uint16_t right;
        uint32_t bottom;
        bool a1, relative, range;
        const char* text;
    };
    const Row_ rows[] = {
        {1, 0, 3, 2097151, true, false, false, "$B:$D"},
        {1, 0, 3, 2097151, true, true, false, "B:D"},
        {2, 0, 2, 2097151, true, false, true, "$C"},
        {0, 2, 2046, 4, true, false, false, "$3:$5"},
        {0, 0, 0, 0, true, false, true, "$A$1:$A$1"},
        {0, 0, 0, 0, true, false, false, "$A$1"},
        {0, 0, 0, 0, true, true, true, "A1:A1"},
        {1, 1, 2, 2, true, false, false, "$B$2:$C$3"},
        {0, 0, 0, 0, false, true, false, "R1C1"},
        {1, 1, 2, 2, false, false, false, "R2C2:R3C3"},
    };
    for (const Row_& r : rows)
        EXPECT_EQ(
            SelectionReference(r.left, r.top, r.right, r.bottom, r.a1, r.relative, r.range, 0, 0),
            r.text);
}

TEST(ComposerText, MenuItemsKeepWithinTheTextLimit) {
    const ComposerFormula entry = PackHistoryEntry(IndexOf("npv"), {"0.1", "B1:B9"}, 2);
    EXPECT_EQ(HistoryMenuText(entry, 3), "3.\t=npv(0.1, B1:B9");
    // The second argument would pass 1,024 characters: it is left out, the first stays.
    const std::string first(1000, 'a'), second(30, 'b');
    const ComposerFormula longer = PackHistoryEntry(IndexOf("npv"), {first, second}, 2);
    const std::string text = HistoryMenuText(longer, 1);
    EXPECT_EQ(text, "1.\t=npv(" + first);
    EXPECT_LE(text.size(), kMaxComposerText);
    // Up to the last character that fits.
    const std::string fits(1024 - std::string("1.\t=npv(").size() - 2 - 3, 'c');
    const ComposerFormula exact = PackHistoryEntry(IndexOf("npv"), {"0.1", fits}, 2);
    EXPECT_EQ(HistoryMenuText(exact, 1).size(), 1024u);
}
