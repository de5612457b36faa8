// The three window-type pictures. Each is laid out in units of one pixel of the picture on the main window,
// with 1-unit outlines on half units so that they fall on whole pixels at the natural size.

#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>

#include "DrawingKit.h"
#include "Drawings.h"

namespace korvane::ui {
namespace {

using kit::LabelAt;

// Three facade strips, one beside each option button of the panel: the strips' centres sit at the buttons'
// centres, so the pitch follows the buttons' spacing of 660 twips.
void PaintSideWindows(QPainter& p) {
    const std::array<double, 3> shares{0.30, 0.60, 0.90};
    const std::array<const char*, 3> labels{"30 %", "60 %", "90 %"};
    const double left = 6.5;
    const double right = 136.5;
    const int bays = 4;
    const double bay = (right - left) / bays;

    for (std::size_t i = 0; i < shares.size(); ++i) {
        const double mid = 30.5 + 44.0 * static_cast<double>(i);
        const double top = mid - 17;
        const double floor = mid + 15;
        const double head = mid - 7;
        const double sill = mid + 6;

        const QRectF wall(left, top, right - left, floor - top);
        p.fillRect(wall, kit::kWall);
        // Each bay carries one window, its width the band's share of the bay, so the windows add up to the
        // share of the whole facade.
        p.setPen(kit::InkPen(kit::kLine));
        p.setBrush(kit::kGlass);
        // Edges rounded to whole units keep the outlines on pixels at the natural size; the share moves by
        // less than one percent.
        const double width = std::round(shares[i] * bay);
        for (int b = 0; b < bays; ++b) {
            const double x = std::round(left + bay * (b + 0.5) - width / 2 - 0.5) + 0.5;
            p.drawRect(QRectF(x, head, width, sill - head));
        }
        p.setBrush(Qt::NoBrush);
        p.drawRect(wall);
        kit::CutRect(p, QRectF(left - 1.5, top - 2, right - left + 3, 3));
        kit::Ground(p, left - 4, right + 4, floor);
        kit::Symbol(p, QPointF(right + 7, (head + sill) / 2), Qt::AlignLeft | Qt::AlignVCenter,
                    QString::fromLatin1(labels[i]));
    }
}

// The horizontal grid the section and the plan of the flat roof share, so that the roof lights line up.
struct FlatRoofGrid {
    double d = 40;
    double wall = 3;
    double inLeft = 45.5;
    double inRight = inLeft + 3 * d;
    double light = 18;
    std::array<double, 3> cx{inLeft + d / 2, inLeft + 1.5 * d, inLeft + 2.5 * d};
    double dimX = inLeft - wall - 7;
};

void PaintFlatRoofSection(QPainter& p, const FlatRoofGrid& g) {
    const auto [d, wall, inLeft, inRight, light, cx, dimX] = g;
    const double slabTop = 11.5;
    const double slabBottom = 15.5;
    const double floor = 50.5;
    kit::CutRect(p, QRectF(inLeft - wall, slabTop, wall, floor - slabTop));
    kit::CutRect(p, QRectF(inRight, slabTop, wall, floor - slabTop));
    double from = inLeft - wall;
    for (double c : cx) {
        kit::CutRect(p, QRectF(from, slabTop, c - light / 2 - from, slabBottom - slabTop));
        from = c + light / 2;
    }
    kit::CutRect(p, QRectF(from, slabTop, inRight + wall - from, slabBottom - slabTop));
    for (double c : cx) {
        const double kerb = 1.5;
        const double kerbTop = slabTop - 3;
        kit::CutRect(p, QRectF(c - light / 2 - kerb, kerbTop, kerb, slabTop - kerbTop));
        kit::CutRect(p, QRectF(c + light / 2, kerbTop, kerb, slabTop - kerbTop));
        QPainterPath dome;
        dome.moveTo(c - light / 2 - kerb, kerbTop);
        dome.cubicTo(c - light / 4, kerbTop - 6, c + light / 4, kerbTop - 6, c + light / 2 + kerb, kerbTop);
        dome.closeSubpath();
        p.setPen(kit::InkPen(kit::kLine));
        p.setBrush(kit::kGlass);
        p.drawPath(dome);
    }
    p.setBrush(Qt::NoBrush);
    kit::Ground(p, inLeft - wall - 3, inRight + wall + 3, floor);
    kit::ExtensionLine(p, QPointF(inLeft - wall, slabBottom), QPointF(dimX - 2, slabBottom));
    kit::ExtensionLine(p, QPointF(inLeft - wall - 3, floor), QPointF(dimX - 2, floor));
    kit::Dimension(p, QPointF(dimX, floor), QPointF(dimX, slabBottom), QStringLiteral("h"), LabelAt::Left);
}

void PaintFlatRoofPlan(QPainter& p, const FlatRoofGrid& g) {
    const auto [d, wall, inLeft, inRight, light, cx, dimX] = g;
    const double planTop = 60.5;
    const double inTop = planTop + wall;
    const double inBottom = inTop + 2 * d;
    const std::array<double, 2> cy{inTop + d / 2, inTop + 1.5 * d};
    kit::CutRect(p, QRectF(inLeft - wall, planTop, 3 * d + 2 * wall, wall));
    kit::CutRect(p, QRectF(inLeft - wall, inBottom, 3 * d + 2 * wall, wall));
    kit::CutRect(p, QRectF(inLeft - wall, inTop, wall, 2 * d));
    kit::CutRect(p, QRectF(inRight, inTop, wall, 2 * d));

    const double chainY = inBottom + wall + 7;
    QPen centre(kit::kCentre, 0.5);
    centre.setDashPattern({8, 3, 2, 3});
    p.setPen(centre);
    for (double x : cx)
        p.drawLine(QPointF(x, inTop - 2), QPointF(x, chainY + 2));
    for (double y : cy)
        p.drawLine(QPointF(dimX - 2, y), QPointF(inRight + 2, y));
    for (double x : cx) {
        for (double y : cy) {
            const QRectF glass(x - light / 2, y - light / 2, light, light);
            p.setPen(kit::InkPen(kit::kLine));
            p.setBrush(kit::kGlass);
            p.drawRect(glass);
            p.setPen(kit::InkPen(kit::kThin));
            p.drawLine(glass.topLeft(), glass.bottomRight());
            p.drawLine(glass.topRight(), glass.bottomLeft());
        }
    }
    p.setBrush(Qt::NoBrush);

    kit::ExtensionLine(p, QPointF(inLeft, inBottom), QPointF(inLeft, chainY + 2));
    kit::ExtensionLine(p, QPointF(inRight, inBottom), QPointF(inRight, chainY + 2));
    const std::array<double, 5> xs{inLeft, cx[0], cx[1], cx[2], inRight};
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        const bool half = i == 0 || i + 2 == xs.size();
        kit::Dimension(p, QPointF(xs[i], chainY), QPointF(xs[i + 1], chainY),
                       half ? QStringLiteral("d/2") : QStringLiteral("d"), LabelAt::Below);
    }
    kit::ExtensionLine(p, QPointF(inLeft, inTop), QPointF(dimX - 2, inTop));
    kit::ExtensionLine(p, QPointF(inLeft, inBottom), QPointF(dimX - 2, inBottom));
    const std::array<double, 4> ys{inTop, cy[0], cy[1], inBottom};
    for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
        const bool half = i == 0 || i + 2 == ys.size();
        kit::Dimension(p, QPointF(dimX, ys[i]), QPointF(dimX, ys[i + 1]),
                       half ? QStringLiteral("d/2") : QStringLiteral("d"), LabelAt::Left);
    }
}

// A section through one row of roof lights above the plan of the room, both at the same horizontal scale so
// that the roof lights line up.
void PaintFlatRoof(QPainter& p) {
    const FlatRoofGrid grid;
    PaintFlatRoofSection(p, grid);
    PaintFlatRoofPlan(p, grid);
}

// Section across three sawtooth rows: each roof rises from a valley to the top of the next glazing, which
// stands vertically on the following valley, the last one on the end wall.
void PaintSawtooth(QPainter& p) {
    const double d = 72;
    const double thick = 3;
    const double outLeft = 9.5;
    const double ridge = 24.5;
    const double valley = 52.5;
    const double floor = 120.5;
    const double dimX = outLeft + 3 * d + 10;

    // Glazing outer faces at outLeft + k d for k = 1..3.
    for (int k = 1; k <= 3; ++k) {
        const double face = outLeft + k * d;
        const double start = outLeft + (k - 1) * d;
        QPolygonF roof{QPointF(start, valley), QPointF(face - thick, ridge),
                       QPointF(face - thick, ridge + thick), QPointF(start, valley + thick)};
        p.save();
        QPainterPath clip;
        clip.addPolygon(roof);
        p.setClipPath(clip, Qt::IntersectClip);
        kit::CutRect(p, roof.boundingRect());
        p.restore();
        p.setPen(kit::InkPen(kit::kLine));
        p.setBrush(Qt::NoBrush);
        p.drawPolygon(roof);
        p.setBrush(kit::kGlass);
        p.drawRect(QRectF(face - thick, ridge, thick, valley - ridge));
        p.setBrush(Qt::NoBrush);
        if (k < 3) {
            // Column under the valley gutter, seen beyond the section plane.
            p.setPen(kit::InkPen(kit::kLine));
            p.fillRect(QRectF(face - thick, valley + thick, thick, floor - valley - thick), kit::kPaper);
            p.drawRect(QRectF(face - thick, valley + thick, thick, floor - valley - thick));
        }
    }
    kit::CutRect(p, QRectF(outLeft, valley, thick, floor - valley));
    kit::CutRect(p, QRectF(outLeft + 3 * d - thick, valley, thick, floor - valley));
    kit::Ground(p, outLeft - 4, outLeft + 3 * d + 4, floor);

    const double right = outLeft + 3 * d;
    kit::ExtensionLine(p, QPointF(right, ridge), QPointF(dimX + 2, ridge));
    kit::ExtensionLine(p, QPointF(right, valley), QPointF(dimX + 2, valley));
    kit::ExtensionLine(p, QPointF(right + 4, floor), QPointF(dimX + 2, floor));
    kit::Dimension(p, QPointF(dimX, valley), QPointF(dimX, ridge), QStringLiteral("GH"), LabelAt::Right);
    kit::Dimension(p, QPointF(dimX, floor), QPointF(dimX, valley), QStringLiteral("RH"), LabelAt::Right);

    const double chainY = ridge - 12;
    kit::ExtensionLine(p, QPointF(outLeft + d, ridge), QPointF(outLeft + d, chainY - 2));
    kit::ExtensionLine(p, QPointF(outLeft + 2 * d, ridge), QPointF(outLeft + 2 * d, chainY - 2));
    kit::Dimension(p, QPointF(outLeft + d, chainY), QPointF(outLeft + 2 * d, chainY), QStringLiteral("d"),
                   LabelAt::OnLine);
}

} // namespace

void PaintSketch(Sketch which, QPainter& painter, const QRectF& target) {
    if (target.isEmpty())
        return;
    painter.save();
    painter.fillRect(target, kit::kPaper);
    const QSizeF size = kit::SketchSize(which);
    const double scale = std::min(target.width() / size.width(), target.height() / size.height());
    painter.translate(target.center());
    painter.scale(scale, scale);
    painter.translate(-size.width() / 2, -size.height() / 2);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    switch (which) {
    case Sketch::SideWindows:
        PaintSideWindows(painter);
        break;
    case Sketch::FlatRoof:
        PaintFlatRoof(painter);
        break;
    case Sketch::Sawtooth:
        PaintSawtooth(painter);
        break;
    }
    painter.restore();
}

} // namespace korvane::ui
