#pragma once

namespace korvane::ui {

// Puts Qt's own texts (file dialogs, context menus, standard buttons) into language 1..6, from the
// translations installed with Qt; any other language, or a missing file, leaves them in English.
void InstallQtTranslations(int language);

} // namespace korvane::ui
