#include "exchange/foreignfile.h"

#include "exchange/excelxml.h"
#include "exchange/textfile.h"
#include "exchange/xbase.h"
#include "files/workbooksave.h"
#include "formula/token.h"
#include "model/cellrecord.h"
#include "model/container.h"
#include "model/dropdownlist.h"
#include "model/sheetsettings.h"

#include <cstring>

namespace vl {

std::string_view FileNameOfPath(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string ReplaceExtension(std::string_view path, std::string_view extension) {
    const std::size_t nameStart = path.size() - FileNameOfPath(path).size();
    const std::size_t dot = path.rfind('.');
    std::string out(
        path.substr(0, dot != std::string_view::npos && dot >= nameStart ? dot : path.size()));
    out += extension;
    return out;
}

CWorksheet* StartImportWorksheet(CWorkbook& workbook) {
    const std::string name(FileNameOfPath(workbook.stream.GetPath()));
    workbook.refusedTexts = 0;
    return ReplaceTreeWithWorksheet(workbook, name.c_str());
}

bool CByteReader::Fill() {
    const int32_t n = stream_.Read(buffer_, int32_t(sizeof buffer_));
    pos_ = 0;
    end_ = n > 0 ? uint32_t(n) : 0;
    return end_ > 0;
}

std::string_view CByteReader::Ahead(uint32_t n) {
    if (end_ - pos_ < n) {
        std::memmove(buffer_, buffer_ + pos_, end_ - pos_);
        end_ -= pos_;
        pos_ = 0;
        while (end_ < n) {
            const int32_t got = stream_.Read(buffer_ + end_, int32_t(sizeof buffer_ - end_));
            if (got <= 0) break;
            end_ += uint32_t(got);
        }
    }
    return {reinterpret_cast<const char*>(buffer_ + pos_), end_ - pos_};
}

bool CByteReader::Rewind(int32_t offset) {
    pos_ = end_ = 0;
    return stream_.Seek(kSeekStart, offset);
}

uint32_t CByteReader::Read(uint8_t* dest, uint32_t n) {
    uint32_t done = 0;
    while (done < n) {
        if (pos_ == end_ && !Fill()) break;
        const uint32_t take = std::min(n - done, end_ - pos_);
        std::memcpy(dest + done, buffer_ + pos_, take);
        pos_ += take;
        done += take;
    }
    return done;
}

bool CByteWriter::Flush() {
    if (!out_.empty() && !book_.stream.Write(out_.data(), int32_t(out_.size()))) {
        book_.error = book_.stream.ErrorOr(kStreamWrite);
        return false;
    }
    out_.clear();
    book_.error = book_.stream.GetError();
    return book_.error == kErrorNone;
}

namespace {

bool HasFormula(const CWorksheet& sheet) {
    CellCursor cursor{kAdvance, sheet.cells.FirstPage(), 0};
    for (const uint8_t* r = NextCellRecord(cursor); r; r = NextCellRecord(cursor))
        if (cell::IsFormula(r)) return true;
    return false;
}

// A control character an XML document cannot hold (below 32 but tab, line feed and
// carriage return): the spreadsheet form leaves it out.
bool HoldsXmlControl(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
            return true;
    return false;
}

// The cells whose text, formula or formula result the spreadsheet form would write without
// such characters, (`pastRows`) those past the form's last row, which it leaves out, and
// (`otherErrors`) error values of this program's own that the form writes as #N/A.
uint32_t CellsWithXmlControls(const CWorksheet& sheet, uint32_t& pastRows, uint32_t& otherErrors) {
    uint32_t n = 0;
    CellCursor cursor{kAdvance, sheet.cells.FirstPage(), 0};
    for (const uint8_t* r = NextCellRecord(cursor); r; r = NextCellRecord(cursor)) {
        if (cell::Row(r) > kExcelXmlLastRow) {
            ++pastRows;
            continue;
        }
        const bool formula = cell::IsFormula(r);
        const uint8_t error = uint8_t(cell::Error(r) << 4);
        if (!formula && error && (error < kErrDivZero || error > kErrValue)) ++otherErrors;
        if (formula ? HoldsXmlControl(cell::Formula(r)) || HoldsXmlControl(cell::CachedText(r))
                    : cell::IsText(r) && HoldsXmlControl(cell::Text(r)))
            ++n;
    }
    return n;
}

} // namespace

namespace {

// What a form loses of a workbook, as counts; a text file or a table also names the
// worksheet it keeps.
struct FormLoss {
    bool loses = false;
    uint32_t items = 0, folders = 0, containers = 0, formulas = 0, lists = 0, inspected = 0,
             active = 0, controls = 0, pastRows = 0, otherErrors = 0, rounded = 0, cutNumbers = 0,
             unmapped = 0;
};

FormLoss CountFormLoss(const CWorkbook& workbook, uint8_t family) {
    FormLoss f;
    if (family == kFileNative) return f;
    const bool spreadsheet = family == kFileExcelXml;
    for (const CTreeItem* p = workbook.tree.first; p; p = p->next) {
        ++f.items;
        if (!p->IsWorksheet()) {
            f.folders += p->IsFolder() ? 1 : 0;
            continue;
        }
        const CWorksheet& sheet = *AsWorksheet(p);
        if (p == workbook.tree.active) {
            f.active = f.items;
            if (family >= kFileDBase3 && family <= kFileClipper) {
                f.rounded = NumbersTheFieldsRound(workbook, sheet, family);
                f.unmapped = TextsTheOemCodePageLacks(workbook, sheet);
            }
            if (family == kFileText) {
                const TextFormLoss text = CountTextFormLoss(workbook, sheet);
                f.cutNumbers = text.cutNumbers;
                f.unmapped = text.unmapped;
            }
        }
        for (const CContainer* c = sheet.firstContainer; c; c = c->next) ++f.containers;
        if (!spreadsheet && HasFormula(sheet)) ++f.formulas;
        if (spreadsheet) {
            f.controls += CellsWithXmlControls(sheet, f.pastRows, f.otherErrors);
            for (const char* text :
                 {sheet.name, sheet.pageSetup.headerText, sheet.pageSetup.footerText})
                f.controls += HoldsXmlControl(text) ? 1 : 0;
        }
    }
    for (const DropDownListRecord& list : workbook.dropDownLists)
        f.lists += DropDownListInUse(list) ? 1 : 0;
    f.inspected = workbook.inspectedCells.ItemCount();
    if (spreadsheet) f.active = 0;
    f.loses = spreadsheet ? f.folders || f.containers || f.lists || f.inspected || f.controls ||
                                f.pastRows || f.otherErrors
                          : f.items > 1 || f.containers || f.formulas || f.rounded ||
                                f.cutNumbers || f.unmapped;
    return f;
}

void Count(std::string& out, uint32_t n, const char* one, const char* many) {
    if (n == 0) return;
    out += "\n- " + std::to_string(n) + ' ' + (n == 1 ? one : many);
}

} // namespace

ErrorCode WrittenOtherwise(const CWorkbook& workbook, uint8_t family, std::string& text) {
    text.clear();
    const FormLoss f = CountFormLoss(workbook, family);
    // A client's save writes the table by the field list it holds (the window's Save makes
    // one afresh, and its Save As shows it): a text in a number field would be 0.
    const bool table = family >= kFileDBase3 && family <= kFileClipper;
    const uint32_t unread = table && workbook.tree.active
                                ? TextsTheNumberFieldsLose(workbook, *workbook.tree.active)
                                : 0;
    if (f.cutNumbers == 0 && f.unmapped == 0 && unread == 0) return kErrorNone;
    text = "Nothing was written: the file would hold values otherwise than the worksheet "
           "shows them.";
    Count(text, f.cutNumbers,
          "number longer than its field's width (cut, it would read back as another number)",
          "numbers longer than their fields' widths (cut, they would read back as other "
          "numbers)");
    Count(text, unread, "text a number field cannot hold (it would be 0)",
          "texts number fields cannot hold (they would be 0)");
    Count(text, f.unmapped, "text with characters the OEM code page lacks (they would be ?)",
          "texts with characters the OEM code page lacks (they would be ?)");
    return f.cutNumbers != 0 || unread != 0 ? kErrorFieldOverflow : kErrorCodePage;
}

std::string FormLossKey(const CWorkbook& workbook, uint8_t family) {
    const FormLoss f = CountFormLoss(workbook, family);
    if (!f.loses) return {};
    std::string key = std::to_string(family);
    for (const uint32_t n :
         {f.items, f.folders, f.containers, f.formulas, f.lists, f.inspected, f.active, f.controls,
          f.pastRows, f.otherErrors, f.rounded, f.cutNumbers, f.unmapped})
        key += ' ' + std::to_string(n);
    return key;
}

std::string FormLossText(const CWorkbook& workbook, uint8_t family) {
    const FormLoss f = CountFormLoss(workbook, family);
    if (!f.loses) return {};
    std::string text;
    if (family == kFileExcelXml) {
        Count(text, f.folders, "folder", "folders");
        Count(text, f.containers, "chart or picture", "charts or pictures");
        Count(text, f.lists, "drop-down list", "drop-down lists");
        Count(text, f.inspected, "inspected cell", "inspected cells");
        Count(text, f.controls, "text with control characters (left out of it)",
              "texts with control characters (left out of them)");
        Count(text, f.pastRows, "cell past row 1,048,576", "cells past row 1,048,576");
        Count(text, f.otherErrors, "error value it does not know (written as #N/A)",
              "error values it does not know (written as #N/A)");
    } else {
        Count(text, f.items - 1, "other worksheet or folder", "other worksheets or folders");
        Count(text, f.containers, "chart or picture", "charts or pictures");
        Count(text, f.formulas, "worksheet's formulas (their values are kept)",
              "worksheets' formulas (their values are kept)");
        Count(text, f.rounded, "number rounded to its field's width",
              "numbers rounded to their fields' width");
        Count(text, f.cutNumbers,
              "number longer than its field's width (cut, it reads back as "
              "another number)",
              "numbers longer than their fields' widths (cut, they read back as other numbers)");
        Count(text, f.unmapped, "text with characters the OEM code page lacks (written as ?)",
              "texts with characters the OEM code page lacks (written as ?)");
    }
    return text;
}

bool FormLosesContent(const CWorkbook& workbook, uint8_t family) {
    return !FormLossKey(workbook, family).empty();
}

bool SaveAside(CWorkbook& workbook, const char* path, const std::function<bool(CWorkbook&)>& write,
               const std::function<bool()>& partner) {
    workbook.error = kErrorNone;
    if (SaveWorkbookFileWith(workbook, path, false, write, partner)) return true;
    if (workbook.error == kErrorNone) workbook.error = kStreamWrite;
    return false;
}

std::string ImportLossText(const CWorkbook& workbook) {
    std::string text;
    const auto add = [&text](ErrorCode code, uint32_t count) {
        if (count == 0) return;
        if (!text.empty()) text += '\n';
        text += std::string(GetErrorMessage(code)) + ' ' + std::to_string(count);
    };
    add(kErrorCodePageImport, workbook.refusedTexts);
    add(kErrorPropertiesCut, workbook.cutProperties);
    add(kErrorStylesUnknown, workbook.unknownStyles);
    add(kErrorActiveSheetBad, workbook.badActiveSheet);
    return text;
}

} // namespace vl
