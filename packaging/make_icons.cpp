// Writes the program's icon in the freedesktop layout, drawn at each size and once as vectors:
//   make_icons FOLDER   ->   FOLDER/hicolor/<n>x<n>/apps/korvane-energy.png,
//   FOLDER/hicolor/scalable/apps/korvane-energy.svg
// Needs no display: run it with QT_QPA_PLATFORM=offscreen.

#include "Drawings.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QSvgGenerator>
#include <QTextStream>

namespace {

bool WriteSvg(const QIcon& icon, const QString& folder) {
    if (!QDir().mkpath(folder))
        return false;
    // The drawing's own 32-unit grid becomes the view box, so the file scales like the pixel versions.
    QSvgGenerator svg;
    svg.setFileName(folder + QStringLiteral("/korvane-energy.svg"));
    svg.setSize(QSize(32, 32));
    svg.setViewBox(QRect(0, 0, 32, 32));
    svg.setTitle(QStringLiteral("KORVANE Energy"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    icon.paint(&painter, QRect(0, 0, 32, 32));
    return painter.end();
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: make_icons FOLDER\n";
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/hicolor");
    const QIcon icon = korvane::ui::AppIcon();
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        const QPixmap pixmap = icon.pixmap(QSize(size, size));
        if (!QDir().mkpath(folder) || pixmap.size() != QSize(size, size) ||
            !pixmap.save(folder + QStringLiteral("/korvane-energy.png"))) {
            QTextStream(stderr) << "cannot write the " << size << " pixel icon into " << folder << '\n';
            return 1;
        }
    }
    if (!WriteSvg(icon, root + QStringLiteral("/scalable/apps"))) {
        QTextStream(stderr) << "cannot write the scalable icon into " << root << '\n';
        return 1;
    }
    return 0;
}
