// Writes the window-type pictures and the program's icon as PNG files for looking at them:
//   render_sketches [folder]   (default /tmp/korvane-sketches)
// Sketches at 1, 2 and 4 times their size on the window, each panel with its controls' places marked, and the
// icon at the usual sizes, the small ones also enlarged eight times without smoothing to show the pixels.

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTextStream>

#include "Drawings.h"

using korvane::ui::Sketch;

namespace {

struct Place {
    int left, top, width, height; // twips within the panel
};

QRectF Pixels(const Place& p) {
    return QRectF(p.left / 15.0, p.top / 15.0, p.width / 15.0, p.height / 15.0);
}

// The panel as on the window: the picture at its place and grey boxes where the panel's other controls sit.
QImage Panel(Sketch which, const Place& picture, std::initializer_list<Place> controls, int panelWidth) {
    QImage image(panelWidth / 15, 3735 / 15, QImage::Format_RGB32);
    image.fill(QColor(240, 240, 240));
    QPainter painter(&image);
    painter.setPen(QColor(150, 150, 150));
    painter.setBrush(QColor(215, 215, 215));
    for (const Place& c : controls)
        painter.drawRect(Pixels(c).adjusted(0, 0, -1, -1));
    korvane::ui::PaintSketch(which, painter, Pixels(picture));
    return image;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/korvane-sketches");
    QDir().mkpath(folder);
    QTextStream out(stdout);

    const struct {
        Sketch which;
        const char* name;
    } sketches[] = {{Sketch::SideWindows, "side_windows"},
                    {Sketch::FlatRoof, "flat_roof"},
                    {Sketch::Sawtooth, "sawtooth"}};
    for (const auto& s : sketches) {
        const korvane::ui::SketchWidget widget(s.which);
        const QSize size = static_cast<const QWidget&>(widget).sizeHint();
        for (int factor : {1, 2, 4}) {
            QImage image(size * factor, QImage::Format_RGB32);
            QPainter painter(&image);
            korvane::ui::PaintSketch(s.which, painter, QRectF(image.rect()));
            painter.end();
            const QString file =
                QStringLiteral("%1/%2_x%3.png").arg(folder, QLatin1String(s.name)).arg(factor);
            image.save(file);
            out << file << '\n';
        }
    }

    const QImage panels[] = {Panel(Sketch::SideWindows, {1440, 480, 2580, 2280},
                                   {{180, 780, 975, 315},
                                    {180, 1440, 855, 315},
                                    {180, 2100, 915, 315},
                                    {60, 60, 3615, 435},
                                    {1260, 2880, 1755, 255},
                                    {3060, 2820, 555, 285}},
                                   4095),
                             Panel(Sketch::FlatRoof, {1260, 180, 2775, 2565},
                                   {{60, 60, 1155, 435},
                                    {120, 540, 555, 285},
                                    {60, 1020, 1155, 435},
                                    {120, 1500, 555, 285},
                                    {60, 1920, 1155, 495},
                                    {120, 2460, 555, 285}},
                                   4035),
                             Panel(Sketch::Sawtooth, {60, 60, 3975, 2025},
                                   {{60, 2220, 1395, 435},
                                    {1500, 2220, 555, 285},
                                    {1500, 2700, 555, 285},
                                    {1500, 3180, 555, 285},
                                    {2580, 2160, 1215, 435},
                                    {2760, 2760, 855, 255},
                                    {2760, 3240, 855, 255}},
                                   4095)};
    for (int i = 0; i < 3; ++i) {
        const QString file = QStringLiteral("%1/panel_%2.png").arg(folder).arg(i + 1);
        panels[i].save(file);
        out << file << '\n';
    }

    const QIcon icon = korvane::ui::AppIcon();
    for (int side : {16, 24, 32, 48, 64, 256}) {
        const QImage image = icon.pixmap(side, side).toImage();
        const QString file = QStringLiteral("%1/icon_%2.png").arg(folder).arg(side);
        image.save(file);
        out << file << '\n';
        if (side <= 32) {
            QImage zoom(image.size() * 8, QImage::Format_ARGB32);
            zoom.fill(QColor(255, 255, 255));
            QPainter painter(&zoom);
            painter.drawImage(zoom.rect(), image);
            painter.end();
            const QString zoomFile = QStringLiteral("%1/icon_%2_zoom.png").arg(folder).arg(side);
            zoom.save(zoomFile);
            out << zoomFile << '\n';
        }
    }
    return 0;
}
