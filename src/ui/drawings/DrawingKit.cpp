#include "DrawingKit.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include <cmath>

namespace korvane::ui::kit {

QSize SketchSize(Sketch which) {
    // Twips of the layout divided by 15.
    switch (which) {
    case Sketch::SideWindows:
        return {172, 152};
    case Sketch::FlatRoof:
        return {185, 171};
    case Sketch::Sawtooth:
        return {265, 135};
    }
    return {};
}

QPen InkPen(double width) {
    QPen pen(kInk, width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

QFont SymbolFont(int pixelSize) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    // Unhinted outlines scale linearly, so a symbol keeps its place beside its line at every size.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void Symbol(QPainter& painter, QPointF anchor, int align, const QString& text, bool knockout) {
    const QFont font = SymbolFont();
    const QFontMetricsF metrics(font);
    const double width = metrics.horizontalAdvance(text);
    // Centre on the height of a capital rather than the line box, which carries room for descenders.
    const double cap = metrics.capHeight();
    double x = anchor.x() - width / 2;
    if (align & Qt::AlignLeft)
        x = anchor.x();
    else if (align & Qt::AlignRight)
        x = anchor.x() - width;
    double baseline = anchor.y() + cap / 2;
    if (align & Qt::AlignTop)
        baseline = anchor.y() + cap;
    else if (align & Qt::AlignBottom)
        baseline = anchor.y();

    if (knockout) {
        const double pad = 1.5;
        painter.fillRect(QRectF(x - pad, baseline - cap - pad, width + 2 * pad, cap + 2 * pad), kPaper);
    }
    painter.setFont(font);
    painter.setPen(kInk);
    painter.drawText(QPointF(x, baseline), text);
}

namespace {

void ArrowHead(QPainter& painter, QPointF tip, QPointF from) {
    const double length = 4.0;
    const double halfWidth = 1.4;
    QLineF axis(tip, from);
    axis.setLength(length);
    const QPointF back = axis.p2();
    const QPointF across(-(back.y() - tip.y()) / length * halfWidth,
                         (back.x() - tip.x()) / length * halfWidth);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kInk);
    painter.drawPolygon(QPolygonF{tip, back + across, back - across});
}

} // namespace

void Dimension(QPainter& painter, QPointF a, QPointF b, const QString& text, LabelAt at) {
    painter.save();
    painter.setPen(InkPen(kThin));
    painter.drawLine(a, b);
    ArrowHead(painter, a, b);
    ArrowHead(painter, b, a);
    painter.restore();

    const QPointF mid = (a + b) / 2;
    const double gap = 2.5;
    switch (at) {
    case LabelAt::OnLine:
        Symbol(painter, mid, Qt::AlignCenter, text, true);
        break;
    case LabelAt::Above:
        Symbol(painter, mid - QPointF(0, gap), Qt::AlignHCenter | Qt::AlignBottom, text);
        break;
    case LabelAt::Below:
        Symbol(painter, mid + QPointF(0, gap), Qt::AlignHCenter | Qt::AlignTop, text);
        break;
    case LabelAt::Left:
        Symbol(painter, mid - QPointF(gap, 0), Qt::AlignRight | Qt::AlignVCenter, text);
        break;
    case LabelAt::Right:
        Symbol(painter, mid + QPointF(gap, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
        break;
    }
}

void ExtensionLine(QPainter& painter, QPointF a, QPointF b) {
    QLineF line(a, b);
    const double gap = 1.5;
    if (line.length() <= gap)
        return;
    line.setP1(line.pointAt(gap / line.length()));
    painter.save();
    painter.setPen(InkPen(kThin));
    painter.drawLine(line);
    painter.restore();
}

void CutRect(QPainter& painter, const QRectF& rect) {
    painter.save();
    painter.fillRect(rect, kCut);
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setPen(InkPen(0.4));
    const double spacing = 2.5;
    for (double t = rect.left() - rect.height(); t < rect.right(); t += spacing)
        painter.drawLine(QPointF(t, rect.bottom()), QPointF(t + rect.height(), rect.top()));
    painter.restore();
    painter.save();
    painter.setPen(InkPen(kLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect);
    painter.restore();
}

void Ground(QPainter& painter, double x1, double x2, double y) {
    painter.save();
    painter.setPen(InkPen(kThin));
    const double depth = 3.0;
    for (double x = x1 + depth; x <= x2; x += 3.0)
        painter.drawLine(QPointF(x, y), QPointF(x - depth, y + depth));
    painter.setPen(InkPen(kLine));
    painter.drawLine(QPointF(x1, y), QPointF(x2, y));
    painter.restore();
}

} // namespace korvane::ui::kit
