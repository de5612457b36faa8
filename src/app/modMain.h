#pragma once
// The program's start-up.

#include "Seams.h"

namespace korvane {

// Reads the user locale's decimal separator, shows the main window and returns when it has been closed.
void Main(const ui::Seams& seams);

} // namespace korvane
