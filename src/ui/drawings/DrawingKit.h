#pragma once
// The drafting vocabulary shared by the sketches: colours, pens, symbol text, dimension lines and hatching.
// Coordinates are the sketch's own units, one unit being one pixel of the picture on the main window; the
// caller has already scaled the painter to the target.

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

#include "Drawings.h"

class QPainter;
class QPen;

namespace korvane::ui::kit {

inline const QColor kPaper{255, 255, 255};
inline const QColor kInk{58, 63, 69};       // every line and symbol
inline const QColor kWall{228, 228, 226};   // facade seen in elevation
inline const QColor kCut{200, 201, 203};    // walls, slabs and roofs cut by a section
inline const QColor kGlass{191, 227, 247};  // glazing, in section, plan and elevation
inline const QColor kCentre{120, 126, 134}; // centre lines of roof lights
inline constexpr double kLine = 1.0;        // outlines
inline constexpr double kThin = 0.6;        // dimension, extension and hatch lines
inline constexpr int kSymbolSize = 10;      // height of the symbols in units

QSize SketchSize(Sketch which);

QPen InkPen(double width);
QFont SymbolFont(int pixelSize = kSymbolSize);

// Where a dimension's symbol goes relative to its line.
enum class LabelAt { OnLine, Above, Below, Left, Right };

// Writes text at anchor; align picks which side of the text box touches the anchor (Qt::AlignLeft puts the
// text to the right of it). With knockout the box is cleared to paper first, to break a line beneath.
void Symbol(QPainter& painter, QPointF anchor, int align, const QString& text, bool knockout = false);

// A dimension from a to b with arrow heads at both ends and its symbol beside or on the line.
void Dimension(QPainter& painter, QPointF a, QPointF b, const QString& text, LabelAt at);

// A thin line from a towards b that stops short of the drawing it refers to by a small gap at a.
void ExtensionLine(QPainter& painter, QPointF a, QPointF b);

// Rectangle filled with the cut colour, hatched at 45° and outlined: a wall or slab in section or plan.
void CutRect(QPainter& painter, const QRectF& rect);

// Ground below a floor: the line from x1 to x2 at y with short hatch strokes beneath it.
void Ground(QPainter& painter, double x1, double x2, double y);

} // namespace korvane::ui::kit
