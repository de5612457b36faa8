// Writes the program's icon as PNG files in the freedesktop layout:
//   make_icons FOLDER   ->   FOLDER/hicolor/<n>x<n>/apps/korvane-energy.png
// Needs no display: run it with QT_QPA_PLATFORM=offscreen.

#include "Drawings.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: make_icons FOLDER\n";
        return 2;
    }
    const QIcon icon = korvane::ui::AppIcon();
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder =
            QStringLiteral("%1/hicolor/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        const QPixmap pixmap = icon.pixmap(QSize(size, size));
        if (!QDir().mkpath(folder) || pixmap.size() != QSize(size, size) ||
            !pixmap.save(folder + QStringLiteral("/korvane-energy.png"))) {
            QTextStream(stderr) << "cannot write the " << size << " pixel icon into " << folder << '\n';
            return 1;
        }
    }
    return 0;
}
