#include "modDialogHandler.h"

#include <QApplication>
#include <QLineEdit>

namespace korvane::ui::modDialogHandler {

void SelectActiveText() {
    auto* active = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (active == nullptr || !active->isEnabled())
        return;
    active->setSelection(0, static_cast<int>(active->text().size()));
}

} // namespace korvane::ui::modDialogHandler
