#pragma once
// Keys typed while a modal dialog opens reach it. On X the server sends a key to the window
// that has the keyboard when the key is typed; until the new dialog has it, that is the window
// under the dialog, which the dialog blocks, and the toolkit drops what a blocked window gets.
// Such keys are kept from then on, and every key after them, until the dialog has the keyboard;
// then they go to it in the order they were typed. So are the keys the server sends a menu
// while it closes, before it has given the keyboard back: the toolkit drops what a closed menu
// gets, and they go to the window the menu gave the keyboard back to. A release is kept only
// with its press: the release of a key that went on (the Escape that closed the menu) is not.

namespace vl {

// Installs the keeping once, where the program runs on X; later calls do nothing.
void InstallModalTypeAhead();

} // namespace vl
