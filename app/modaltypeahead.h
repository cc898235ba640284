#pragma once
// Keys typed while a modal dialog opens reach it. On X the server sends a key to the window
// that has the keyboard when the key is typed; until the new dialog has it, that is the window
// under the dialog, which the dialog blocks, and the toolkit drops what a blocked window gets.
// Such keys are kept from then on, and every key after them, until the dialog has the keyboard;
// then they go to it in the order they were typed.

namespace vl {

// Installs the keeping once, where the program runs on X; later calls do nothing.
void InstallModalTypeAhead();

} // namespace vl
