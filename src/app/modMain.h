#pragma once
// The program's start-up.

#include "Seams.h"

namespace korvane {

// Reads the user locale's decimal separator, shows the main window and returns when it has been closed.
// A room file, when given, is opened into the window before it shows.
void Main(const ui::Seams& seams, const QString& roomFile = QString());

} // namespace korvane
