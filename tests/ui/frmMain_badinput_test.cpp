// Bad input from outside the window: site files that are empty, junk, huge, in other encodings, folders or
// gone by the time they are read; settings that are garbage, folders, or in a folder that cannot be
// written. Each case checks what the user sees and what is kept.

#include "FakeSeams.h"
#include "VbControls.h"
#include "clsLocalInfo.h"
#include "frmMain.h"
#include "modLangConstants.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

using namespace korvane;
using namespace korvane::ui;

namespace {

QString Lang(int language, int baseId) {
    const auto entry = FindLangEntry((language - 1) * 1000 + baseId);
    return entry ? QString::fromUtf8(entry->data(), static_cast<qsizetype>(entry->size())) : QString();
}

const QString kAppTitle = QStringLiteral("KORVANE Energy");
const QString kReadFailed = QStringLiteral("frmMain:OpenGeoFile;clsGeoFile:OpenGeoFile");

struct Started {
    test::FakeDesktop desktop;
    std::unique_ptr<frmMain> window;

    // The settings and the file dialog are the fakes' unless given.
    explicit Started(SettingsStore* settings = nullptr, FileDialogSeam* files = nullptr) {
        Seams seams = desktop.seams();
        if (settings != nullptr)
            seams.settings = settings;
        if (files != nullptr)
            seams.files = files;
        window = std::make_unique<frmMain>(seams);
        window->Load();
        window->show();
        window->activateWindow();
    }
    template <class T> T* Find(const QString& name) const {
        T* found = window->findChild<T*>(name);
        if (found == nullptr)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    VbComboBox* Sites() const { return Find<VbComboBox>(QStringLiteral("lstInput(0)")); }
    QStringList Items() const {
        QStringList items;
        for (int i = 0; i < Sites()->count(); ++i)
            items << Sites()->itemText(i);
        return items;
    }
    // The site list, its selection and the three site fields.
    QStringList SiteState() const {
        QStringList state = Items();
        state << QString::number(Sites()->ListIndex());
        for (const int field : {5, 6, 7})
            state << Find<VbTextBox>(ElementName("txtInput", field))->Text();
        return state;
    }
    QStringList Titles() const {
        QStringList titles;
        for (const auto& shown : desktop.messages.shown)
            titles << shown.title;
        return titles;
    }
};

QByteArray Junk(int size) {
    QByteArray bytes;
    quint32 x = 7;
    for (int i = 0; i < size; ++i) {
        x = x * 1103515245u + 12345u;
        bytes += static_cast<char>(x >> 24);
    }
    return bytes;
}

QByteArray Repeated(const QByteArray& line, int count) {
    QByteArray bytes;
    bytes.reserve(line.size() * count);
    for (int i = 0; i < count; ++i)
        bytes += line;
    return bytes;
}

void Write(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Hands out the path of a file that is gone by the time the window reads it.
class VanishingFileDialog final : public FileDialogSeam {
  public:
    explicit VanishingFileDialog(QString path) : path_(std::move(path)) {}
    QString GetOpenFileName(QWidget*, const QString&, const QString&) override {
        Write(path_, "Wien;16,37;48,21;1\r\n");
        QFile::remove(path_);
        return path_;
    }

  private:
    QString path_;
};

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
// cannot be written, a file that cannot be written, or in a folder that cannot be made.
enum Place { Missing, File, Folder, FolderReadOnly, FileReadOnly, FolderUnderAFile };

} // namespace

class frmMainBadInputTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void siteFiles_data();
    void siteFiles();
    void settings_data();
    void settings();
};

void frmMainBadInputTest::init() {
    gLanguage = 0;
    gDecimalSeparator = std::string(1, ',');
}

void frmMainBadInputTest::cleanup() {
    QTRY_VERIFY(QApplication::topLevelWidgets().size() <= 1);
}

void frmMainBadInputTest::siteFiles_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("place"); // Missing: gone between the dialog and the read
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("read"); // the sites when the file is read

    const auto failed = [](const char* number, const char* description) {
        return QStringLiteral("Unhandled Error\r\n%1\r\n%2").arg(number, description);
    };
    QTest::newRow("empty") << QByteArray() << int(File) << kReadFailed
                           << failed("9", "Subscript out of range") << QStringList();
    QTest::newRow("binary junk") << Junk(4096) << int(File) << kReadFailed << failed("13", "Type mismatch")
                                 << QStringList();
    QTest::newRow("NUL bytes only") << QByteArray(64, '\0') << int(File) << kReadFailed
                                    << failed("13", "Type mismatch") << QStringList();
    QTest::newRow("NUL in a number") << QByteArray("Wien;16\0,37;48,21;1\r\n", 21) << int(File) << kReadFailed
                                     << failed("13", "Type mismatch") << QStringList();
    QTest::newRow("NUL in a name") << QByteArray("Wi\0en;16,37;48,21;1\r\n", 21) << int(File) << QString()
                                   << QString() << QStringList{QStringLiteral("Wi") + QChar(0) + "en"};
    QTest::newRow("one line of 1 MB") << "Wien;16,37;48,21;1;" + QByteArray(1 << 20, 'x') << int(File)
                                      << kReadFailed << failed("6", "Overflow") << QStringList();
    QTest::newRow("one comment of 1 MB") << "*" + QByteArray(1 << 20, 'x') + "\r\nWien;16,37;48,21;1\r\n"
                                         << int(File) << QString() << QString() << QStringList{"Wien"};
    QTest::newRow("40 000 lines") << Repeated("Wien;16,37;48,21;1\r\n", 40000) << int(File) << kReadFailed
                                  << failed("6", "Overflow") << QStringList();
    QTest::newRow("invalid UTF-8: Windows-1252 names")
        << QByteArray("M\xFCnchen;11,58;48,14;1\r\nK\xC3\xB6ln;6,96;50,94;1\r\n") << int(File) << QString()
        << QString() << QStringList{QStringLiteral("München"), QStringLiteral("KÃ¶ln")};
    QTest::newRow("invalid UTF-8 in a number")
        << QByteArray("Wien;16,37;48,21\xC3;1\r\n") << int(File) << kReadFailed
        << failed("13", "Type mismatch") << QStringList();
    QByteArray utf16("\xFF\xFE", 2);
    for (const char c : QByteArray("Wien;16,37;48,21;1\r\n"))
        utf16 += QByteArray(1, c) + QByteArray(1, '\0');
    QTest::newRow("UTF-16") << utf16 << int(File) << kReadFailed << failed("13", "Type mismatch")
                            << QStringList();
    QTest::newRow("a folder") << QByteArray() << int(Folder) << kReadFailed
                              << failed("75", "Path/File access error") << QStringList();
    QTest::newRow("gone after the dialog")
        << QByteArray() << int(Missing) << kAppTitle << Lang(1, 180) << QStringList();
}

void frmMainBadInputTest::siteFiles() {
    QFETCH(QByteArray, content);
    QFETCH(int, place);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(QStringList, read);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sites.geo"));
    if (place == File)
        Write(path, content);
    else if (place == Folder)
        QVERIFY(QDir().mkpath(path));
    VanishingFileDialog vanishing(path);
    Started s(nullptr, place == Missing ? &vanishing : nullptr);
    s.desktop.files.nextFileName = path;
    s.Sites()->SetListIndex(s.Sites()->findText(QStringLiteral("Berlin")));
    const QStringList before = s.SiteState();
    QVERIFY(s.desktop.messages.shown.empty());

    s.window->findChild<QAction*>(QStringLiteral("mnuFileCmd(0)"))->trigger();
    if (!read.isEmpty()) {
        QCOMPARE(s.Titles(), QStringList());
        QCOMPARE(s.Items(), QStringList{Lang(1, 177)} + read);
        QCOMPARE(s.Sites()->ListIndex(), 1);
        return;
    }
    QCOMPARE(s.desktop.messages.shown.size(), size_t(1));
    const test::ShownMessage& shown = s.desktop.messages.shown.front();
    QCOMPARE(shown.title, title);
    QCOMPARE(shown.text, text);
    QCOMPARE(shown.icon, QMessageBox::Warning);
    QCOMPARE(s.SiteState(), before);
}

void frmMainBadInputTest::settings_data() {
    QTest::addColumn<QByteArray>("stored"); // the configuration file's bytes
    QTest::addColumn<int>("place");
    QTest::addColumn<int>("key"); // a language chosen before closing, 0 for none
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
    QTest::newRow("garbage") << Junk(300) << int(File) << 0 << 1 << none << QString() << none << "1";
    QTest::newRow("a line of NUL bytes after a good language")
        << QByteArray("[Settings]\nLanguage=2\n\0\0\0\n", 26) << int(File) << 0 << 2 << none << QString()
        << none << "2";
    QTest::newRow("broken section line")
        << QByteArray("[Settings\nLanguage=2\n") << int(File) << 0 << 2 << none << QString() << none << "2";
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE[\0S\0]\0\n\0", 10) << int(File) << 0 << 1 << none
                            << QString() << none << "1";
    QTest::newRow("language not a number")
        << QByteArray("[Settings]\nLanguage=zwei\n") << int(File) << 0 << 0 << noTexts
        << "Unhandled Error\r\n326\r\nResource with identifier '-900' not found" << none << "0";
    QTest::newRow("language beyond 16 bits")
        << QByteArray("[Settings]\nLanguage=99999999999\n") << int(File) << 0 << 0 << unusable
        << "Unhandled Error\r\n6\r\nOverflow" << none << "0";
    QTest::newRow("configuration file is a folder")
        << QByteArray() << int(Folder) << int(Qt::Key_F) << 0 << unusable
        << "Unhandled Error\r\n75\r\nPath/File access error" << saveFailed << QString();
    QTest::newRow("folder cannot be written, French chosen")
        << english << int(FolderReadOnly) << int(Qt::Key_F) << 2 << none << QString() << saveFailed << "2";
    QTest::newRow("file cannot be written, French chosen")
        << english << int(FileReadOnly) << int(Qt::Key_F) << 2 << none << QString() << saveFailed << "2";
    QTest::newRow("folder cannot be created")
        << QByteArray() << int(FolderUnderAFile) << 0 << 1 << none << QString() << saveFailed << QString();
    QTest::newRow("good, French chosen")
        << english << int(File) << int(Qt::Key_F) << 2 << none << QString() << none << "3";
}

void frmMainBadInputTest::settings() {
    QFETCH(QByteArray, stored);
    QFETCH(int, place);
    QFETCH(int, key);
    QFETCH(int, language);
    QFETCH(QStringList, startTitles);
    QFETCH(QString, firstText);
    QFETCH(QStringList, closeTitles);
    QFETCH(QString, storedAfter);

    QTemporaryDir home;
    const QString folder = place == FolderUnderAFile ? home.filePath("file/config") : home.filePath("config");
    const QString file = folder + QStringLiteral("/KORVANE Energy.conf");
    if (place == FolderUnderAFile)
        Write(home.filePath("file"), "not a folder");
    else
        QVERIFY(QDir().mkpath(folder));
    if (place == Folder)
        QVERIFY(QDir().mkpath(file));
    else if (place != FolderUnderAFile)
        Write(file, stored);
    if (place == FileReadOnly)
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    if (place == FolderReadOnly)
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);

    {
        const ScopedPermissionsApply permissions;
        QtSettingsStore store;
        Started s(&store);
        QCOMPARE(gLanguage, int16_t(language));
        QCOMPARE(s.Titles(), startTitles);
        if (!firstText.isEmpty())
            QCOMPARE(s.desktop.messages.shown.front().text, firstText);
        if (language != 0)
            QCOMPARE(s.Find<QLabel>(QStringLiteral("lblResult"))->text(), QStringLiteral("69%"));
        if (key != 0 && QTest::qWaitForWindowActive(s.window.get()))
            QTest::keyClick(s.window.get(), Qt::Key(key), Qt::ControlModifier);
        s.desktop.messages.shown.clear();
        QVERIFY(s.window->close());
        QVERIFY(!s.window->isVisible());
        QCOMPARE(s.Titles(), closeTitles);
        for (const auto& shown : s.desktop.messages.shown)
            QCOMPARE(shown.text, QStringLiteral("Unhandled Error\r\n75\r\nPath/File access error"));
    }

    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(QFileInfo(file).isDir(), place == Folder);
    // Read as plain text: a QSettings on the same file would still hold the change that failed, and write it.
    QFile after(file);
    const QByteArray text = after.open(QIODevice::ReadOnly) ? after.readAll() : QByteArray();
    const QRegularExpressionMatch match =
        QRegularExpression("Language=(\\S*)").match(QString::fromLatin1(text));
    QCOMPARE(match.captured(1), storedAfter);
    if (place == FolderReadOnly || place == FileReadOnly)
        QCOMPARE(text, stored);
}

QTEST_MAIN(frmMainBadInputTest)
#include "frmMain_badinput_test.moc"
