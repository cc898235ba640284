// The formula comparison with the peer: the generated cases of tools/make-formula-cases.py
// (every catalogue function, the operators, recalculations after an edit) evaluated here and
// compared with the peer's answers cached in formula-peer.tsv. Numbers agree within 1e-13
// relative, errors by kind, texts exactly. A difference passes only when peer-accepted.tsv
// names its reason or peer-pending.tsv lists it as a fault still open; the pending ones are
// counted, not hidden. A function the peer has none of is judged by the reference that
// peerreferences*.cpp (solvers, searches, series, matrices, lists, dates) works out, its
// answers stored.
#include "functions/bindall/bindall.h"
#include "functions/general/catalogue.h"
#include "tests/functions/bindall/peeranswers.h"
#include "tests/functions/bindall/peercases.h"
#include "tests/functions/bindall/peermodels.h"
#include "tests/functions/bindall/peerreferences.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace vl::test {

namespace {

// peer-accepted.tsv: "function NAME reason" accepts every case of a function (never a date
// kept as text, which is judged case by case), "case FORMULA reason [reference]" one case; a
// reference (worked out at 50 digits) is then what our number must meet within 1e-13.
// peer-pending.tsv: "FORMULA note" per fault still open.
struct Lists {
    std::map<std::string, std::string> functions, cases;
    std::map<std::string, double> references;
    std::map<std::string, std::string> referenceTexts; // a complex reference: "3+4i"
    std::map<std::string, std::string> pending;
};

const std::set<std::string>& Reasons() {
    static const std::set<std::string> reasons = {
        "no peer function", // the peer has no function of that meaning
        "typed dates kept as text",
        "#IMPL!",
        "type rule",    // text that is no number where a number is asked: #NUM!
        "error rule",   // an empty intersection #NULL!, a reversed range #REF!
        "peer inexact", // the 50-digit reference agrees with us, not with the peer
        "peer random",  // the value is drawn afresh on each evaluation
        // a number, truth value or other text where an ISO 8601 date or time is asked: #VALUE!
        "dates are text",
        // DATE takes years 1-50000 as written and carries months and days past their bounds,
        // TIME goes round the clock; fields are whole numbers rounded half away from zero
        "date fields",
        // SUM, MAX and MIN read numeric text as its number and leave errors (a reversed
        // range's #REF! too) and other texts out of ranges, MAX and MIN out of every argument;
        // a text that is no number named alone in SUM is #NUM!
        "aggregate reading",
        // DOLLARFR writes the numerator in as many digits as the denominator has and DOLLARDE
        // reads that many back; the denominator is a whole number rounded half away from zero
        "fraction digits",
        // MOD takes the divisor's sign, 0 for a quotient a decimal's error keeps off a whole one
        "remainder sign",
        // the moment statistics give #NUM! for a text that is no number in any argument, in
        // ranges too, and keep the largest error code
        "moment text",
        // a truth value is a whole number rounded half away from zero (0.29 is false); a negative,
        // one past 2,147,483,647 or a text that is no number is #NUM!, the largest code winning
        "truth rule",
        // a count is a whole number rounded half away from zero; an empty one takes the
        // function's default (LEFT and RIGHT: 1)
        "count rounding",
        // a number compared with a text is #VALUE!: comparisons convert neither
        "text against number",
        // a range result gives the range's values, shown from its first cell, on the
        // worksheet of the range it came from
        "range results",
        // an intersection with an operand that is no range leaves both operands in place
        "intersection operands",
        // lookups walk every cell (no sorted halving), an empty match type is 1, a type
        // outside -1..1 #NUM!, a text sought meets numbers as text, three-argument LOOKUP is
        // exact, a column or row past the area #REF!
        "lookup search",
        // the information functions read text as numbers, round, and pass errors on
        "information rule",
        // & binds as + and - do, from the left
        "join precedence",
        // a negative number to a power that is no whole number is #NUM!
        "negative base",
        // ROW, COLUMN, ROWS and COLUMNS take arrays as areas; AREAS counts references; ADDRESS
        // writes paths with ! and R1C1 distances from the formula's cell; INDEX outside #REF!
        "reference functions",
        // an empty cell named directly counts as 0 in the moment statistics
        "empty cell named",
        // TRIMMEAN drops the even number of values nearest to n x percent
        "trim count",
        // RANK between two of the data is a fractional rank
        "fractional rank",
        // MEDIAN and MODE leave errors and other texts out; MODE of distinct values is the
        // smallest
        "mode and median reading",
        // HARMEAN takes negative values
        "negative harmonic mean",
        // a text that is a number given where a number is asked is that number
        "numeric text",
        // PERCENTRANK below the data is 0; rounded to its significance, not cut
        "percent rank",
        // COUNTIF and SUMIF compare number cells with the criteria's number
        "criteria on numbers",
        // lookups compare numbers equal to 15 significant digits, in inline arrays too
        "lookups to fifteen digits",
        // FREQUENCY keeps its bins unsorted
        "frequency bins",
        // STEYX pairs stored cells of areas sharing a side; TREND reads areas by position
        "regression areas",
        // NPV, IRR, MIRR and FVSCHEDULE read numeric text as its number and other text, in
        // ranges too, as #NUM!; IRR and FVSCHEDULE take any number of values, IRR's last
        // argument being its guess
        "flow arguments",
        // the financial functions' rates, counts, periods and timings within their bounds,
        // #NUM! beyond; RATE finds rates above 0 only
        "argument bounds",
        // DDB keeps the book value at or above the salvage and takes a factor of 0
        "depreciation rules",
        // DOLLAR and FIXED show 15 significant digits and round the number as written; their
        // places are whole numbers rounded half away from zero, empty places 2
        "fifteen digits",
        "peer fault",      // the peer is wrong: a number of ours meets a 50-digit reference
        "empty text",      // the empty text read as a number is 0
        "whole numbers",   // whole-number arguments rounded half away from zero
        "truth flags",     // a cumulative flag must round to 0 or 1
        "inverse ends",    // no inverse outside (0, 1) but CHIINV's and FINV's 0
        "multiples",       // CEILING, FLOOR and MROUND on the magnitude; a multiple of 0 #DIV/0!
        "paired arrays",   // cells paired by place, an absent one 0; SERIESSUM skips absent cells
        "lower tail",      // CHITEST gives P(X < chi2)
        "matrix rules",    // one or more factors, empty cells 0, a singular matrix #NULL!
        "largest error",   // the largest error code among the arguments wins
        "finite results",  // subnormal results #NUM!, underflow 0
        "large angles",    // SIN, COS and TAN take any finite angle
        "empty arguments", // an empty argument takes the function's default
        "random between",  // RANDBETWEEN is not rounded to whole numbers
        // TTEST2 passes over a sample's cells that give no number
        "sample cells skipped",
        // the base conversions write 10 digits when places is empty, never cut nor refuse a
        // short places (a negative value always has 10), round decimals half away from zero
        // and give the largest error code of their arguments
        "base digits",
        // a text or result past the 8,173 characters a cell holds is #VALUE!
        "text length",
        // a complex result writes both parts, so arithmetic on it is #NUM!; an empty text is 0
        "complex text",
        // REPLACE refuses a start past the end and takes a count past it as the rest,
        // SUBSTITUTE's instance 0 is every occurrence, FIND finds the empty text
        "text positions",
        // texts are Windows-1252: CHAR(171) is «, CHAR(0) empty, UPPER keeps ß
        "code page",
        // of several failing arguments the largest error code wins
        "largest error",
        // VALUE reads only a number written as text
        "value text",
        // a number becomes text in the general form: 15 places, the exponent form from 1E+15
        "general form",
        // an empty text, or one of blanks only, is 0 where a number is asked
        "empty text",
        // the value-list statistics, SUMSQ, PRODUCT and SUMPRODUCT read numeric text (given
        // directly too) as its number and other text as #NUM!, keep the largest error code
        // (MEDIAN, MODE and SUMPRODUCT leave both out) and count an empty cell named directly
        // as 0; AVERAGE and AVEDEV skip an omitted argument and a place that names nothing;
        // the A forms are the plain ones
        "list reading",
        // COUNT counts numbers and numeric texts, COUNTA every argument given and every stored
        // cell of a range
        "count reading",
        // MODE of values that each occur once is the smallest of them
        "mode of singles",
        // LARGE, SMALL, PERCENTILE, QUARTILE, PERCENTRANK, RANK and TRIMMEAN sort the data as a
        // worksheet sort does and pick by position; k is rounded half away from zero, RANK and
        // PERCENTRANK interpolate, a parameter out of bounds is #NUM!
        "ranked data",
        // COVAR, CORREL, FORECAST, SLOPE, INTERCEPT, LINEST and TREND take every position of
        // their areas, an empty, text or error cell as 0; LINEST gives intercept then slope
        "paired positions",
        // PEARSON, RSQ, STEYX and PROB pair the stored cells of two areas; unequal counts or a
        // pair whose errors differ is #N/A!; PROB takes the probabilities as given
        "pair walk",
        // FREQUENCY keeps its bins in the order given; a text that is no number is #NUM!
        // FTEST is the cumulative F probability of the larger variance over the smaller
        "f cumulative",
        // a value outside a function's domain is #NUM!, one inside it is taken: HARMEAN of
        // negative values, ZTEST's omitted deviation (the sample's) or a negative one
        "domain rule",
        // a call with fewer arguments than the function needs, or more than it takes, is
        // refused as #SYNTAX!
        "argument count",
        // texts compare without regard to case ("apple" = "Apple")
        "texts ignore case",
        // COUNTIF and SUMIF compare a text cell with an ordering criteria as text, match "*"
        // against texts only and pair the sum range cell by cell from its corner
        "criteria rule",
        // ERRORTYPE numbers the error its argument gives among our kinds (#NUM! where the
        // peer says #VALUE! or its own 502)
        "error numbering",
        // a whole column spans the grid's 2,097,152 rows
        "grid size",
        // areas paired value by value (CHITEST2) must be of one shape: #VALUE!
        "unequal areas",
        // a sample of fewer than two numbers: the t statistic #N/A!, the z statistic #DIV/0!
        "small samples",
        // a name before "!" is a path in the workbook's tree, looked up from the folder of the
        // worksheet the reference points into; one that names no item is #NAME?
        "tree paths",
        // an error an argument holds (written, in a cell, a place that names nothing, a
        // reversed range's #REF!) is passed on, the largest code winning, before the function
        // checks the rest of its arguments
        "passed errors",
    };
    return reasons;
}

Lists ReadLists() {
    Lists lists;
    std::ifstream accepted(DataPath("peer-accepted.tsv"));
    EXPECT_TRUE(accepted.is_open());
    std::string line;
    for (int number = 1; std::getline(accepted, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f = Fields(line);
        EXPECT_GE(f.size(), 3u) << "peer-accepted.tsv line " << number;
        if (f.size() < 3) continue;
        EXPECT_TRUE(Reasons().count(f[2])) << "peer-accepted.tsv line " << number << ": " << f[2];
        if (f[0] == "function") {
            // A date kept as text is judged case by case, each answer stored.
            EXPECT_NE(f[2], "typed dates kept as text") << "peer-accepted.tsv line " << number;
            lists.functions[f[1]] = f[2];
        } else {
            EXPECT_EQ(f[0], "case") << "peer-accepted.tsv line " << number;
            lists.cases[f[1]] = f[2];
            if (f.size() > 3) {
                lists.references[f[1]] = std::strtod(f[3].c_str(), nullptr);
                lists.referenceTexts[f[1]] = f[3];
            }
            EXPECT_TRUE(f[2] != "peer inexact" || f.size() > 3)
                << "peer-accepted.tsv line " << number << " names no reference";
        }
    }
    std::ifstream pending(DataPath("peer-pending.tsv"));
    EXPECT_TRUE(pending.is_open());
    for (int number = 1; std::getline(pending, line); ++number) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f = Fields(line);
        lists.pending[f[0]] = f.size() > 1 ? f[1] : "";
    }
    return lists;
}

bool IsRandom(const std::string& formula) {
    return formula.find("RAND(") != std::string::npos ||
           formula.find("RANDBETWEEN(") != std::string::npos ||
           formula.find("MTXRAND") != std::string::npos;
}

// Our answer to each listed difference is the one stored; FORMULA_PEER_STORE=1 stores them anew.
void CheckStoredAnswers(const std::map<std::string, std::pair<std::string, std::string>>& listed) {
    std::map<std::string, std::string> stored = ReadStoredAnswers();
    if (std::getenv("FORMULA_PEER_STORE")) {
        std::map<std::string, std::string> answers;
        for (const auto& [formula, entry] : listed) answers[formula] = entry.first;
        EXPECT_TRUE(WriteStoredAnswers(answers));
        std::cout << "  stored answers written: " << answers.size() << "\n";
        return;
    }
    int changed = 0, missing = 0;
    for (const auto& [formula, entry] : listed) {
        auto at = stored.find(formula);
        if (at == stored.end()) {
            ++missing;
            ADD_FAILURE() << formula << " (" << entry.second << ") has no stored answer; ours is "
                          << entry.first;
        } else if (at->second != entry.first) {
            ++changed;
            ADD_FAILURE() << formula << " (" << entry.second << "): our answer was " << at->second
                          << ", now " << entry.first;
        }
    }
    int gone = 0;
    for (const auto& [formula, answer] : stored)
        if (!listed.count(formula)) {
            ++gone;
            ADD_FAILURE() << "a stored answer is no listed difference any more: " << formula;
        }
    std::cout << "  answers stored: " << stored.size() << ", changed " << changed << ", missing "
              << missing << ", no longer listed " << gone << "\n";
}

// Each reason's model run on every case listed under it; a reason over ten cases needs one.
void CheckModels(TestBook& book, const PeerFile& file, const std::vector<Answer>& ours,
                 const Lists& lists) {
    std::map<std::string, int> perReason, judged, refuted;
    for (const auto& [formula, reason] : lists.cases) ++perReason[reason];
    for (std::size_t k = 0; k < file.cases.size(); ++k) {
        const PeerCase& c = file.cases[k];
        auto accepted = lists.cases.find(c.formula);
        if (accepted == lists.cases.end() || c.kind == "recalc") continue;
        auto model = Models().find(accepted->second);
        if (model == Models().end()) continue;
        ++judged[accepted->second];
        std::string fault = model->second(book, ReadModelCase(book, c.formula, ours[k], c.peer));
        if (!fault.empty()) {
            ++refuted[accepted->second];
            ADD_FAILURE() << c.formula << " (" << accepted->second << "): " << fault;
        }
    }
    // A reason over ten entries needs a model (the peer's faults and inexact answers meet
    // their references instead).
    for (const auto& [reason, count] : perReason) {
        if (count <= 10 || reason == "peer inexact" || reason == "peer fault") continue;
        const bool modelled = Models().count(reason) > 0;
        EXPECT_TRUE(modelled) << reason << " covers " << count << " entries and has no model";
        std::cout << "  " << reason << ": " << count << " entries, "
                  << (modelled ? "model run on " + std::to_string(judged[reason])
                               : std::string("no model yet"))
                  << "\n";
    }
}

} // namespace

TEST(FormulaPeer, EveryCaseAgreesWithThePeerOrIsListed) {
    BindAllFunctions();
    PeerFile file = ReadPeerFile();
    Lists lists = ReadLists();
    TestBook book;
    book.Sheet();
    PutData(book, file.data);
    ASSERT_TRUE(book.Recalc());

    std::vector<const PeerCase*> recalcs;
    std::vector<Answer> ours(file.cases.size());
    for (std::size_t k = 0; k < file.cases.size(); ++k) {
        const PeerCase& c = file.cases[k];
        if (c.kind == "recalc")
            recalcs.push_back(&c);
        else
            ours[k] = Evaluate(book, c.formula, 19, uint32_t(k));
    }
    std::vector<Answer> recalculated = EvaluateRecalculations(recalcs);
    for (std::size_t k = 0, r = 0; k < file.cases.size(); ++k)
        if (file.cases[k].kind == "recalc") ours[k] = recalculated[r++];

    std::map<std::string, int> perFunction, acceptedBy, pendingBy;
    // Every accepted or pending difference: our answer as it is stored, and its reason.
    std::map<std::string, std::pair<std::string, std::string>> listed;
    int agreements = 0, failures = 0, referenceMet = 0, referenceAgreed = 0;
    std::set<std::string> pendingSeen;
    const char* dump = std::getenv("FORMULA_PEER_DIFFERENCES");
    std::ofstream differences;
    if (dump) differences.open(dump);
    for (std::size_t k = 0; k < file.cases.size(); ++k) {
        const PeerCase& c = file.cases[k];
        // Random draws are judged by their distributions (RandomFunctionsFollowTheirDistributions),
        // not by the draws the peer made once.
        if (IsRandom(c.formula)) continue;
        // The everyday worksheet's cases are judged against both peers (bothpeers_test.cpp).
        if (c.kind == "everyday") continue;
        ++perFunction[c.kind == "function" ? c.function : c.kind + ":" + c.function];
        const bool complex = c.function.rfind("im", 0) == 0 || c.function == "complex";
        // A function the peer has none of meets its reference (and the peer's answer where the
        // case has the peer work one out); every answer it gives is stored but a drawn one.
        auto reference = References().find(c.function);
        Judgement judged{"", false, false};
        if (reference != References().end() &&
            (c.kind == "function" || reference->second.withEquivalents))
            judged = reference->second.judge(book, c.formula, ours[k]);
        if (judged.judged) {
            // The peer knows no such function: its errors are those of the arguments it read.
            const bool peerWorked = c.peer.kind != 'e';
            if (judged.fault.empty() && (!peerWorked || Agree(ours[k], c.peer))) {
                ++agreements;
                ++referenceAgreed;
                EXPECT_FALSE(lists.cases.count(c.formula))
                    << c.formula << " is listed as a difference but meets its reference";
                if (!judged.drawn) listed[c.formula] = {StoredForm(ours[k]), "reference"};
                continue;
            }
            if (!lists.cases.count(c.formula) && !lists.pending.count(c.formula)) {
                ++failures;
                ADD_FAILURE() << "line " << c.line << ": " << c.formula << ": " << judged.fault
                              << (peerWorked ? ", the peer " + Describe(c.peer) : "");
                continue;
            }
        }
        if (Agree(ours[k], c.peer, complex)) {
            ++agreements;
            // A difference mended or gone is taken off the list, so that the list stays true.
            EXPECT_FALSE(lists.cases.count(c.formula))
                << c.formula << " is listed as a difference but agrees with the peer";
            continue;
        }
        if (differences.is_open())
            differences << c.function << '\t' << c.formula << '\t' << Describe(ours[k]) << '\t'
                        << (judged.judged ? judged.fault : Describe(c.peer)) << '\n';
        auto function = lists.functions.find(c.function);
        auto accepted = lists.cases.find(c.formula);
        if (accepted != lists.cases.end() && lists.references.count(c.formula)) {
            // A complex function's reference is a complex number, a real one written alone.
            Answer reference = complex && ours[k].kind == 't'
                                   ? Answer{'t', 0, lists.referenceTexts[c.formula]}
                                   : Answer{'n', lists.references[c.formula], ""};
            EXPECT_TRUE(Agree(ours[k], reference, complex))
                << c.formula << " gives " << Describe(ours[k]) << ", the reference "
                << Describe(reference);
            ++referenceMet;
            ++acceptedBy[accepted->second];
            listed[c.formula] = {StoredForm(ours[k]), accepted->second};
        } else if (accepted != lists.cases.end()) {
            // Where the peer is wrong about a number, only a reference can say we are right.
            EXPECT_FALSE(accepted->second == "peer fault" && ours[k].kind == 'n')
                << c.formula << " is listed as the peer's fault without a reference";
            ++acceptedBy[accepted->second];
            listed[c.formula] = {StoredForm(ours[k]), accepted->second};
        } else if (c.kind == "function" && function != lists.functions.end()) {
            ++acceptedBy[function->second];
            listed[c.formula] = {StoredForm(ours[k]), function->second};
        } else if (lists.pending.count(c.formula)) {
            pendingSeen.insert(c.formula);
            ++pendingBy[c.function];
            listed[c.formula] = {StoredForm(ours[k]), "pending"};
        } else {
            ++failures;
            ADD_FAILURE() << "line " << c.line << ": " << c.formula << " gives "
                          << Describe(ours[k]) << ", the peer " << Describe(c.peer);
        }
    }

    std::cout << "formula comparison: " << file.cases.size() << " cases, " << agreements
              << " agree (" << referenceAgreed << " of them with a reference of ours), " << failures
              << " unlisted differences\n";
    for (const auto& [reason, count] : acceptedBy)
        std::cout << "  accepted (" << reason << "): " << count << "\n";
    int pendingTotal = 0;
    for (const auto& [function, count] : pendingBy) pendingTotal += count;
    std::cout << "  pending (faults still open): " << pendingTotal << "\n";
    for (const auto& [function, count] : pendingBy)
        std::cout << "    " << function << ": " << count << "\n";
    int stale = 0;
    for (const auto& [formula, note] : lists.pending)
        if (!pendingSeen.count(formula)) {
            ++stale;
            ADD_FAILURE() << "pending entry no longer differs: " << formula;
        }
    std::cout << "  pending entries that now agree (to be removed): " << stale << "\n";
    CheckStoredAnswers(listed);
    CheckModels(book, file, ours, lists);

    // Every function of the catalogue has its cases, and there are enough of them.
    EXPECT_GE(file.cases.size(), 20000u);
    static const std::set<std::string> random = {"rand", "randBetween", "mtxRand", "mtxRand2"};
    for (const FunctionInfo& row : FunctionCatalogue())
        if (!random.count(std::string(row.name))) {
            EXPECT_GE(perFunction[row.name], 40) << row.name;
        }
}

// The comparison itself: a number agrees within 1e-13 relative and not past it, an error by
// its kind (the peer's own numbers mapped), a text only when it is the same.
TEST(FormulaPeer, AgreementMeetsAndMisses) {
    EXPECT_TRUE(Agree({'n', 1 + 0.9e-13, ""}, {'n', 1, ""}));
    EXPECT_FALSE(Agree({'n', 1 + 1.1e-13, ""}, {'n', 1, ""}));
    EXPECT_TRUE(Agree({'n', -0.0, ""}, {'n', 0, ""}));
    EXPECT_FALSE(Agree({'n', 1e-300, ""}, {'n', 0, ""}));
    EXPECT_TRUE(Agree({'e', 0, "#NUM!"}, {'e', 0, "Err:502"}));
    EXPECT_TRUE(Agree({'e', 0, "#NUM!"}, {'e', 0, "Err:523"}));
    EXPECT_TRUE(Agree({'e', 0, "#VALUE!"}, {'e', 0, "Err:504"}));
    EXPECT_TRUE(Agree({'e', 0, "#VALUE!"}, {'e', 0, "Err:502"}));
    EXPECT_TRUE(Agree({'e', 0, "#N/A!"}, {'e', 0, "#N/A"}));
    EXPECT_FALSE(Agree({'e', 0, "#N/A!"}, {'e', 0, "#NUM!"}));
    EXPECT_FALSE(Agree({'e', 0, "#NUM!"}, {'n', 0, ""}));
    EXPECT_TRUE(Agree({'t', 0, "abc"}, {'t', 0, "abc"}));
    EXPECT_FALSE(Agree({'t', 0, "abc"}, {'t', 0, "ABC"}));
    EXPECT_FALSE(Agree({'t', 0, "1"}, {'n', 1, ""}));
    EXPECT_TRUE(Agree({'e', 0, "#N/A!"}, {'e', 0, "Err:502"}));
    EXPECT_FALSE(Agree({'e', 0, "#DIV/0!"}, {'e', 0, "Err:502"}));
    EXPECT_FALSE(Agree({'e', 0, "#NUM!"}, {'e', 0, "Err:504"}));
    // Complex numbers part by part, only where the function makes them.
    EXPECT_TRUE(Agree({'t', 0, "3 + 4i"}, {'t', 0, "3+4i"}, true));
    EXPECT_FALSE(Agree({'t', 0, "3 + 4i"}, {'t', 0, "3+4i"}));
    EXPECT_TRUE(Agree({'t', 0, "1 - 1i"}, {'t', 0, "1-i"}, true));
    EXPECT_TRUE(Agree({'t', 0, "0 - 2i"}, {'t', 0, "-2i"}, true));
    EXPECT_TRUE(Agree({'t', 0, "1.5 + 0i"}, {'t', 0, "1.5"}, true));
    EXPECT_TRUE(Agree({'t', 0, "1e+100 + 1e+100i"}, {'t', 0, "1E+100+1E+100i"}, true));
    EXPECT_FALSE(Agree({'t', 0, "3 + 4i"}, {'t', 0, "3+4.1i"}, true));
    EXPECT_FALSE(Agree({'t', 0, "3 + 4i"}, {'t', 0, "4+3i"}, true));
    EXPECT_FALSE(Agree({'t', 0, "abc"}, {'t', 0, "abd"}, true));
}

// A date or time kept as text is the peer's serial number to the second.
TEST(FormulaPeer, DatesKeptAsTextMeetTheSerialNumbers) {
    EXPECT_TRUE(SameMoment("2021-01-01", 44197));
    EXPECT_FALSE(SameMoment("2021-01-02", 44197));
    EXPECT_TRUE(SameMoment("1899-12-30", 0));
    EXPECT_TRUE(SameMoment("1900-03-01", 61));
    EXPECT_TRUE(SameMoment("2020-02-29", 43890));
    EXPECT_TRUE(SameMoment("12:00:00", 0.5));
    EXPECT_FALSE(SameMoment("12:00:01", 0.5));
    EXPECT_TRUE(SameMoment("2021-01-01 06:00:00", 44197.25));
    EXPECT_FALSE(SameMoment("apple", 0));
    EXPECT_FALSE(SameMoment("", 0));
}

// What the help says is kept where the peers differ, one row each (the peer's answer beside).
TEST(FormulaPeer, KeptByDesignAsTheHelpSays) {
    BindAllFunctions();
    TestBook book;
    book.Sheet();
    struct Row {
        const char* formula;
        const char* ours;
    } rows[] = {
        {"=DATE(2024,2,29)", "2024-02-29"},           // 45351
        {"=CHIDIST(3.84,1)", "0.949956478751295"},    // 0.0500435212487
        {"=FDIST(1,5,5)", "0.5"},                     // upper tail 0.5
        {"=INDEX(LINEST({3,5,7},{1,2,3}),1,1)", "1"}, // slope first: 2
        {"=\"a\"&1+2", "#NUM!"},                      // "a3"
        {"=LOOKUP(4,{1,3,5},{7,8,9})", "#N/A!"},      // 8
        {"=ABS(\"abc\")", "#NUM!"},                   // #VALUE!
        {"=SUM(A1:A2_C1:C2)", "#NULL!"},              // #REF!
        {"=SUM(A3:A1)", "#REF!"},                     // the range's sum
        {"=ERRORTYPE(1/0)", "1"},                     // ERROR.TYPE 2
        {"=CHOOSE(2.5,\"a\",\"b\",\"c\")", "c"},      // b
        {"=DOLLARFR(0.5,10)", "0.05"},                // 0.5
        {"=DEC2BIN(7,)", "0000000111"},               // 111
        {"=DEC2BIN(7)", "0000000111"},                // 111
    };
    for (const Row& row : rows) EXPECT_EQ(book.Eval(row.formula), row.ours) << row.formula;
}

} // namespace vl::test
