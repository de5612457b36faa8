#include "frmAbout.h"
#include "modMain.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Estimates the lighting energy that a daylight-dependent control saves in one room."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Print the version and exit."));
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("room"), QStringLiteral("A room file (.kvroom) to open."),
                                 QStringLiteral("[room.kvroom]"));
    {
        // Help and the version need no display, so they are answered before the window's application exists.
        QCoreApplication probe(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("korvane-energy"));
        parser.parse(QCoreApplication::arguments());
        if (parser.isSet(help))
            parser.showHelp();
        if (parser.isSet(version)) {
            fputs(qPrintable(QStringLiteral("korvane-energy %1\n").arg(korvane::ui::ProgramVersion())),
                  stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(korvane::ui::AppTitle());
    // Qt's own options (-platform and the like) are gone from the arguments by now.
    parser.process(app);
    // A room file named on the command line, as a double click on one passes it.
    const QStringList rooms = parser.positionalArguments();
    korvane::Main(korvane::ui::DesktopSeams(), rooms.isEmpty() ? QString() : rooms.first());
    return 0;
}
