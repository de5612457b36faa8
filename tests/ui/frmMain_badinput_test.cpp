// Input from outside the window: site files, good ones and those that are empty, junk, huge, in other
// encodings, folders or gone by the time they are read; the stored language, and settings that are garbage,
// folders, or in a folder that cannot be written. Each case checks what the user sees and what is kept.

#include "WindowHarness.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStringEncoder>
#include <QTemporaryDir>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

using namespace korvane;
using namespace korvane::ui;
using namespace korvane::ui::test;

namespace {

QByteArray Junk(int size) {
    QByteArray bytes;
    quint32 x = 7;
    for (int i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        bytes += static_cast<char>(x >> 24);
    }
    return bytes;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The site list, its selection and the three site fields.
QStringList SiteState(const Window& s) {
    QStringList state = s.Items(0) << QString::number(s.List(0)->ListIndex());
    for (const int field : {5, 6, 7})
        state << s.Field(field)->Text();
    return state;
}

// Root passes every permission bit; without these capabilities this thread meets them as any user does. A
// user without them keeps what it has.
class ScopedPermissionsApply {
  public:
#ifdef Q_OS_LINUX
    ScopedPermissionsApply() {
        header_.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            reduced[cap / 32].effective &= ~(1u << (cap % 32));
        active_ = syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~ScopedPermissionsApply() {
        if (active_)
            syscall(SYS_capset, &header_, saved_);
    }

  private:
    __user_cap_header_struct header_{};
    __user_cap_data_struct saved_[2]{};
    bool active_ = false;
#endif
};

// Where a site file or the settings file is: gone, a file, a folder in its place, a file in a folder that
// cannot be written, a file that cannot be written, in a folder that cannot be made, or no file chosen.
enum Place { Missing, File, Folder, FolderReadOnly, FileReadOnly, FolderUnderAFile, Cancelled };

} // namespace

class frmMainBadInputTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        gLanguage = 0;
        gDecimalSeparator = std::string(1, ',');
    }
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().size() <= 1); }

    void siteFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("place"); // Missing: gone between the dialog and the read
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QStringList>("sites"); // the names, the selection and the site fields; none: kept

        const auto failed = [](const char* number, const char* description) {
            return QStringLiteral("frmMain:OpenGeoFile;clsGeoFile:OpenGeoFile|Unhandled Error\r\n%1\r\n%2")
                .arg(number, description);
        };
        const QStringList wien{"Wien", "1", "16,37", "48,21", "1"};
        // The last site named Frankfurt is chosen, else the first.
        QTest::newRow("good")
            << QByteArray("* test sites\r\nFrankfurt am Main;8,68;50,11;1\r\nBerlin;13,4;52,52;1\r\n"
                          "FRANKFURT (ODER);14,55;52,35;1\r\nWien;16,37;48,21;1\r\n")
            << int(File) << QString()
            << QStringList{
                   "Frankfurt am Main", "Berlin", "FRANKFURT (ODER)", "Wien", "3", "14,55", "52,35", "1"};
        QTest::newRow("cancelled") << QByteArray() << int(Cancelled) << QString() << QStringList();
        QTest::newRow("empty") << QByteArray() << int(File) << failed("9", "Subscript out of range")
                               << QStringList();
        QTest::newRow("binary junk") << Junk(4096) << int(File) << failed("13", "Type mismatch")
                                     << QStringList();
        QTest::newRow("NUL bytes only")
            << QByteArray(64, '\0') << int(File) << failed("13", "Type mismatch") << QStringList();
        QTest::newRow("NUL in a number") << QByteArray("Wien;16\0,37;48,21;1\r\n", 21) << int(File)
                                         << failed("13", "Type mismatch") << QStringList();
        QTest::newRow("NUL in a name") << QByteArray("Wi\0en;16,37;48,21;1\r\n", 21) << int(File) << QString()
                                       << QStringList{QStringLiteral("Wi") + QChar(0) + "en"} + wien.mid(1);
        QTest::newRow("one line of 1 MB") << "Wien;16,37;48,21;1;" + QByteArray(1 << 20, 'x') << int(File)
                                          << failed("6", "Overflow") << QStringList();
        QTest::newRow("one comment of 1 MB") << "*" + QByteArray(1 << 20, 'x') + "\r\nWien;16,37;48,21;1\r\n"
                                             << int(File) << QString() << wien;
        QTest::newRow("40 000 lines") << QByteArray("Wien;16,37;48,21;1\r\n").repeated(40000) << int(File)
                                      << failed("6", "Overflow") << QStringList();
        QTest::newRow("invalid UTF-8: Windows-1252 names")
            << QByteArray("M\xFCnchen;11,58;48,14;1\r\nK\xC3\xB6ln;6,96;50,94;1\r\n") << int(File)
            << QString()
            << QStringList{QStringLiteral("München"), QStringLiteral("KÃ¶ln"), "1", "11,58", "48,14", "1"};
        QTest::newRow("invalid UTF-8 in a number") << QByteArray("Wien;16,37;48,21\xC3;1\r\n") << int(File)
                                                   << failed("13", "Type mismatch") << QStringList();
        QTest::newRow("UTF-16") << QByteArray(QStringEncoder(QStringConverter::Utf16LE,
                                                             QStringConverter::Flag::WriteBom)(
                                       QStringLiteral("Wien;16,37;48,21;1\r\n")))
                                << int(File) << failed("13", "Type mismatch") << QStringList();
        QTest::newRow("a folder") << QByteArray() << int(Folder) << failed("75", "Path/File access error")
                                  << QStringList();
        QTest::newRow("gone after the dialog")
            << QByteArray() << int(Missing) << kAppTitle + '|' + Lang(1, 180) << QStringList();
    }

    void siteFiles() {
        QFETCH(QByteArray, content);
        QFETCH(int, place);
        QFETCH(QString, shown);
        QFETCH(QStringList, sites);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sites.geo"));
        if (place == File)
            Write(path, content);
        else if (place == Folder)
            QVERIFY(QDir().mkpath(path));
        Window s;
        s.desktop.files.nextFileName = place == Cancelled ? QString() : path;
        s.List(0)->SetListIndex(s.List(0)->findText(QStringLiteral("Berlin")));
        const QStringList before = SiteState(s);

        s.Key('O');
        QCOMPARE(s.desktop.files.titles, QStringList{Lang(1, 179)});
        QCOMPARE(s.desktop.files.filters, QStringList{"Geo. Dateien (*.geo)"});
        QCOMPARE(s.Shown(), shown.isEmpty() ? QStringList() : QStringList{shown});
        for (const auto& m : s.Messages())
            QCOMPARE(m.icon, QMessageBox::Warning);
        QCOMPARE(SiteState(s), sites.isEmpty() ? before : QStringList{Lang(1, 177)} + sites);
    }

    // The configuration file's bytes where it is, a language chosen by Ctrl+key before closing the window by
    // its menu or its frame, and what the user sees and what is stored then.
    void settings_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("place");
        QTest::addColumn<int>("chosen"); // 0 for none
        QTest::addColumn<bool>("byMenu");
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("startTitles");
        QTest::addColumn<QString>("firstText");
        QTest::addColumn<QStringList>("closeTitles");
        QTest::addColumn<QString>("storedAfter"); // the language read back after closing, empty for none

        const QStringList none;
        // Without a language the start texts stay and the first run cannot name its message 146.
        const QStringList noTexts{"frmMain:LoadLanguage", "frmMain:CalculateData"};
        const QStringList unusable = QStringList{"frmMain:LoadSettings"} + noTexts;
        const QStringList saveFailed{"frmMain:SaveSettings"};
        const QByteArray english("[Settings]\nLanguage=2\n");
        const QString e = QStringLiteral("Unhandled Error\r\n");
        QTest::newRow("first run") << QByteArray() << int(Missing) << 0 << false << 1 << none << QString()
                                   << none << "1";
        QTest::newRow("English, French chosen, closed by the menu")
            << english << int(File) << 3 << true << 2 << none << QString() << none << "3";
        QTest::newRow("leading blank, Dutch chosen")
            << QByteArray("[Settings]\nLanguage=\" 3\"\n") << int(File) << 5 << false << 3 << none
            << QString() << none << "5";
        QTest::newRow("zero, English chosen")
            << QByteArray("[Settings]\nLanguage=0\n") << int(File) << 2 << false << 0 << unusable
            << e + "340\r\nControl array element '0' doesn't exist" << none << "2";
        QTest::newRow("seven, English chosen, closed by the menu")
            << QByteArray("[Settings]\nLanguage=7\n") << int(File) << 2 << true << 0 << unusable
            << e + "340\r\nControl array element '7' doesn't exist" << none << "2";
        QTest::newRow("garbage") << Junk(300) << int(File) << 0 << false << 1 << none << QString() << none
                                 << "1";
        QTest::newRow("a line of NUL bytes after a good language")
            << QByteArray("[Settings]\nLanguage=2\n\0\0\0\n", 26) << int(File) << 0 << false << 2 << none
            << QString() << none << "2";
        QTest::newRow("broken section line") << QByteArray("[Settings\nLanguage=2\n") << int(File) << 0
                                             << false << 2 << none << QString() << none << "2";
        QTest::newRow("UTF-16") << QByteArray("\xFF\xFE[\0S\0]\0\n\0", 10) << int(File) << 0 << false << 1
                                << none << QString() << none << "1";
        QTest::newRow("language not a number")
            << QByteArray("[Settings]\nLanguage=zwei\n") << int(File) << 0 << false << 0 << noTexts
            << e + "326\r\nResource with identifier '-900' not found" << none << "0";
        QTest::newRow("language beyond 16 bits")
            << QByteArray("[Settings]\nLanguage=99999999999\n") << int(File) << 0 << false << 0 << unusable
            << e + "6\r\nOverflow" << none << "0";
        QTest::newRow("configuration file is a folder")
            << QByteArray() << int(Folder) << 3 << false << 0 << unusable
            << e + "75\r\nPath/File access error" << saveFailed << QString();
        QTest::newRow("folder cannot be written, French chosen")
            << english << int(FolderReadOnly) << 3 << false << 2 << none << QString() << saveFailed << "2";
        QTest::newRow("file cannot be written, French chosen")
            << english << int(FileReadOnly) << 3 << false << 2 << none << QString() << saveFailed << "2";
        QTest::newRow("folder cannot be created") << QByteArray() << int(FolderUnderAFile) << 0 << false << 1
                                                  << none << QString() << saveFailed << QString();
    }

    void settings() {
        QFETCH(QByteArray, stored);
        QFETCH(int, place);
        QFETCH(int, chosen);
        QFETCH(bool, byMenu);
        QFETCH(int, language);
        QFETCH(QStringList, startTitles);
        QFETCH(QString, firstText);
        QFETCH(QStringList, closeTitles);
        QFETCH(QString, storedAfter);

        QTemporaryDir home;
        const QString folder = home.filePath(place == FolderUnderAFile ? "file/config" : "config");
        const QString file = folder + QStringLiteral("/KORVANE Energy.conf");
        if (place == FolderUnderAFile)
            Write(home.filePath("file"), "not a folder");
        else
            QVERIFY(QDir().mkpath(place == Folder ? file : folder));
        if (place == File || place == FolderReadOnly || place == FileReadOnly)
            Write(file, stored);
        if (place == FileReadOnly)
            QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        if (place == FolderReadOnly)
            QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);

        {
            const ScopedPermissionsApply permissions;
            QtSettingsStore store;
            Window s(std::nullopt, QString(), &store);
            QCOMPARE(gLanguage, int16_t(language));
            QCOMPARE(s.CheckedLanguage(), language);
            QCOMPARE(s.Titles(), startTitles);
            if (!firstText.isEmpty())
                QCOMPARE(s.Messages().front().text, firstText);
            // Without a language the start texts stay and the sites are read all the same.
            QCOMPARE(s.Calculate(), Lang(language == 0 ? 1 : language, 159));
            QCOMPARE(s.List(0)->currentText(), QStringLiteral("Frankfurt am Main"));
            if (language != 0)
                QCOMPARE(s.Result(), QStringLiteral("69%"));
            if (chosen != 0) { // choosing a language repairs the window
                s.Key(kLanguageKeys[chosen - 1]);
                QCOMPARE(s.Calculate(), Lang(chosen, 159));
                QCOMPARE(s.List(1)->ListCount(), 13);
            }
            // The language is stored on closing only.
            QCOMPARE(ReadAll(file), place == Folder || place == FolderUnderAFile ? QByteArray() : stored);
            s.Messages().clear();
            if (byMenu)
                s.Find<QAction>("mnuFileCmd(1)")->trigger();
            else
                QVERIFY(s.window->close());
            QVERIFY(!s.window->isVisible());
            QCOMPARE(s.Titles(), closeTitles);
            for (const auto& shown : s.Messages())
                QCOMPARE(shown.text, QStringLiteral("Unhandled Error\r\n75\r\nPath/File access error"));
        }

        QFile::setPermissions(folder,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(QFileInfo(file).isDir(), place == Folder);
        // Read as plain text: a QSettings on the same file would still hold the change that failed, and write
        // it.
        const QByteArray text = ReadAll(file);
        QCOMPARE(QRegularExpression("Language=(\\S*)").match(QString::fromLatin1(text)).captured(1),
                 storedAfter);
        if (place == FolderReadOnly || place == FileReadOnly)
            QCOMPARE(text, stored);
    }
};

QTEST_MAIN(frmMainBadInputTest)
#include "frmMain_badinput_test.moc"
