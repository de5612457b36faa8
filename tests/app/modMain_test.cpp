// Start-up: the locale's separator is read before the window exists; Main returns once the window is closed.
#include "FakeSeams.h"
#include "clsLocalInfo.h"
#include "modLangConstants.h"
#include "modMain.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

using namespace korvane;

class modMainTest : public QObject {
    Q_OBJECT

  private slots:
    void showsTheWindowUntilItCloses_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("longitude");
        const char* rows[][4] = {{"German user", "de_DE.UTF-8", ",", "8,68"},
                                 {"English user", "en_GB.UTF-8", ".", "8.68"},
                                 {"unreadable: numbers with a point", "xx_XX", "", "8.68"}};
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString(r[1]) << QString(r[2]) << QString(r[3]);
    }

    void showsTheWindowUntilItCloses() {
        QFETCH(QString, locale);
        QFETCH(QString, separator);
        QFETCH(QString, longitude);
        gLanguage = 0;
        gDecimalSeparator = std::string(1, '?'); // assigning "?" trips a false -Wrestrict in g++ 12
        ScopedLocaleSources sources(FixedLocaleSources({{"LANG", locale.toStdString()}}, {}));
        ui::test::FakeDesktop desktop;
        QString seenResult, seenLongitude;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->objectName() != QStringLiteral("frmMain") || !top->isVisible())
                    continue;
                seenResult = top->findChild<QLabel*>(QStringLiteral("lblResult"))->text();
                seenLongitude = top->findChild<QLineEdit*>(QStringLiteral("txtInput(5)"))->text();
                top->close();
            }
        });
        closer.start(10);
        Main(desktop.seams());
        QCOMPARE(seenResult, QStringLiteral("69%")); // the window was shown and calculated at start
        QCOMPARE(QString::fromStdString(gDecimalSeparator), separator);
        QCOMPARE(desktop.settings.Language(), std::optional<QString>("1"));
        QCOMPARE(seenLongitude, longitude);
        QVERIFY(desktop.messages.shown.empty());
    }
};

QTEST_MAIN(modMainTest)
#include "modMain_test.moc"
