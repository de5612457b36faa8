#pragma once
// Helpers shared by the windows' dialog handling.

namespace korvane::ui::modDialogHandler {

// Selects the whole text of the control that has the keyboard focus, so that typing replaces it. Does
// nothing when no control has the focus, it is disabled or it holds no text.
void SelectActiveText();

} // namespace korvane::ui::modDialogHandler
