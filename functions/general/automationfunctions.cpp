// RTD and UDF as formulas: their arguments read into property names and method arguments,
// every argument error found before any server is contacted.

#include "functions/general/automationbridge.h"
#include "functions/general/generalargs.h"
#include "platform/core/cp1252.h"

#include <algorithm>

namespace vl {

namespace {

// The names one argument gives, in order: its text, or the texts of a range's stored cells.
// Empty texts name nothing. `characters` counts the names' characters over all arguments.
FormulaError TopicsOf(CEvalContext& ctx, FormulaToken& slot, std::vector<std::string>& names,
                      std::size_t& characters) {
    std::string text;
    auto take = [&](FormulaError error) {
        if (error == 0 && characters + text.size() > kMaxTopicCharacters) error = kErrValue;
        if (error == 0 && !text.empty()) {
            characters += text.size();
            names.push_back(text);
        }
        return error;
    };
    if (!(slot.type & kAreaOrArray)) return take(GetStringArg(ctx, slot, text));
    CRangeWalk walk(ctx);
    FormulaError error = walk.Take(slot);
    FormulaToken cell;
    while (error == 0 && walk.NextValue(cell)) {
        if (cell.error) {
            error = cell.error;
            ReleaseOperand(ctx, cell);
            break;
        }
        error = take(GetStringArg(ctx, cell, text));
    }
    return error;
}

// The safe array of a range or array argument: rows by columns, or one element for a single
// cell, with empty cells left empty.
FormulaError ArrayArgument(CEvalContext& ctx, FormulaToken& slot, CVariant& out) {
    CRangeWalk walk(ctx);
    FormulaError error = walk.Take(slot);
    if (error) return error;
    const bool table = walk.Rows() > 1 || walk.Columns() > 1;
    std::vector<SafeArrayBound> bounds{{0, table ? walk.Rows() : 1}};
    if (table) bounds.push_back({0, walk.Columns()});
    std::shared_ptr<CSafeArray> array = CSafeArray::Create(std::move(bounds));
    if (!array) return kErrMemory;
    FormulaToken cell;
    std::string text;
    while (walk.NextValue(cell)) {
        const int32_t index[2] = {int32_t(walk.RowOffset()), int32_t(walk.ColumnOffset())};
        if (cell.error) {
            // An error stands for no value: it stops the call rather than travel as 0.
            error = MergeError(error, cell.error);
            ReleaseOperand(ctx, cell);
            continue;
        }
        CVariant element;
        if (cell.type == kTokenText) {
            GetStringArg(ctx, cell, text);
            element = CVariant::Bstr(Cp1252ToUtf8(text));
        } else {
            element = CVariant::R8(cell.type == kTokenNumber ? cell.number : 0);
        }
        array->PutElement(std::span(index, table ? 2 : 1), std::move(element));
    }
    out = CVariant::Array(array);
    return error;
}

// One method argument; `passed` false for an omitted argument. A reference to an empty
// cell is passed as an empty variant, so that the arguments after it keep their places.
FormulaError MethodArgument(CEvalContext& ctx, FormulaToken& slot, CVariant& out, bool& passed) {
    passed = false;
    if (slot.type & kAreaOrArray) {
        passed = true;
        return ArrayArgument(ctx, slot, out);
    }
    const bool reference = slot.type == kTokenReference;
    ResolveReferenceValue(ctx, slot);
    if (slot.type == kTokenEmpty) {
        passed = reference && slot.error == 0;
        return slot.error;
    }
    if (slot.type == kTokenText) {
        std::string text;
        const FormulaError error = GetStringArg(ctx, slot, text);
        out = CVariant::Bstr(Cp1252ToUtf8(text));
        passed = error == 0;
        return error;
    }
    double number = 0;
    const FormulaError error = GetNumberArg(ctx, slot, number);
    out = CVariant::R8(number);
    passed = error == 0;
    return error;
}

// The ProgID and the machine; a machine other than this one is never contacted.
FormulaError ServerArguments(CEvalContext& ctx, std::string& progId, bool& remote) {
    std::string machine;
    FormulaError error = GetStringArg(ctx, Argument(ctx, 1), machine);
    error = MergeError(error, GetStringArg(ctx, Argument(ctx, 0), progId));
    remote = !machine.empty();
    return error;
}

void Finish(CEvalContext& ctx, FormulaError error, FormulaToken& value) {
    if (error) return ReturnError(ctx, error);
    ReturnValue(ctx, value);
}

} // namespace

void Rtd(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 3, kMaxArguments)) return;
    std::vector<std::vector<std::string>> perArgument(ArgumentCount(ctx));
    std::size_t characters = 0;
    FormulaError error = 0;
    for (uint16_t i = ArgumentCount(ctx); i-- > 2;)
        error = MergeError(error, TopicsOf(ctx, Argument(ctx, i), perArgument[i], characters));
    std::string progId;
    bool remote = false;
    error = MergeError(error, ServerArguments(ctx, progId, remote));
    std::vector<std::string> topics;
    for (std::vector<std::string>& names : perArgument)
        for (std::string& name : names) topics.push_back(std::move(name));
    if (error == 0 && topics.empty()) error = kErrValue;
    if (error == 0 && remote) error = kErrRef;
    FormulaToken value;
    if (error == 0) CallRtdServer(ctx, progId, topics, value);
    Finish(ctx, error, value);
}

void Udf(CEvalContext& ctx) {
    if (!CheckArgumentCount(ctx, 3, kMaxArguments)) return;
    std::vector<CVariant> arguments;
    FormulaError error = 0;
    for (uint16_t i = ArgumentCount(ctx); i-- > 3;) {
        CVariant argument;
        bool passed = false;
        error = MergeError(error, MethodArgument(ctx, Argument(ctx, i), argument, passed));
        if (passed) arguments.push_back(std::move(argument));
    }
    std::reverse(arguments.begin(), arguments.end());
    std::string method, progId;
    error = MergeError(error, GetStringArg(ctx, Argument(ctx, 2), method));
    bool remote = false;
    error = MergeError(error, ServerArguments(ctx, progId, remote));
    if (error == 0 && remote) error = kErrRef;
    FormulaToken value;
    if (error == 0) CallUdfMethod(ctx, progId, method, arguments, value);
    Finish(ctx, error, value);
}

void BindAutomationFunctions() {
    BindBuiltinFunction("RTD", &Rtd);
    BindBuiltinFunction("UDF", &Udf);
}

} // namespace vl
