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

QString Lang(int language, int baseId) {
    const auto entry = FindLangEntry((language - 1) * 1000 + baseId);
    return QString::fromUtf8(entry->data(), static_cast<qsizetype>(entry->size()));
}

const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");

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
        QTimer opened;
        opened.setSingleShot(true);
        QObject::connect(&opened, &QTimer::timeout, [&] {
            QTRY_VERIFY(qobject_cast<frmAbout*>(QApplication::activeModalWidget()) != nullptr);
            QPointer<frmAbout> dialog = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
            QTRY_VERIFY(dialog->isVisible());
            ran = true;
            whileShown(*dialog);
            // A failed check inside must not leave the test waiting on an open dialog.
            if (dialog && dialog->isVisible())
                dialog->done(0);
        });
        opened.start(0);
        Menu("mnuHelpCmd", 0);
        opened.stop();
        return ran;
    }
};

template <class T> T* Child(QWidget& dialog, const char* name) {
    return dialog.findChild<T*>(QString::fromLatin1(name));
}

// A program of our own under a system information program's name. When started it writes its path into
// `marker` and waits for `release` (ten seconds at most), so a caller that waited for it would be slow.
void WriteProgram(const QString& folder, const QString& name, const QString& marker, const QString& release) {
    QFile file(folder + '/' + name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("#!/bin/sh\n"
                              "echo \"$0\" > '%1'\n"
                              "i=0\n"
                              "while [ ! -e '%2' ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i+1)); done\n")
                   .arg(marker, release)
                   .toUtf8());
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

QString ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
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
    void builtAnewInTheCurrentLanguage();
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
    QTest::newRow("Italian") << 4 << "Info KORVANE Energy"
                             << "Versione1.9.53";
}

void frmAboutTest::texts() {
    QFETCH(int, language);
    QFETCH(QString, caption);
    QFETCH(QString, version);
    Started s(language);
    const bool shown = s.ShowAbout([&](frmAbout& dialog) {
        QCOMPARE(dialog.windowTitle(), caption);
        QCOMPARE(Child<QLabel>(dialog, "lblVersion")->text(), version);
        QCOMPARE(Child<QLabel>(dialog, "lblTitle")->text(), QStringLiteral("KORVANE Energy"));
        auto* description = Child<QPlainTextEdit>(dialog, "txtDescription");
        QCOMPARE(description->toPlainText(), DisplayText(Lang(language, 183)));
        QVERIFY(description->isReadOnly());
        // The disclaimer is longer than its box, which scrolls.
        QVERIFY(description->verticalScrollBar()->maximum() > 0);
        QCOMPARE(Child<QLabel>(dialog, "lblDisclaimer")->text(), QStringLiteral(" "));
        QCOMPARE(Child<QPushButton>(dialog, "cmdOK")->text(), QStringLiteral("OK"));
        QCOMPARE(Child<QPushButton>(dialog, "cmdSysInfo")->text(), QStringLiteral("&System Info..."));
        // The window's icon, drawn into the picture.
        QVERIFY(!Child<QLabel>(dialog, "imgSymbol")->pixmap().isNull());
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
    QTest::newRow("close box") << "close";
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
        else if (how == QStringLiteral("click"))
            QTest::mouseClick(Child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
        else
            dialog.close();
    });
    QVERIFY(shown);
    QVERIFY(gAboutDialog.isNull());
    QTRY_VERIFY(seen.isNull());
    QVERIFY(s.desktop.messages.shown.empty());
}

void frmAboutTest::builtAnewInTheCurrentLanguage() {
    Started s(1);
    QPointer<frmAbout> first;
    QString firstCaption;
    QVERIFY(s.ShowAbout([&](frmAbout& dialog) {
        first = &dialog;
        firstCaption = dialog.windowTitle();
        dialog.close();
    }));
    QTRY_VERIFY(first.isNull());
    s.Menu("mnuLangCmd", 2);
    QString secondCaption;
    QVERIFY(s.ShowAbout([&](frmAbout& dialog) {
        secondCaption = dialog.windowTitle();
        dialog.close();
    }));
    QCOMPARE(firstCaption, QStringLiteral("Über KORVANE Energy"));
    QCOMPARE(secondCaption, QStringLiteral("About KORVANE Energy"));
}

void frmAboutTest::systemInformation_data() {
    QTest::addColumn<QStringList>("programs");
    QTest::addColumn<QStringList>("cannotStart");
    QTest::addColumn<QStringList>("notExecutable");
    QTest::addColumn<QString>("started");
    QTest::newRow("all three: the first") << QStringList{"gnome-system-monitor", "hardinfo", "kinfocenter"}
                                          << QStringList{} << QStringList{} << "kinfocenter";
    QTest::newRow("hardinfo before gnome-system-monitor")
        << QStringList{"gnome-system-monitor", "hardinfo"} << QStringList{} << QStringList{} << "hardinfo";
    QTest::newRow("the last") << QStringList{"gnome-system-monitor"} << QStringList{} << QStringList{}
                              << "gnome-system-monitor";
    QTest::newRow("a file without execute rights is no program")
        << QStringList{"hardinfo"} << QStringList{} << QStringList{"kinfocenter"} << "hardinfo";
    QTest::newRow("none") << QStringList{} << QStringList{} << QStringList{} << "";
    QTest::newRow("the first found cannot start: no other is tried")
        << QStringList{"hardinfo"} << QStringList{"kinfocenter"} << QStringList{} << "";
}

void frmAboutTest::systemInformation() {
    QFETCH(QStringList, programs);
    QFETCH(QStringList, cannotStart);
    QFETCH(QStringList, notExecutable);
    QFETCH(QString, started);

    QTemporaryDir work;
    // Blanks and a dollar sign in the folder: a shell would split or expand the path.
    const QString bin = work.filePath(QStringLiteral("system tools $HOME"));
    QVERIFY(QDir().mkpath(bin));
    const QString marker = work.filePath(QStringLiteral("started"));
    const QString release = work.filePath(QStringLiteral("release"));
    for (const QString& name : programs)
        WriteProgram(bin, name, marker, release);
    for (const QString& name : cannotStart) {
        QFile file(bin + '/' + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\x7f"
                   "ELF this is no program");
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    for (const QString& name : notExecutable)
        WriteProgram(bin, name, marker, release);
    for (const QString& name : notExecutable)
        QVERIFY(QFile::setPermissions(bin + '/' + name, QFile::ReadOwner | QFile::WriteOwner));
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
        QCOMPARE(message.text, kUnavailable);
        QCOMPARE(message.icon, QMessageBox::NoIcon);
        QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QTest::qWait(300);
        QVERIFY(!QFile::exists(marker));
    } else {
        QVERIFY(desktop.messages.shown.empty());
        QTRY_COMPARE_WITH_TIMEOUT(ReadText(marker), bin + '/' + started, 10000);
    }
}

QTEST_MAIN(frmAboutTest)
#include "frmAbout_test.moc"
