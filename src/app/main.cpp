#include "frmAbout.h"
#include "modMain.h"

#include "UnfinishedFiles.h"

#include <QApplication>
#include <QCommandLineParser>

#include <algorithm>
#include <cstdio>

namespace {

// What QApplication takes from the command line itself (its documentation's list, X11's included).
bool HasOptionNotForQt(const QStringList& unknown) {
    static const QStringList qtOptions = {
        "platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger", "qwindowgeometry",
        "qwindowicon", "qwindowtitle", "reverse", "session", "display", "geometry", "style", "stylesheet",
        "widgetcount", "nograb", "dograb", "sync", "name", "title", "visual", "ncols", "cmap", "im",
        "inputstyle", "fn", "font", "bg", "background", "fg", "foreground", "btn", "button"};
    return std::any_of(unknown.begin(), unknown.end(), [](const QString& name) { return !qtOptions.contains(name); });
}

} // namespace

int main(int argc, char* argv[]) {
    korvane::EndCleanlyOnSignals();
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Estimates the lighting energy that a daylight-dependent control saves in one room."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Print the version and exit."));
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("room"), QStringLiteral("A room file (.kvroom) to open."),
                                 QStringLiteral("[room.kvroom]"));
    // -platform and Qt's other single-dash options are words, not bundles of letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    {
        // Help, the version and a mistyped option need no display, so they are answered before the window's
        // application exists (which aborts without one).
        QCoreApplication probe(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("korvane-energy"));
        if (!parser.parse(QCoreApplication::arguments()) && HasOptionNotForQt(parser.unknownOptionNames())) {
            fputs(qPrintable(QStringLiteral("korvane-energy: %1\nTry 'korvane-energy --help'.\n")
                                 .arg(parser.errorText())),
                  stderr);
            return 2;
        }
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
