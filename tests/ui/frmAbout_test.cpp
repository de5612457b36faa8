// The About dialog as the Help menu opens it, and its System Info button with programs of our own on PATH.

#include "FakeSeams.h"
#include "VbControls.h"
#include "frmAbout.h"
#include "frmMain.h"
#include "modLangConstants.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace korvane;
using namespace korvane::ui;

namespace {

struct Started {
    test::FakeDesktop desktop;
    frmMain window{desktop.seams()};

    Started() {
        window.Load();
        window.show();
    }
    void Menu(const char* array, int index) const {
        window.findChild<VbMenuItem*>(ElementName(QString::fromLatin1(array), index))->trigger();
    }
    // Runs `whileShown` on the dialog the Help menu opens; false when it never showed or the menu hung.
    bool ShowAbout(const std::function<void(frmAbout&)>& whileShown) const {
        bool ran = false;
        QObject context; // gone on return, so that the call cannot come after a dialog that never showed
        QTimer::singleShot(0, &context, [&] {
            QPointer<frmAbout> dialog;
            QTRY_VERIFY((dialog = qobject_cast<frmAbout*>(QApplication::activeModalWidget())) &&
                        dialog->isVisible());
            ran = true;
            whileShown(*dialog);
            if (dialog && dialog->isVisible()) // a failed check inside must not leave the dialog open
                dialog->done(0);
        });
        Menu("mnuHelpCmd", 0);
        return ran;
    }
};

template <class T> T* Child(QWidget& dialog, const char* name) {
    return dialog.findChild<T*>(QString::fromLatin1(name));
}

} // namespace

class frmAboutTest : public QObject {
    Q_OBJECT

    QByteArray path_ = qgetenv("PATH");

  private slots:
    void cleanup() {
        qputenv("PATH", path_);
        QTRY_VERIFY(gAboutDialog.isNull());
        QTRY_VERIFY(QApplication::topLevelWidgets().size() <= 1);
    }

    // German first, so that a dialog or texts kept from an earlier showing would still speak German. No way
    // of closing may press System Info, which with nothing on PATH would show its message.
    void textsAndClosing() {
        const struct {
            int language;
            const char *caption, *version, *closeBy;
        } rows[] = {
            {1, "Über KORVANE Energy", "Version 1.9.53", "Esc"}, // German: a blank after Version
            {1, "Über KORVANE Energy", "Version 1.9.53", "Enter in the text"},
            {2, "About KORVANE Energy", "Version1.9.53", "Enter"},                       // English: none
            {5, "IDfrmAboutCaptionKORVANE Energy", "IDfrmAboutlblVersion1.9.53", "OK"}}; // table's IDs
        qputenv("PATH", "/nonexistent");
        for (const auto& r : rows) {
            Started s;
            if (r.language != 1)
                s.Menu("mnuLangCmd", r.language);
            QPointer<frmAbout> seen;
            QVERIFY(s.ShowAbout([&](frmAbout& dialog) {
                seen = &dialog;
                QCOMPARE(gAboutDialog.data(), &dialog);
                QCOMPARE((QStringList{dialog.windowTitle(), Child<QLabel>(dialog, "lblVersion")->text(),
                                      Child<QLabel>(dialog, "lblTitle")->text(),
                                      Child<QLabel>(dialog, "lblDisclaimer")->text(),
                                      Child<QPushButton>(dialog, "cmdOK")->text(),
                                      Child<QPushButton>(dialog, "cmdSysInfo")->text()}),
                         (QStringList{r.caption, r.version, "KORVANE Energy", " ", "OK", "&System Info..."}));
                auto* description = Child<QPlainTextEdit>(dialog, "txtDescription");
                const auto entry = FindLangEntry((r.language - 1) * 1000 + 183);
                QCOMPARE(
                    description->toPlainText(),
                    DisplayText(QString::fromUtf8(entry->data(), static_cast<qsizetype>(entry->size()))));
                // Read-only; the disclaimer is longer than its box, which scrolls.
                QVERIFY(description->isReadOnly() && description->verticalScrollBar()->maximum() > 0);
                QVERIFY(!Child<QLabel>(dialog, "imgSymbol")->pixmap().isNull()); // the window's icon
                // Fixed in size, over the main window, which takes no input meanwhile.
                QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
                QVERIFY(
                    (dialog.frameGeometry().center() - s.window.frameGeometry().center()).manhattanLength() <=
                    4);
                QCOMPARE(QApplication::activeModalWidget(), &dialog);
                const QString closeBy = r.closeBy;
                if (closeBy == "OK")
                    QTest::mouseClick(Child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
                else
                    QTest::keyClick(closeBy == "Enter in the text" ? description
                                                                   : static_cast<QWidget*>(&dialog),
                                    closeBy == "Esc" ? Qt::Key_Escape : Qt::Key_Return);
                QVERIFY2(dialog.isHidden(), r.closeBy);
            }));
            QVERIFY(gAboutDialog.isNull());
            QTRY_VERIFY(seen.isNull());
            QVERIFY(s.desktop.messages.shown.empty());
        }
    }

    void systemInformation_data() {
        QTest::addColumn<QString>("programs"); // a trailing '*': cannot start; '-': not executable
        QTest::addColumn<QString>("started");
        const char* rows[][2] = {{"gnome-system-monitor hardinfo kinfocenter", "kinfocenter"},
                                 {"gnome-system-monitor hardinfo", "hardinfo"},
                                 {"gnome-system-monitor", "gnome-system-monitor"},
                                 {"hardinfo kinfocenter-", "hardinfo"},
                                 {"", ""},
                                 {"hardinfo kinfocenter*", ""}}; // the first found cannot start: none other
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString(r[0]) << QString(r[1]);
    }

    // Each program notes its start beside itself, then lasts while `hold` is there (ten seconds at most).
    void systemInformation() {
        QFETCH(QString, programs);
        QFETCH(QString, started);
        QTemporaryDir work;
        // Blanks and a dollar sign in the folder: a shell would split or expand the path.
        const QString bin = work.filePath(QStringLiteral("system tools $HOME"));
        const QString hold = work.filePath(QStringLiteral("hold"));
        QVERIFY(QDir().mkpath(bin));
        const QByteArray script =
            QStringLiteral("#!/bin/sh\nPATH=/usr/bin:/bin\n: > \"$0.ran\"\n"
                           "for i in $(seq 100); do [ -e '%1' ] || break; sleep 0.1; done\n")
                .arg(hold)
                .toUtf8();
        for (QString name : programs.split(' ', Qt::SkipEmptyParts)) {
            const QChar mark = name.back();
            if (!mark.isLetter())
                name.chop(1);
            QFile file(bin + '/' + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(mark == '*' ? QByteArray("\177ELF this is no program") : script);
            QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                                        (mark == '-' ? QFile::Permissions() : QFile::ExeOwner)));
        }
        qputenv("PATH", QFile::encodeName(bin));

        test::FakeDesktop desktop;
        QFile(hold).open(QIODevice::WriteOnly);
        QElapsedTimer clock;
        clock.start();
        frmAbout dialog(desktop.seams());
        QTest::mouseClick(Child<QPushButton>(dialog, "cmdSysInfo"), Qt::LeftButton);
        // The program runs on its own: the button does not wait for it to end.
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QFile::remove(hold);
        QTest::qWait(started.isEmpty() ? 300 : 0); // time for a start that must not come
        QTRY_COMPARE_WITH_TIMEOUT(QDir(bin).entryList({"*.ran"}),
                                  started.isEmpty() ? QStringList() : QStringList{started + ".ran"}, 10000);
        QCOMPARE(desktop.messages.shown.size(), size_t(started.isEmpty()));
        for (const test::ShownMessage& message : desktop.messages.shown) {
            QCOMPARE(message.title, QStringLiteral("KORVANE Energy"));
            QCOMPARE(message.text, QStringLiteral("System Information Is Unavailable At This Time"));
            QVERIFY(message.icon == QMessageBox::NoIcon && message.buttons == QMessageBox::Ok);
        }
    }
};

QTEST_MAIN(frmAboutTest)
#include "frmAbout_test.moc"
