// The About dialog as the Help menu opens it: its texts in the current language, how it closes, that it is
// built anew for each showing, and the System Info button with programs of our own on PATH.

#include "FakeSeams.h"
#include "VbControls.h"
#include "clsLocalInfo.h"
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
#include <memory>

using namespace korvane;
using namespace korvane::ui;

namespace {

struct Started {
    test::FakeDesktop desktop;
    std::unique_ptr<frmMain> window;

    explicit Started(int language = 1) {
        desktop.settings.SetLanguage(QString::number(language));
        window = std::make_unique<frmMain>(desktop.seams());
        window->Load();
        window->show();
    }
    void Menu(const char* array, int index) const {
        window->findChild<VbMenuItem*>(ElementName(QString::fromLatin1(array), index))->trigger();
    }
    // Opens the About dialog from the Help menu; `whileShown` runs once it is on screen and must close it.
    // False when the dialog never showed or the menu command did not return.
    bool ShowAbout(const std::function<void(frmAbout&)>& whileShown) const {
        bool ran = false;
        QTimer opened; // stopped on return, so that it cannot fire after a dialog that never showed
        opened.setSingleShot(true);
        QObject::connect(&opened, &QTimer::timeout, [&] {
            QTRY_VERIFY(qobject_cast<frmAbout*>(QApplication::activeModalWidget()) != nullptr);
            QPointer<frmAbout> dialog = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
            QTRY_VERIFY(dialog->isVisible());
            ran = true;
            whileShown(*dialog);
            if (dialog && dialog->isVisible()) // a failed check inside must not leave the dialog open
                dialog->done(0);
        });
        opened.start(0);
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

  private slots:
    void init();
    void cleanup();
    void texts_data();
    void texts();
    void closing_data();
    void closing();
    void systemInformation_data();
    void systemInformation();

  private:
    QByteArray path_;
};

void frmAboutTest::init() {
    gLanguage = 0;
    gDecimalSeparator = std::string(1, ',');
    path_ = qgetenv("PATH");
}

void frmAboutTest::cleanup() {
    qputenv("PATH", path_);
    QTRY_VERIFY(gAboutDialog.isNull());
    QTRY_VERIFY(QApplication::topLevelWidgets().size() <= 1);
}

void frmAboutTest::texts_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("version");
    QTest::newRow("German: a blank after Version") << 1 << "Über KORVANE Energy"
                                                   << "Version 1.9.53";
    QTest::newRow("English: none") << 2 << "About KORVANE Energy"
                                   << "Version1.9.53";
    QTest::newRow("Dutch: the table's placeholders") << 5 << "IDfrmAboutCaptionKORVANE Energy"
                                                     << "IDfrmAboutlblVersion1.9.53";
}

// Started in German; for another language the dialog is shown once before the switch, so a dialog kept from
// that showing would still speak German: it is built anew in the current language.
void frmAboutTest::texts() {
    QFETCH(int, language);
    QFETCH(QString, caption);
    QFETCH(QString, version);
    Started s(1);
    if (language != 1) {
        QPointer<frmAbout> first;
        QVERIFY(s.ShowAbout([&](frmAbout& dialog) {
            first = &dialog;
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Über KORVANE Energy"));
            dialog.close();
        }));
        QTRY_VERIFY(first.isNull());
        s.Menu("mnuLangCmd", language);
    }
    const bool shown = s.ShowAbout([&](frmAbout& dialog) {
        QCOMPARE(dialog.windowTitle(), caption);
        QCOMPARE(Child<QLabel>(dialog, "lblVersion")->text(), version);
        QCOMPARE(Child<QLabel>(dialog, "lblTitle")->text(), QStringLiteral("KORVANE Energy"));
        auto* description = Child<QPlainTextEdit>(dialog, "txtDescription");
        const auto entry = FindLangEntry((language - 1) * 1000 + 183);
        QCOMPARE(description->toPlainText(),
                 DisplayText(QString::fromUtf8(entry->data(), static_cast<qsizetype>(entry->size()))));
        // Read-only; the disclaimer is longer than its box, which scrolls.
        QVERIFY(description->isReadOnly() && description->verticalScrollBar()->maximum() > 0);
        QCOMPARE(Child<QLabel>(dialog, "lblDisclaimer")->text(), QStringLiteral(" "));
        QCOMPARE(Child<QPushButton>(dialog, "cmdOK")->text(), QStringLiteral("OK"));
        QCOMPARE(Child<QPushButton>(dialog, "cmdSysInfo")->text(), QStringLiteral("&System Info..."));
        QVERIFY(!Child<QLabel>(dialog, "imgSymbol")->pixmap().isNull()); // the window's icon
        // Fixed in size, over the main window, which takes no input meanwhile.
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QVERIFY((dialog.frameGeometry().center() - s.window->frameGeometry().center()).manhattanLength() <=
                4);
        QCOMPARE(QApplication::activeModalWidget(), &dialog);
        dialog.close();
    });
    QVERIFY(shown);
}

void frmAboutTest::closing_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Esc") << "esc";
    QTest::newRow("Enter") << "enter";
    QTest::newRow("Enter in the disclaimer box") << "enter in text";
    QTest::newRow("OK clicked") << "click";
}

void frmAboutTest::closing() {
    QFETCH(QString, how);
    Started s;
    // With nothing on PATH the System Info button would show its message.
    qputenv("PATH", "/nonexistent");
    QPointer<frmAbout> seen;
    const bool shown = s.ShowAbout([&](frmAbout& dialog) {
        seen = &dialog;
        QCOMPARE(gAboutDialog.data(), &dialog);
        QWidget* target = &dialog;
        if (how == QStringLiteral("enter in text")) {
            target = Child<QWidget>(dialog, "txtDescription");
            target->setFocus();
        }
        if (how == QStringLiteral("esc"))
            QTest::keyClick(target, Qt::Key_Escape);
        else if (how.startsWith(QStringLiteral("enter")))
            QTest::keyClick(target, Qt::Key_Return);
        else
            QTest::mouseClick(Child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
    });
    QVERIFY(shown);
    QVERIFY(gAboutDialog.isNull());
    QTRY_VERIFY(seen.isNull());
    QVERIFY(s.desktop.messages.shown.empty());
}

void frmAboutTest::systemInformation_data() {
    QTest::addColumn<QStringList>("programs"); // a trailing '*': cannot start; '-': not executable
    QTest::addColumn<QString>("started");
    QTest::newRow("all three: the first")
        << QStringList{"gnome-system-monitor", "hardinfo", "kinfocenter"} << "kinfocenter";
    QTest::newRow("hardinfo before gnome-system-monitor")
        << QStringList{"gnome-system-monitor", "hardinfo"} << "hardinfo";
    QTest::newRow("the last") << QStringList{"gnome-system-monitor"} << "gnome-system-monitor";
    QTest::newRow("a file without execute rights is no program")
        << QStringList{"hardinfo", "kinfocenter-"} << "hardinfo";
    QTest::newRow("none") << QStringList{} << "";
    QTest::newRow("the first found cannot start: no other is tried")
        << QStringList{"hardinfo", "kinfocenter*"} << "";
}

void frmAboutTest::systemInformation() {
    QFETCH(QStringList, programs);
    QFETCH(QString, started);

    QTemporaryDir work;
    // Blanks and a dollar sign in the folder: a shell would split or expand the path.
    const QString bin = work.filePath(QStringLiteral("system tools $HOME"));
    QVERIFY(QDir().mkpath(bin));
    const QString marker = work.filePath(QStringLiteral("started"));
    const QString release = work.filePath(QStringLiteral("release"));
    for (QString name : programs) {
        // A program of our own: when started it writes its path into `marker` and waits for `release` (ten
        // seconds at most), so a caller that waited for it would be slow.
        const QChar mark = name.back().isLetter() ? QChar() : name.back();
        name.remove(QRegularExpression(QStringLiteral("[-*]$")));
        QFile file(bin + '/' + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            mark == '*'
                ? QByteArray("\x7f"
                             "ELF this is no program")
                : QStringLiteral("#!/bin/sh\necho \"$0\" > '%1'\ni=0\n"
                                 "while [ ! -e '%2' ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i+1)); done\n")
                      .arg(marker, release)
                      .toUtf8());
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner |
                                    (mark == '-' ? QFile::Permissions() : QFile::ExeOwner)));
    }
    qputenv("PATH", QFile::encodeName(bin));

    test::FakeDesktop desktop;
    auto* dialog = new frmAbout(desktop.seams());
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(Child<QPushButton>(*dialog, "cmdSysInfo"), Qt::LeftButton);
    const qint64 elapsed = clock.elapsed();
    QFile(release).open(QIODevice::WriteOnly);
    delete dialog;

    // The program runs on its own: the button does not wait for it to end.
    QVERIFY2(elapsed < 5000, qPrintable(QString::number(elapsed)));
    if (started.isEmpty()) {
        QCOMPARE(desktop.messages.shown.size(), size_t(1));
        const test::ShownMessage& message = desktop.messages.shown[0];
        QCOMPARE(message.title, QStringLiteral("KORVANE Energy"));
        QCOMPARE(message.text, QStringLiteral("System Information Is Unavailable At This Time"));
        QCOMPARE(message.icon, QMessageBox::NoIcon);
        QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QTest::qWait(300);
        QVERIFY(!QFile::exists(marker));
    } else {
        QVERIFY(desktop.messages.shown.empty());
        const auto read = [&] {
            QFile file(marker);
            return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
        };
        QTRY_COMPARE_WITH_TIMEOUT(read(), bin + '/' + started, 10000);
    }
}

QTEST_MAIN(frmAboutTest)
#include "frmAbout_test.moc"
