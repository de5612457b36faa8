#include "modMain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(korvane::ui::AppTitle());
    // A room file named on the command line, as a double click on one passes it.
    const QStringList arguments = QApplication::arguments();
    korvane::Main(korvane::ui::DesktopSeams(), arguments.size() > 1 ? arguments.at(1) : QString());
    return 0;
}
