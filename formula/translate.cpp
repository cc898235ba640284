#include "formula/translate.h"

#include "formula/arrayconst.h"
#include "formula/cellref.h"
#include "formula/evalcontext.h"
#include "formula/folderrange.h"
#include "formula/formulanumber.h"
#include "formula/literals.h"
#include "formula/textscan.h"
#include "formula/tokenizer.h"
#include "platform/core/cp1252.h"

namespace vl {

bool IsKeptText(std::string_view formula) {
    return formula.size() >= 2 && formula[0] == '=' && formula[1] == kKeptTextMark;
}

namespace {

// Characters that can run on from one token into the next one.
bool IsJoining(char c, char decimal) {
    return IsCharAlpha1252(c) || IsAsciiDigit(c) || c == '$' || c == '#' || c == '\\' || c == '.' ||
           c == decimal;
}

// Whether a cell address written without "$" before a "!" is the name of a worksheet or
// folder reached from the formula's worksheet, as a qualifier's name is looked up.
bool NamesTreeItem(const CEvalContext& ctx, std::string_view spelled) {
    if (spelled.find('$') != std::string_view::npos) return false;
    std::string path;
    GetFolderPath(ctx, ctx.currentCells, path);
    path.append(spelled);
    return FindNodeByPath(ctx, path) != nullptr;
}

// The user form with A1 references: a scan that names both a row and a column is a
// reference; one that names only a row or only a column is one only next to a ":", so
// 5:5 and C:E are whole rows and columns while a lone 5 is a number and a lone C a name.
// Before a "!" the address of a cell names the worksheet or folder of that name where one
// exists (Q1!A1); a cell whose text names the item is still reached by "$Q$1!A1".
uint16_t ReadA1UserToken(CEvalContext& ctx, std::string_view text, std::size_t& pos,
                         FormulaToken& token, const SeparatorSet& set, bool afterColon) {
    while (IsFormulaBlank(At(text, pos))) ++pos;
    char c = At(text, pos);
    if (IsAsciiAlpha(c) || IsAsciiDigit(c) || c == '$') {
        CellRef ref;
        std::size_t length = 0;
        uint8_t flags = ParseA1Ref(text.substr(pos), ref, length);
        bool whole = (flags & kRefCell) == kRefCell;
        if (whole && At(text, pos + length) == '!' &&
            NamesTreeItem(ctx, text.substr(pos, length))) {
            ClearOperand(token);
            const bool kept = ctx.stringPool.PushString(text.substr(pos, length));
            pos += length;
            token.type = kept ? kTokenText : kTokenEmpty;
            token.error = kept ? kErrName : kErrValue;
            return token.type;
        }
        if (flags != 0 && (whole || afterColon || At(text, pos + length) == ':')) {
            ClearOperand(token);
            token.type = kTokenReference;
            token.column = ref.column;
            token.row = ref.row;
            token.refFlags = ref.flags;
            token.cells = ctx.currentCells;
            if (flags & kRefOutOfRange) token.error = kErrRef;
            pos += length;
            return kTokenReference;
        }
    }
    return ReadFormulaToken(ctx, text, pos, token, {&set, false, RefStyle::kNone});
}

class CTranslation {
public:
    CTranslation(CEvalContext& ctx, std::string_view in, bool toInternal, const UserNotation& user)
        : ctx_(ctx), in_(in), toInternal_(toInternal), user_(user),
          target_(toInternal ? &InternalSeparators() : user.separators) {}

    bool Run(std::string& out);

private:
    uint16_t Read(std::string_view text, std::size_t& pos, FormulaToken& token, bool source);
    bool WriteToken(const FormulaToken& token, std::size_t start, std::size_t end);
    void WriteText(std::size_t start, std::size_t end);
    void WriteReference(const FormulaToken& token, std::size_t end);
    bool WriteArray(const FormulaToken& token);
    bool NameReadsBack(std::string_view name, char next);
    bool Joins(std::size_t start) const;
    bool KeepAsTyped(std::string& out) const;

    CEvalContext& ctx_;
    std::string_view in_;
    bool toInternal_;
    UserNotation user_;
    const SeparatorSet* target_;
    std::string out_;
    uint16_t previous_ = 0;
};

// Reads a token of the source form, or of the target form when `source` is false.
uint16_t CTranslation::Read(std::string_view text, std::size_t& pos, FormulaToken& token,
                            bool source) {
    bool internal = source != toInternal_;
    if (internal) return ReadFormulaToken(ctx_, text, pos, token, InternalSyntax());
    if (user_.addressingA1)
        return ReadA1UserToken(ctx_, text, pos, token, *user_.separators, previous_ == kTokenRange);
    return ReadFormulaToken(ctx_, text, pos, token, {user_.separators, false, RefStyle::kR1C1});
}

bool CTranslation::Run(std::string& out) {
    if (!toInternal_ && IsKeptText(in_)) {
        out = "=";
        out.append(in_.substr(2));
        return out.size() <= kMaxFormulaText;
    }
    out_.reserve(in_.size() + 16);
    out_ += '=';
    std::size_t pos = 1;
    for (;;) {
        while (IsFormulaBlank(At(in_, pos))) out_ += in_[pos++];
        std::size_t start = pos;
        FormulaToken token;
        uint16_t type = Read(in_, pos, token, true);
        std::size_t written = out_.size();
        if (type == 0) {
            if (toInternal_) return KeepAsTyped(out);
            out_ += in_.substr(start);
        } else if (type != kTokenEnd && !WriteToken(token, start, pos)) {
            return false;
        }
        if (Joins(written)) {
            if (toInternal_) return KeepAsTyped(out);
            out_.insert(written, 1, ' ');
        }
        if (out_.size() > kMaxFormulaText) return false;
        if (type == 0 || type == kTokenEnd || ctx_.status != 0) break;
        previous_ = type;
    }
    out.swap(out_);
    return true;
}

// Two operands that stood side by side (a malformed formula) may be written so that they
// would read as one, as 1 and 0.5 as "10.5".
bool CTranslation::Joins(std::size_t start) const {
    if (start == 0 || start >= out_.size()) return false;
    char decimal = target_->decimal;
    return IsJoining(out_[start - 1], decimal) && IsJoining(out_[start], decimal);
}

// A typed formula that does not read is kept as the user typed it: read in the internal
// form, its pieces could mean something else ("1.5" typed with a decimal comma), and
// written back they would show something else again.
bool CTranslation::KeepAsTyped(std::string& out) const {
    std::string kept = "=";
    kept += kKeptTextMark;
    kept.append(in_.substr(1));
    if (kept.size() > kMaxFormulaText) return false;
    out.swap(kept);
    return true;
}

bool CTranslation::WriteToken(const FormulaToken& token, std::size_t start, std::size_t end) {
    switch (token.type) {
    case kTokenList:
        out_ += target_->list;
        return true;
    case kTokenNumber:
        // TRUE and FALSE are the numbers 1 and 0 from here on.
        if (token.error != 0)
            out_ += GetFormulaErrorText(token.error);
        else
            AppendFormulaNumber(out_, token.number, target_->decimal);
        return true;
    case kTokenText:
        WriteText(start, end);
        return true;
    case kTokenReference:
        WriteReference(token, end);
        return true;
    case kTokenArray:
        return WriteArray(token);
    case kTokenEmpty: // a text or an array too long to be kept
        return false;
    default: // operators, parentheses and function names as they stand
        out_ += in_.substr(start, end - start);
        return true;
    }
}

void CTranslation::WriteText(std::size_t start, std::size_t end) {
    std::string_view text = ctx_.stringPool.PopTempString();
    if (in_[start] == '"' || in_[start] == '\'') {
        AppendQuotedText(out_, text);
        return;
    }
    // The pool string stays readable until the next push, which the probe makes.
    std::string name(text);
    if (NameReadsBack(name, At(in_, end)))
        out_ += name;
    else
        AppendQuotedText(out_, name);
}

// A name is written bare only when the target form reads it back as the same name and
// not, say, as a reference; otherwise it is quoted, as a worksheet qualifier may be.
bool CTranslation::NameReadsBack(std::string_view name, char next) {
    std::string probe(name);
    if (next != '\0') probe += next;
    FormulaToken token;
    std::size_t pos = 0;
    uint16_t type = Read(probe, pos, token, false);
    if (type == kTokenText) ctx_.stringPool.PopTempString();
    return type == kTokenText && token.error != 0 && pos == name.size();
}

void CTranslation::WriteReference(const FormulaToken& token, std::size_t end) {
    if (token.refFlags & kRefOutOfRange) {
        out_ += GetFormulaErrorText(kErrRef);
        return;
    }
    CellRef ref{token.column, token.row, token.refFlags};
    if (toInternal_ || !user_.addressingA1) {
        FormatReference(ctx_, out_, ref);
        return;
    }
    std::size_t start = out_.size();
    RefToA1Text(out_, ref);
    bool partial = (ref.flags & kRefCell) != kRefCell;
    if (partial && At(in_, end) != ':' && previous_ != kTokenRange) {
        std::string once = out_.substr(start);
        out_ += ':';
        out_ += once;
    }
}

bool CTranslation::WriteArray(const FormulaToken& token) {
    Page* chain = ctx_.scratch.PopPointer();
    // An array whose cells could not all be stored would lose elements when written.
    bool ok = token.error == 0 &&
              FormatArrayConstant(out_, chain, token.lastColumn, token.lastRow, *target_, true);
    if (chain) ctx_.scratch.cells.FreePageChain(chain);
    return ok;
}

} // namespace

UserNotation CurrentUserNotation() {
    return {&UserSeparators(), Profile().addressingA1 != 0};
}

bool TranslateFormula(CEvalContext& ctx, std::string_view text, std::string& out, uint16_t column,
                      uint32_t row, bool toInternal, const UserNotation& user) {
    if (text.empty() || (text[0] != '=' && text[0] != '+')) return false;
    ctx.BeginFormula(column, row);
    return CTranslation(ctx, text, toInternal, user).Run(out);
}

bool TranslateFormula(CEvalContext& ctx, std::string& text, uint16_t column, uint32_t row,
                      bool toInternal, const UserNotation& user) {
    std::string out;
    if (!TranslateFormula(ctx, std::string_view(text), out, column, row, toInternal, user))
        return false;
    text.swap(out);
    return true;
}

bool TranslateFormula(CEvalContext& ctx, std::string& text, uint16_t column, uint32_t row,
                      bool toInternal) {
    return TranslateFormula(ctx, text, column, row, toInternal, CurrentUserNotation());
}

} // namespace vl
