#pragma once

#include <QIcon>

namespace kestrava {

// The program's icon, drawn at the usual sizes: a spotlight beam over a patch bay.
// main() makes it the application's window icon.
QIcon KestravaAppIcon();

} // namespace kestrava
