// The About dialog as the Help menu opens it, and its System Info button with programs of our own on PATH.

#include "WindowHarness.h"
#include "frmAbout.h"

#include <QPlainTextEdit>
#include <QScrollBar>

using namespace korvane;
using namespace korvane::ui;

class frmAboutTest : public QObject {
    Q_OBJECT

  private slots:
    // German first, so that texts kept from an earlier showing would show; no key may press System Info.
    void textsAndClosing() {
        const struct {
            int language;
            const char *caption, *version;
            int key; // Enter from the keypad in the disclaimer box, others on the dialog; none: OK clicked
        } rows[] = {{1, "Über KORVANE Energy", "Version 1.9.53", Qt::Key_Escape}, // a blank after Version
                    {1, "Über KORVANE Energy", "Version 1.9.53", Qt::Key_Enter},
                    {2, "About KORVANE Energy", "Version1.9.53", Qt::Key_Return},
                    {5, "IDfrmAboutCaptionKORVANE Energy", "IDfrmAboutlblVersion1.9.53", 0}}; // table's IDs
        qputenv("PATH", "/nonexistent");
        for (const auto& r : rows) {
            test::Window w;
            w.Menu(ElementName("mnuLangCmd", r.language));
            QPointer<frmAbout> seen;
            bool shown = false;
            // Gone with the window, so no call comes after the row.
            QTimer::singleShot(0, w.window.get(), [&] {
                QTRY_VERIFY((seen = qobject_cast<frmAbout*>(QApplication::activeModalWidget())) &&
                            seen->isVisible());
                shown = true;
                frmAbout& dialog = *seen;
                const auto closeAfterFailure =
                    qScopeGuard([&] { seen && seen->isVisible() ? seen->done(0) : void(); });
                QCOMPARE(gAboutDialog.data(), &dialog);
                QStringList texts{dialog.windowTitle()};
                for (const char* name : {"lblVersion", "lblTitle", "lblDisclaimer", "cmdOK", "cmdSysInfo"})
                    texts << dialog.findChild<QWidget*>(name)->property("text").toString();
                QCOMPARE(texts,
                         (QStringList{r.caption, r.version, "KORVANE Energy", " ", "OK", "&System Info..."}));
                auto* description = dialog.findChild<QPlainTextEdit*>("txtDescription");
                QCOMPARE(description->toPlainText(), DisplayText(test::Lang(r.language, 183)));
                QVERIFY(description->isReadOnly() && description->verticalScrollBar()->maximum() > 0);
                QVERIFY(!dialog.findChild<QLabel*>("imgSymbol")->pixmap().isNull()); // the window's icon
                // Modal, fixed in size, over the main window.
                QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
                const QPoint offCentre = dialog.frameGeometry().center() - w.window->frameGeometry().center();
                QVERIFY(offCentre.manhattanLength() <= 4);
                r.key == 0
                    ? QTest::mouseClick(dialog.findChild<QPushButton*>("cmdOK"), Qt::LeftButton)
                    : QTest::keyClick(r.key == Qt::Key_Enter ? description : static_cast<QWidget*>(&dialog),
                                      Qt::Key(r.key));
                QVERIFY(dialog.isHidden());
            });
            w.Menu("mnuHelpCmd(0)");
            QVERIFY(shown);
            QVERIFY(gAboutDialog.isNull());
            QTRY_VERIFY(seen.isNull());
            QVERIFY(w.Messages().empty());
        }
    }

    // Each program notes its start beside itself, then lasts while its folder is there (ten seconds at most).
    void systemInformation() {
        const char* rows[][2] = {{"gnome-system-monitor hardinfo kinfocenter", "kinfocenter"},
                                 {"gnome-system-monitor hardinfo", "hardinfo"},
                                 {"gnome-system-monitor", "gnome-system-monitor"},
                                 {"hardinfo kinfocenter-", "hardinfo"}, // '-': not executable
                                 {"", ""},
                                 {"hardinfo kinfocenter*", ""}}; // '*': cannot start, and no other is tried
        for (const auto& r : rows) {
            QTemporaryDir work;
            // Blanks and a dollar sign in the folder: a shell would split or expand the path.
            const QString bin = work.filePath(QStringLiteral("system tools $HOME"));
            QVERIFY(QDir().mkpath(bin));
            const QByteArray script =
                QStringLiteral("#!/bin/sh\nPATH=/usr/bin:/bin\n: > \"$0.ran\"\n"
                               "for i in $(seq 100); do [ -d '%1' ] || break; sleep 0.1; done\n")
                    .arg(work.path())
                    .toUtf8();
            for (QString name : QString(r[0]).split(' ', Qt::SkipEmptyParts)) {
                const QChar mark = name.back();
                name.chop(mark.isLetter() ? 0 : 1);
                QVERIFY(test::Write(bin + '/' + name,
                                    mark == '*' ? QByteArray("\177ELF this is no program") : script));
                QVERIFY(QFile::setPermissions(bin + '/' + name,
                                              QFile::ReadOwner | QFile::WriteOwner |
                                                  (mark == '-' ? QFile::Permissions() : QFile::ExeOwner)));
            }
            qputenv("PATH", QFile::encodeName(bin));

            test::FakeDesktop desktop;
            QElapsedTimer clock;
            clock.start();
            frmAbout dialog(desktop.seams());
            QTest::mouseClick(dialog.findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
            QVERIFY2(clock.elapsed() < 5000, r[0]); // the button does not wait for the program to end
            const QStringList started = *r[1] ? QStringList{QString(r[1]) + ".ran"} : QStringList();
            QTRY_COMPARE_WITH_TIMEOUT(QDir(bin).entryList({"*.ran"}), started, 10000);
            QCOMPARE(desktop.messages.shown.size(), size_t(started.isEmpty()));
            for (const test::ShownMessage& message : desktop.messages.shown) {
                QCOMPARE(message.title, QStringLiteral("KORVANE Energy"));
                QCOMPARE(message.text, QStringLiteral("System Information Is Unavailable At This Time"));
                QVERIFY(message.icon == QMessageBox::NoIcon && message.buttons == QMessageBox::Ok);
            }
        }
    }
};

QTEST_MAIN(frmAboutTest)
#include "frmAbout_test.moc"
