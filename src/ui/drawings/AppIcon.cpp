// The program's icon: daylight through a window. It is laid out on a 32-unit grid with fill edges on even
// units and 2-unit strokes centred on odd ones, so that every edge meets a pixel boundary at 16 and 32
// pixels.

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>

#include "Drawings.h"

namespace korvane::ui {
namespace {

const QColor kFrame{58, 63, 69};
const QColor kPane{150, 205, 240};
const QColor kPaneLight{205, 234, 250};
const QColor kSun{255, 200, 0};
const QColor kSunEdge{215, 140, 0};

void PaintIcon(QPainter& p) {
    p.setPen(Qt::NoPen);

    // Sun with eight rays, partly behind the window; the slanting rays are squares on the grid.
    p.setBrush(kSunEdge);
    p.drawRect(QRectF(22, 0, 2, 3));
    p.drawRect(QRectF(29, 8, 3, 2));
    p.drawRect(QRectF(14, 8, 3, 2));
    for (double x : {16.0, 28.0})
        for (double y : {2.0, 14.0})
            p.drawRect(QRectF(x, y, 2, 2));
    p.drawEllipse(QRectF(18, 4, 10, 10));
    p.setBrush(kSun);
    p.drawEllipse(QRectF(19, 5, 8, 8));

    // Window: frame, four panes, a light stripe across the panes for the incoming daylight.
    p.setBrush(kFrame);
    p.drawRect(QRectF(2, 12, 22, 18));
    p.setBrush(kPane);
    for (double x : {4.0, 14.0})
        for (double y : {14.0, 22.0})
            p.drawRect(QRectF(x, y, 8, 6));
    QPainterPath beam;
    beam.moveTo(22, 14);
    beam.lineTo(22, 18);
    beam.lineTo(8, 28);
    beam.lineTo(4, 28);
    beam.closeSubpath();
    QPainterPath panes;
    for (double x : {4.0, 14.0})
        for (double y : {14.0, 22.0})
            panes.addRect(QRectF(x, y, 8, 6));
    p.setBrush(kPaneLight);
    p.drawPath(beam.intersected(panes));

    // Sill.
    p.setBrush(kFrame);
    p.drawRect(QRectF(0, 30, 26, 2));
}

void Desaturate(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(line[x]); // premultiplied in, premultiplied out
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]));
        }
    }
}

class AppIconEngine : public QIconEngine {
  public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const double side = std::min(rect.width(), rect.height());
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2);
        painter->scale(side / 32, side / 32);
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.45);
        PaintIcon(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // QIcon hands over the size in device pixels already; scale only labels the result.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            paint(&painter, image.rect(), mode, state);
        }
        if (mode == QIcon::Disabled)
            Desaturate(image);
        QPixmap pixmap = QPixmap::fromImage(image);
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
    }

    QString key() const override { return QStringLiteral("korvane-app-icon"); }
    QIconEngine* clone() const override { return new AppIconEngine; }
};

} // namespace

QIcon AppIcon() {
    return QIcon(new AppIconEngine);
}

} // namespace korvane::ui
