#include <QPainter>

#include "DrawingKit.h"
#include "Drawings.h"

namespace korvane::ui {

SketchWidget::SketchWidget(Sketch which, QWidget* parent) : QWidget(parent), which_(which) {
    // The sketch fills the whole widget with paper, so nothing beneath needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

Sketch SketchWidget::Which() const {
    return which_;
}

void SketchWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintSketch(which_, painter, QRectF(rect()));
}

QSize SketchWidget::sizeHint() const {
    return kit::SketchSize(which_);
}

} // namespace korvane::ui
