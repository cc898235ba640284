#pragma once
// The document: the worksheet tree, the style and font tables, the undo history, the
// drop-down lists, the exchange settings and the document state. One record, built whole
// and never failing once its memory is had.

#include "model/dropdownlist.h"
#include "model/exchangesettings.h"
#include "model/styles.h"
#include "model/undoentry.h"
#include "model/worksheettree.h"
#include "platform/core/errorcode.h"
#include "platform/core/filestream.h"
#include "platform/core/packeddib.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vl {

struct DocumentProperties {
    char author[128] = {};
    char lastAuthor[128] = {};
    char company[128] = {};
    char lastPrinted[50] = {};
    char created[50] = {};
    char lastSaved[50] = {};
    char version[128] = {};
};

struct PaneLayout {
    uint8_t treeShown = 1;
    uint16_t treeWidth = 100;
    uint8_t inspectShown = 0;
    uint16_t inspectHeight = 100;
};

// One picture of the document's image list: its name, the file's bytes once read and the
// picture once decoded. Sheet and container backgrounds share the entries by name.
struct ImageListEntry {
    char name[256] = {};
    bool loaded = false; // `data` holds the file
    std::vector<uint8_t> data;
    PackedDib decoded;
};

constexpr int kPasswordLength = 1024;              // characters at most
constexpr int kPasswordSize = kPasswordLength + 1; // with the terminator
constexpr int kLastSavedUserSize = 128;
constexpr int kLastSavedDateSize = 50;

// The evaluator context lives in the formula layer, above the model: the workbook only holds
// it, and releases it with the function the formula layer gave when it attached it.
class CEvalContext;
struct EvalContextRelease {
    void (*release)(CEvalContext*) = nullptr;
    void operator()(CEvalContext* context) const {
        if (release) release(context);
    }
};
using EvalContextPtr = std::unique_ptr<CEvalContext, EvalContextRelease>;

// The file family of a document (`CWorkbook::fileFamily`); the native forms are told apart
// by the file kind the file library records.
enum FileFamily : uint8_t {
    kFileNative = 0,
    kFileText = 1,
    kFileExcelXml = 2,
    kFileDBase3 = 3,
    kFileDBase4 = 4,
    kFileFoxPro = 5,
    kFileClipper = 6,
};

class CWorkbook : public BlockAllocated {
public:
    CWorkbook();
    ~CWorkbook();
    CWorkbook(const CWorkbook&) = delete;
    CWorkbook& operator=(const CWorkbook&) = delete;

    TreeHead tree;
    StyleTables styles;
    std::vector<std::unique_ptr<ImageListEntry>> images; // the newest first
    ErrorCode imageError = kErrorNone;                   // of the last picture that failed
    CPagedList imagePages;
    // The document file: its stream stays open, and the file locked, while the workbook is
    // open; the fields below are what the file forms record about it.
    CFileStream stream;
    // The line of the XML document where its last load failed, for the error message.
    uint32_t xmlErrorLine = 0;
    uint8_t fileFamily = kFileNative;
    uint8_t fileKind = 0; // the form a save writes back: 1, 2 XML, 3, 4 binary (2, 4 gzip)
    char lastSavedUser[kLastSavedUserSize] = {};
    char lastSavedDate[kLastSavedDateSize] = {};
    ErrorCode error = kErrorNone;
    uint8_t encryption = 0;
    uint8_t readOnly = 0;
    char password[kPasswordSize] = {};
    CPagedList printPages;
    PaneLayout panes;
    CPagedList inspectedCells;
    TextFileSettings textFile;
    XBaseSaveOptions xbase;
    DocumentProperties properties;
    uint8_t flags[2] = {};
    // Copied by the grid view from the settings before each paint: no corner marks, and
    // formula cells showing their text aligned as text.
    uint8_t hideCellMarkers = 0;
    uint8_t showFormulas = 0;
    // The texts the last import left out: they held characters outside the code page.
    uint32_t refusedTexts = 0;
    // The document properties the last import cut to their fields.
    uint32_t cutProperties = 0;
    // The style names the last import found no style for (the default style was taken), and
    // whether it found an active worksheet it could not read (the first was shown).
    uint32_t unknownStyles = 0;
    uint32_t badActiveSheet = 0;
    UndoHistory undo;
    // The cells a Cut took while its Paste waits: rows and columns inserted and removed move
    // the place as they move a print range (undo and redo too), and end it when they take or
    // split it.
    struct WaitingCut {
        const CWorksheet* sheet = nullptr;
        CellRange range;
        bool waiting = false;
    } cutPlace;
    DropDownListRecord dropDownLists[kDropDownLists];

    // Document state that windows, files and automation read and set.
    EvalContextPtr evalContext; // attached by the formula layer; null until then
    uint8_t lockState = 0;      // 0 none; 3 and others as the status bar shows them
    uint8_t updateMode = 0;     // 0 the setting applies; 1, 2 automatic, 3, 4 manual (all, current)
    uint16_t zoom = 100;        // percent
    CTreeItem* currentItem = nullptr;   // the readers' and evaluator's current tree item
    CCellStore* currentCells = nullptr; // and its cell store

    void InitStyleTable() { InitStyleTables(styles); }
    void InitTextFileSettings() { vl::InitTextFileSettings(textFile); }
    void InitDocumentProperties() { properties = DocumentProperties{}; }
    void InitUndoHistory();
    // Forgets the content (tree, drop-down lists, inspected cells, undo history, styles,
    // images) as a fresh workbook has it; file, password and settings fields stay.
    void ClearContent();
    // Drops the styles and fonts nothing uses and renumbers the rest everywhere.
    void CompactStyleTables();

    // Appends a worksheet or folder at the end of the tree; an absent name becomes
    // "Worksheet%u" or "Folder%u" with the count of its kind plus 1. Null with error 8.
    CTreeItem* AppendTreeItem(uint8_t type, const char* name, uint16_t level);

    // The undo history. The maximum is the undo level minus 1; a level outside 1 to 200
    // leaves it at 0, and lowering it drops the oldest entries beyond it.
    void SetUndoLevel(uint32_t level);
    // The level of the settings profile ("UndoLevel"), as the workbook window applies it.
    void ApplyUndoLevelSetting();
    void FreeUndoEntry(uint16_t index) { vl::FreeUndoEntry(undo, index); }
    void FreeUndoHistoryEntries();
    void FreeUndoHistory() { FreeUndoHistoryEntries(); }
    // Claims the slot after the current one for a new entry: frees the redo entries, drops
    // the oldest entry when the history is full, and returns the cleared slot's index.
    int32_t MakeUndoRoom();
    UndoEntry DiscardLastUndo(bool free) { return vl::DiscardLastUndo(undo, free); }

    // Recorders: each claims a slot, keeps what the edit will destroy and notes the place.
    // Those that snapshot return false with the workbook's error code when they cannot.
    // They act on the active worksheet unless one is given.
    // One cell of any worksheet, noting the view's first visible cell as the cursor.
    bool RecordUndoCell(CWorksheet& ws, uint16_t column, uint32_t row, uint16_t firstVisibleColumn,
                        uint32_t firstVisibleRow);
    bool RecordUndoCells(const CellRange& selection, uint16_t cursorColumn, uint32_t cursorRow);
    bool RecordUndoRange(const CellRange& selection, uint16_t cursorColumn, uint32_t cursorRow,
                         bool cells, bool formats);
    bool RecordUndoColumnWidths(const CellRange& selection, uint16_t cursorColumn,
                                uint32_t cursorRow, uint16_t first, uint16_t last);
    bool RecordUndoRowHeights(const CellRange& selection, uint16_t cursorColumn, uint32_t cursorRow,
                              uint32_t first, uint32_t last);
    void RecordUndoInsertColumns(const CellRange& selection, uint16_t cursorColumn,
                                 uint32_t cursorRow, uint16_t first, uint16_t last);
    void RecordUndoInsertRows(const CellRange& selection, uint16_t cursorColumn, uint32_t cursorRow,
                              uint32_t first, uint32_t last);
    bool RecordUndoColumnsCopy(const CellRange& selection, uint16_t cursorColumn,
                               uint32_t cursorRow, uint16_t first, uint16_t last);
    bool RecordUndoRowsCopy(const CellRange& selection, uint16_t cursorColumn, uint32_t cursorRow,
                            uint32_t first, uint32_t last);
    void RecordUndoTreeChange(const CellRange& selection, uint16_t cursorColumn, uint32_t cursorRow,
                              int32_t position);
    // Takes the item with its subtree out of the tree into the entry. The recorder unlinks
    // them itself, so the caller does not: a second DetachTreeItem of the item is refused
    // (error 9) and changes nothing. Refused with error 9 when the subtree holds every
    // worksheet, and with error 10 for an item not in the tree (one the caller unlinked
    // first stays the caller's); the slot is then left empty.
    bool RecordUndoTreeMove(const CellRange& selection, uint16_t cursorColumn, uint32_t cursorRow,
                            CTreeItem* item);
    bool RecordUndoTreeRemove(const CellRange& selection, uint16_t cursorColumn, uint32_t cursorRow,
                              CTreeItem* item) {
        return RecordUndoTreeMove(selection, cursorColumn, cursorRow, item);
    }
    bool RecordUndoRename(const CellRange& selection, uint16_t cursorColumn, uint32_t cursorRow,
                          const CTreeItem* item);
    void RecordUndoContainer(const CellRange& selection, uint16_t cursorColumn, uint32_t cursorRow,
                             const CContainer& container);
    void RecordUndoContainerKept(const CellRange& selection, uint16_t cursorColumn,
                                 uint32_t cursorRow, std::unique_ptr<CContainer> container);
    bool RecordUndoContainerOp(const CellRange& selection, uint16_t cursorColumn,
                               uint32_t cursorRow, CContainer& container);
    void RecordUndoSort(const CellRange& selection, uint16_t cursorColumn, uint32_t cursorRow,
                        BlockPtr memoryBlock);
    // Drop-down list `list` was removed (`removed` is what it held): every style naming a
    // removed list loses it, and one entry keeps the list with those styles' links. Without
    // memory for the entry the styles lose the list all the same, without an entry. `joined`
    // makes the entry go with the one before it.
    void RecordUndoListRemoval(const CellRange& selection, uint16_t cursorColumn,
                               uint32_t cursorRow, uint16_t list, DropDownListRecord removed,
                               bool joined);

private:
    // The active worksheet, or null with error 13.
    CWorksheet* ActiveOrFail();
    void NotePlace(UndoEntry& e, uint8_t operation, const CellRange& selection,
                   uint16_t cursorColumn, uint32_t cursorRow);
};

// A workbook record, empty (no tree item), or null when its memory could not be had.
std::unique_ptr<CWorkbook> CreateWorkbook();
// Replaces the tree with one new worksheet of that name and makes it the active and current
// item; null with error 8, and the old tree whole, when the worksheet could not be had.
CWorksheet* ReplaceTreeWithWorksheet(CWorkbook& workbook, const char* name);
// The same with the worksheet "Worksheet1"; false when it could not be had.
bool NewWorkbook(CWorkbook& workbook);
// Records the cells of a range of any worksheet before an edit (operation 2, cells only).
bool RecordRangeUndo(CWorkbook& workbook, CWorksheet& ws, const CellRange& range);

} // namespace vl
