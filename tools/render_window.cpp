// Writes the main window as PNG files, for looking at it: every tab in every language; with them the
// monthly overview as PNG and the report as PDF.
//   render_window [folder [font family [point size]]]   (default /tmp/korvane-window, the window's own font)
// Runs on any Qt platform; QT_QPA_PLATFORM=offscreen needs no display. Message boxes are not shown but
// listed on standard error.

#include "../tests/ui/FakeSeams.h"
#include "../tests/ui/LayoutCheck.h"
#include "clsLocalInfo.h"
#include "frmMain.h"
#include "modLangConstants.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/korvane-window");
    if (!QDir().mkpath(folder)) {
        QTextStream(stderr) << "cannot create " << folder << '\n';
        return 1;
    }

    korvane::clsLocalInfo localInfo;
    int32_t userLocale = 1;
    localInfo.SelectLocale(userLocale);
    korvane::gDecimalSeparator = localInfo.DecimalSeparator();

    QTextStream err(stderr);
    for (int language = 1; language <= 6; ++language) {
        korvane::gLanguage = 0;
        korvane::ui::test::FakeDesktop desktop;
        desktop.settings.SetLanguage(QString::number(language));
        korvane::ui::frmMain window(desktop.seams());
        if (argc > 2) {
            QFont face = window.font();
            face.setFamilies({QString::fromLocal8Bit(argv[2])});
            if (argc > 3)
                face.setPointSizeF(QString::fromLocal8Bit(argv[3]).toDouble());
            window.setFont(face);
        }
        window.Load();
        window.show();
        auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("tabWindowTyp"));
        for (int tab = 1; tab <= 3; ++tab) {
            tabs->setCurrentIndex(tab - 1);
            QApplication::processEvents();
            const QString file =
                QStringLiteral("%1/window-lang%2-tab%3.png").arg(folder).arg(language).arg(tab);
            if (!window.grab().save(file)) {
                err << "cannot write " << file << '\n';
                return 1;
            }
            err << file << '\n';
        }
        window.findChild<QAction*>(QStringLiteral("mnuMonthlyOverview"))->trigger();
        if (auto* overview = window.findChild<QWidget*>(QStringLiteral("frmOverview"))) {
            QApplication::processEvents();
            overview->grab().save(QStringLiteral("%1/overview-lang%2.png").arg(folder).arg(language));
            overview->close();
        }
        desktop.files.nextSaveName = QStringLiteral("%1/report-lang%2.pdf").arg(folder).arg(language);
        window.findChild<QAction*>(QStringLiteral("mnuExportReport"))->trigger();
        for (const QString& text : korvane::ui::test::ClippedTexts(window))
            err << "clipped in language " << language << ": " << text << '\n';
        for (const auto& shown : desktop.messages.shown)
            err << "message: " << shown.title << ": " << shown.text << '\n';
        window.close();
    }
    return 0;
}
