#pragma once
// Ctrl+Y redoes in every editable line of text, as Ctrl+Z undoes there. The line editors take
// their keys from the platform, whose bindings on X name only Ctrl+Shift+Z for redo.

namespace vl {

// Installs the key on the application once; later calls do nothing. Filters installed after
// it see the key first: the workbook window's accelerators keep Ctrl+Y in the cell editor.
void InstallRedoKey();

} // namespace vl
