#pragma once
// Finds texts of a window that do not fit their controls at the fixed positions.

#include "VbControls.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QTabBar>

#include <algorithm>
#include <climits>

namespace korvane::ui::test {

// One line per text that is cut off: "<objectName>: <text>". Hidden controls are checked too, since every
// panel is shown in its turn.
inline QStringList ClippedTexts(const QWidget& window) {
    QStringList clipped;
    auto report = [&clipped](const QWidget& w, const QString& text) {
        clipped << w.objectName() + QStringLiteral(": ") + QString(text).replace('\n', ' ');
    };
    for (const VbLabel* label : window.findChildren<VbLabel*>()) {
        const QRect room = label->contentsRect();
        const QFontMetrics metrics = label->fontMetrics();
        const QRect needed = metrics.boundingRect(QRect(0, 0, room.width(), INT_MAX),
                                                  Qt::TextWordWrap | label->alignment(), label->text());
        // One line counts by its ink, so that a degree sign high in a short box passes.
        const int height = needed.height() < 2 * metrics.lineSpacing()
                               ? metrics.ascent() + metrics.tightBoundingRect(label->text()).bottom()
                               : needed.height();
        if (needed.width() > room.width() || height > room.height())
            report(*label, label->text());
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
        if (!button->text().isEmpty() && !button->objectName().isEmpty() &&
            button->sizeHint().width() > button->width())
            report(*button, button->text());
    for (const VbFrame* frame : window.findChildren<VbFrame*>())
        if (frame->CaptionRect().right() > frame->width() - 6)
            report(*frame, frame->Caption());
    for (const VbTabStrip* strip : window.findChildren<VbTabStrip*>()) {
        const QTabBar* bar = strip->tabBar();
        for (int i = 0; i < bar->count(); ++i)
            if (bar->fontMetrics().horizontalAdvance(bar->tabText(i)) + 8 > bar->tabRect(i).width() ||
                bar->tabRect(i).right() >= strip->width())
                report(*strip, bar->tabText(i));
    }
    for (const VbComboBox* list : window.findChildren<VbComboBox*>()) {
        // The closed list may cut its item short (its tooltip shows it whole); the open list may not.
        const int room = std::max(list->width(), list->view()->minimumWidth()) - 8;
        for (int i = 0; i < list->count(); ++i)
            if (list->view()->fontMetrics().horizontalAdvance(list->itemText(i)) > room)
                report(*list, list->itemText(i));
    }
    return clipped;
}

} // namespace korvane::ui::test
