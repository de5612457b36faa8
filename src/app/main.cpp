#include "modMain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(korvane::ui::AppTitle());
    korvane::Main(korvane::ui::DesktopSeams());
    return 0;
}
