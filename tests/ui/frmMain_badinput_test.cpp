// Input from outside the window: site files, good ones and those that are empty, junk, huge, in other
// encodings, folders or gone by the time they are read; the stored language, and settings that are garbage,
// folders, or in a folder that cannot be written. Each case checks what the user sees and what is kept.

#include "WindowHarness.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <tuple>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

using namespace korvane;
using namespace korvane::ui;
using namespace korvane::ui::test;

namespace {

const QString e75 = QStringLiteral("Unhandled Error\r\n75\r\nPath/File access error");

QByteArray Junk(qsizetype size) {
    QByteArray bytes(size, '\0');
    QRandomGenerator(7).generate(bytes.begin(), bytes.end());
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
#ifdef Q_OS_LINUX
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool active_ = syscall(SYS_capget, &header_, saved_) == 0 && Drop();

    bool Drop() {
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            reduced[cap / 32].effective &= ~(1u << (cap % 32));
        return syscall(SYS_capset, &header_, reduced) == 0;
    }

  public:
    ~ScopedPermissionsApply() {
        if (active_)
            syscall(SYS_capset, &header_, saved_);
    }
#endif
};

// Where a site file or the settings file is: gone, a file, a folder in its place, a file in a folder that
// cannot be written, a file that cannot be written, in a folder that cannot be made, no file chosen, or a
// link to the path its content names.
enum Place { Missing, File, Folder, FolderReadOnly, FileReadOnly, FolderUnderAFile, Cancelled, Link };

// name, content, place (Missing: gone between the dialog and the read), the message it brings as
// "title|text", and the names, the selection and the site fields after reading it (none: all kept).
using SiteFile = std::tuple<const char*, QByteArray, Place, QString, QStringList>;
// name, the configuration file's bytes, their place, a language chosen by Ctrl+key (0 for none) before
// closing the window by its menu or its frame; the language then, the titles of the messages at the start
// and the first one's text, whether saving fails, and the language stored after closing (empty for none).
using Stored =
    std::tuple<const char*, QByteArray, Place, int, bool, int, QStringList, QString, bool, QString>;

} // namespace

Q_DECLARE_METATYPE(SiteFile)
Q_DECLARE_METATYPE(Stored)

class frmMainBadInputTest : public QObject {
    Q_OBJECT

  private slots:

    void siteFiles_data() {
        QTest::addColumn<SiteFile>("row");
        const auto failed = [](const QString& number, const QString& description) {
            return QStringLiteral("frmMain:OpenGeoFile;clsGeoFile:OpenGeoFile|Unhandled Error\r\n%1\r\n%2")
                .arg(number, description);
        };
        const QString mismatch = failed("13", "Type mismatch in line 1 of sites.geo");
        const auto overflow = [&](int line) {
            return failed("6", QString("Overflow in line %1 of sites.geo").arg(line));
        };
        const QString notAFile = failed("75", "Path/File access error: sites.geo is not a regular file");
        const QStringList wien{"Wien", "1", "16,37", "48,21", "1"};
        const QByteArray good("* test sites\r\nFrankfurt am Main;8,68;50,11;1\r\nBerlin;13,4;52,52;1\r\n"
                              "FRANKFURT (ODER);14,55;52,35;1\r\nWien;16,37;48,21;1\r\n");
        const QByteArray utf16 = QStringEncoder(QStringConverter::Utf16LE,
                                                QStringConverter::Flag::WriteBom)(u"Wien;16,37;48,21;1\r\n");
        const QByteArray cp1252("M\xFCnchen;11,58;48,14;1\r\nK\xC3\xB6ln;6,96;50,94;1\r\n");
        const QStringList frankfurts{
            "Frankfurt am Main", "Berlin", "FRANKFURT (ODER)", "Wien", "3", "14,55", "52,35", "1"};
        const SiteFile rows[] = {
            // The last site named Frankfurt is chosen, else the first.
            {"good", good, File, "", frankfurts},
            {"cancelled", "", Cancelled, "", {}},
            {"empty", "", File, failed("9", "Subscript out of range in sites.geo: no site"), {}},
            {"binary junk", Junk(4096), File, mismatch, {}},
            {"NUL bytes only", QByteArray(64, '\0'), File, mismatch, {}},
            {"NUL in a number", QByteArray("Wien;16\0,37;48,21;1\r\n", 21), File, mismatch, {}},
            {"NUL in a name", QByteArray("Wi\0en;16,37;48,21;1\r\n", 21), File, "",
             QStringList{QStringLiteral("Wi") + QChar(0) + "en"} + wien.mid(1)},
            {"one line of 1 MB", "Wien;16,37;48,21;1;" + QByteArray(1 << 20, 'x'), File, overflow(1), {}},
            {"one comment of 1 MB", "*" + QByteArray(1 << 20, 'x') + "\r\nWien;16,37;48,21;1\r\n", File, "",
             wien},
            {"40 000 lines", QByteArray("Wien;16,37;48,21;1\r\n").repeated(40000), File, overflow(32768), {}},
            {"a link to an endless device", "/dev/zero", Link, notAFile, {}},
            {"Windows-1252 names", cp1252, File, "", {"München", "KÃ¶ln", "1", "11,58", "48,14", "1"}},
            {"invalid UTF-8 in a number", "Wien;16,37;48,21\xC3;1\r\n", File, mismatch, {}},
            {"UTF-16", utf16, File, mismatch, {}},
            {"a folder", "", Folder, notAFile, {}},
            {"gone after the dialog", "", Missing, kAppTitle + '|' + Lang(1, 180), {}},
        };
        for (const SiteFile& r : rows)
            QTest::newRow(std::get<0>(r)) << r;
    }

    void siteFiles() {
        QFETCH(SiteFile, row);
        const auto& [name, content, place, shown, sites] = row;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sites.geo"));
        if (place == File)
            QVERIFY(Write(path, content));
        else if (place == Folder)
            QVERIFY(QDir().mkpath(path));
        else if (place == Link)
            QVERIFY(QFile::link(QString::fromUtf8(content), path));
        Window s;
        s.desktop.files.nextFileName = place == Cancelled ? QString() : path;
        s.List(0)->SetListIndex(s.List(0)->findText(QStringLiteral("Berlin")));
        const QStringList before = SiteState(s);

        s.Key('O');
        QCOMPARE(s.desktop.files.titles + s.desktop.files.filters,
                 (QStringList{Lang(1, 179), "Geo. Dateien (*.geo)"}));
        QCOMPARE(s.Shown().replaceInStrings(path, QStringLiteral("sites.geo")),
                 shown.isEmpty() ? QStringList() : QStringList{shown});
        for (const auto& m : s.Messages())
            QCOMPARE(m.icon, QMessageBox::Warning);
        QCOMPARE(SiteState(s), sites.isEmpty() ? before : QStringList{Lang(1, 177)} + sites);
    }

    void settings_data() {
        QTest::addColumn<Stored>("row");
        const QStringList none;
        // Without a language the start texts stay and the first run cannot name its message 146.
        const QStringList noTexts{"frmMain:LoadLanguage", "frmMain:CalculateData"};
        const QStringList unusable = QStringList{"frmMain:LoadSettings"} + noTexts;
        const auto lang = [](const char* v) { return "[Settings]\nLanguage=" + QByteArray(v) + '\n'; };
        const QByteArray english = lang("2");
        const QString e = QStringLiteral("Unhandled Error\r\n");
        const QString e340 = e + "340\r\nControl array element '%1' doesn't exist";
        const Stored rows[] = {
            {"first run", "", Missing, 0, false, 1, none, "", false, "1"},
            {"English, French chosen, closed by the menu", english, File, 3, true, 2, none, "", false, "3"},
            {"leading blank, Dutch chosen", lang("\" 3\""), File, 5, false, 3, none, "", false, "5"},
            {"zero, English chosen", lang("0"), File, 2, false, 0, unusable, e340.arg(0), false, "2"},
            {"seven, English by menu", lang("7"), File, 2, true, 0, unusable, e340.arg(7), false, "2"},
            {"garbage", Junk(300), File, 0, false, 1, none, "", false, "1"},
            {"NUL bytes after", english + QByteArray("\0\0\0\n", 4), File, 0, false, 2, none, "", false, "2"},
            {"broken section line", "[Settings\nLanguage=2\n", File, 0, false, 2, none, "", false, "2"},
            {"UTF-16", QByteArray("\xFF\xFE[\0S\0]\0\n\0", 10), File, 0, false, 1, none, "", false, "1"},
            {"not a number", lang("zwei"), File, 0, false, 0, noTexts,
             e + "326\r\nResource with identifier '-900' not found", false, "0"},
            {"too big", lang("99999999999"), File, 0, false, 0, unusable, e + "6\r\nOverflow", false, "0"},
            {"configuration file is a folder", "", Folder, 3, false, 0, unusable, e75, true, ""},
            {"folder read-only, French chosen", english, FolderReadOnly, 3, false, 2, none, "", true, "2"},
            {"file read-only, French chosen", english, FileReadOnly, 3, false, 2, none, "", true, "2"},
            {"folder cannot be created", "", FolderUnderAFile, 0, false, 1, none, "", true, ""},
        };
        for (const Stored& r : rows)
            QTest::newRow(std::get<0>(r)) << r;
    }

    void settings() {
        QFETCH(Stored, row);
        const auto& [name, stored, place, chosen, byMenu, language, startTitles, firstText, saveFails,
                     storedAfter] = row;
        QTemporaryDir home;
        const QString folder = home.filePath(place == FolderUnderAFile ? "file/config" : "config");
        const QString file = folder + QStringLiteral("/KORVANE Energy.conf");
        QVERIFY(place == FolderUnderAFile ? Write(home.filePath("file"), "not a folder")
                                          : QDir().mkpath(place == Folder ? file : folder));
        QVERIFY(place == Missing || place == Folder || place == FolderUnderAFile || Write(file, stored));
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
            for (int i = 1; i <= 6; ++i)
                QCOMPARE(s.Find<VbMenuItem>(ElementName("mnuLangCmd", i))->isChecked(), i == language);
            QCOMPARE(s.Shown(true), startTitles);
            QCOMPARE(s.Shown().value(0).section('|', 1), firstText);
            // Without a language the start texts stay and the sites are read all the same.
            QCOMPARE(s.Calculate(), Lang(language == 0 ? 1 : language, 159));
            QCOMPARE(s.List(0)->currentText(), QStringLiteral("Frankfurt am Main"));
            if (chosen != 0) { // choosing a language repairs the window
                s.Key(kLanguageKeys[chosen - 1]);
                QCOMPARE(s.Calculate(), Lang(chosen, 159));
                QCOMPARE(s.List(1)->ListCount(), 13);
            }
            // The language is stored on closing only.
            QCOMPARE(ReadAll(file), place == Folder || place == FolderUnderAFile ? QByteArray() : stored);
            s.Messages().clear();
            byMenu ? s.Find<QAction>("mnuFileCmd(1)")->trigger() : void(s.window->close());
            QVERIFY(!s.window->isVisible());
            QCOMPARE(s.Shown(), saveFails ? QStringList{"frmMain:SaveSettings|" + e75} : QStringList());
        }

        QFile::setPermissions(folder,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(QFileInfo(file).isDir(), place == Folder);
        // As plain text: a QSettings here would still hold the change that failed, and write it.
        const QByteArray text = ReadAll(file);
        QCOMPARE(QRegularExpression("Language=(\\S*)").match(QString::fromLatin1(text)).captured(1),
                 storedAfter);
        if (place == FolderReadOnly || place == FileReadOnly)
            QCOMPARE(text, stored);
    }
};

QTEST_MAIN(frmMainBadInputTest)
#include "frmMain_badinput_test.moc"
