#pragma once

#include <QDialog>

#include <functional>

namespace kestrava {

// Every modal dialog of the program (options, about) is run through here, so that
// tests can drive a dialog and close it instead of blocking in exec().
int RunModal(QDialog &dialog);
// Replaces how dialogs are run (nullptr: exec()). Returns the previous hook.
using ModalHook = std::function<int(QDialog &)>;
ModalHook SetModalHook(ModalHook hook);

} // namespace kestrava
