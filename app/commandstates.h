#pragma once
// Enabled and ticked states of the document commands, from the active workbook's state.

#include "app/statustext.h"

#include <optional>
#include <vector>

namespace vl {

struct CommandState {
    int id;
    bool enabled;
    uint8_t check; // 0 not ticked, 1 ticked, 2 the second tick state
};

// `clipboardHasData`: the clipboard holds the private format or text; nothing when the
// clipboard could not be read (Paste then keeps its state). `region` is the locale choice.
std::vector<CommandState> ComputeCommandStates(const DocumentState& doc,
                                               std::optional<bool> clipboardHasData,
                                               uint8_t region);

// Whether the system clipboard holds what Paste takes: the private block or text. Nothing
// when the clipboard cannot be read. The menus, the toolbars and the context menus all
// take Paste's state from it.
std::optional<bool> ClipboardHoldsPasteData();

} // namespace vl
