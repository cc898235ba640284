#include "app/commandstates.h"

#include "app/copyhistory.h"
#include "resources/commandids.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace vl {

std::vector<CommandState> ComputeCommandStates(const DocumentState& doc,
                                               std::optional<bool> clipboardHasData,
                                               uint8_t region) {
    std::vector<CommandState> states;
    auto add = [&states](int id, bool enabled, uint8_t check) {
        states.push_back({id, enabled, check});
    };
    for (int id : {ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_PROTECTION}) add(id, !doc.readOnly, 0);
    add(ID_VIEW_TREE, true, doc.treePane);
    add(ID_VIEW_INSPECT, true, doc.inspectPane);
    add(ID_EDIT_UNDO, doc.undoPosition >= 0, 0);
    add(ID_EDIT_REDO, doc.undoPosition < 198 && doc.nextUndoEntry, 0);
    if (clipboardHasData) add(ID_EDIT_PASTE, *clipboardHasData, 0);
    add(ID_FREEZE_COLUMN, true, doc.frozenColumn);
    add(ID_FREEZE_ROW, true, doc.frozenRow);
    add(ID_FREEZE_NONE, true, !doc.frozenColumn && !doc.frozenRow);
    add(ID_SPLIT_HORIZONTAL, true, doc.splitHorizontal);
    add(ID_SPLIT_VERTICAL, true, doc.splitVertical);
    add(ID_SPLIT_NONE, true, !doc.splitHorizontal && !doc.splitVertical);
    static const uint8_t kUpdateModes[] = {1, 2, 3, 4, 0};
    for (int i = 0; i < 5; ++i)
        add(ID_UPDATE_AUTO_ALL + i, true, doc.updateMode == kUpdateModes[i]);
    for (int i = 0; i < 5; ++i) add(ID_FORMAT_XML + i, true, doc.fileFormat == kUpdateModes[i]);
    add(ID_LOCALE_GENERIC, true, region == 0);
    add(ID_LOCALE_SYSTEM, true, region == 1);
    add(ID_LOCALE_USER, true, region == 2);
    return states;
}

std::optional<bool> ClipboardHoldsPasteData() {
    const QClipboard* clipboard = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                      ? QGuiApplication::clipboard()
                                      : nullptr;
    if (!clipboard) return std::nullopt;
    // An emptied clipboard has no data at all.
    const QMimeData* mime = clipboard->mimeData();
    return mime && (mime->hasFormat(QString::fromLatin1(kPrivateClipboardMime)) || mime->hasText());
}

} // namespace vl
