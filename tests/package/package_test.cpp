// The program as a user gets it: packed by CPack into a .deb, unpacked into a folder of its own and both
// programs started from there.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <filesystem>

namespace {

// Exit code (-1 when it crashed or hung) and everything the program printed.
std::pair<int, QString> Tool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(300000);
    const QString output = QString::fromLocal8Bit(process.readAll());
    return {finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, output};
}

int CountColor(const QImage& image, QRgb color) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const auto* pixels = reinterpret_cast<const QRgb*>(rgb.constBits());
    return static_cast<int>(std::count(pixels, pixels + rgb.width() * rgb.height(), color));
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class PackageTest : public QObject {
    Q_OBJECT
    QTemporaryDir work_;
    QDir usr_{work_.filePath("root/usr")};
    QString deb_;

  private slots:
    void initTestCase() {
        const QDir out(work_.filePath("deb"));
        const auto [code, packed] = Tool(KORVANE_CPACK, {"--config", KORVANE_BUILD_DIR "/CPackConfig.cmake",
                                                         "-G", "DEB", "-B", out.path()});
        QVERIFY2(code == 0, qPrintable(packed));
        const QStringList debs = out.entryList({"*.deb"}, QDir::Files);
        QVERIFY2(debs.size() == 1 && debs[0].startsWith("korvane-energy_" KORVANE_VERSION "_"),
                 qPrintable(debs.join(' ')));
        deb_ = out.filePath(debs[0]);
        QCOMPARE(Tool("dpkg-deb", {"-x", deb_, work_.filePath("root")}).first, 0);
    }

    void layout() {
        for (const QString program : {"korvane-energy", "korvane-energy-cli"}) {
            // The command in bin is a relative link, so the tree can be moved as a whole.
            const QFileInfo link(usr_.filePath("bin/" + program));
            QVERIFY2(link.isSymLink(), qPrintable(link.filePath()));
            QVERIFY(std::filesystem::read_symlink(link.filePath().toStdString()).is_relative());
            QCOMPARE(link.canonicalFilePath(),
                     QFileInfo(usr_.filePath("lib/korvane-energy/" + program)).canonicalFilePath());
        }
        QCOMPARE(Contents(usr_.filePath("lib/korvane-energy/DEFAULT.GEO")),
                 Contents(KORVANE_SOURCE_DIR "/data/DEFAULT.GEO"));
        QVERIFY(!QFileInfo::exists(usr_.filePath("bin/DEFAULT.GEO")));
        const QList<QByteArray> desktop =
            Contents(usr_.filePath("share/applications/korvane-energy.desktop")).split('\n');
        for (const char* line : {"[Desktop Entry]", "Type=Application", "Name=KORVANE Energy",
                                 "Exec=korvane-energy", "Icon=korvane-energy"})
            QVERIFY2(desktop.contains(line), line);
        for (const int size : {16, 32, 48, 256}) {
            const QImage icon(
                usr_.filePath(QString("share/icons/hicolor/%1x%1/apps/korvane-energy.png").arg(size)));
            QCOMPARE(icon.size(), QSize(size, size));
            QVERIFY(CountColor(icon, qRgb(255, 200, 0)) > 0); // drawn, not blank: the sun's yellow
        }
    }

    // The window's libraries with their platform and print plugins, the print system's client, the font.
    void dependencies() {
        const QString depends = Tool("dpkg-deb", {"-f", deb_, "Depends"}).second;
        for (const QString package :
             {"libqt6widgets6", "libqt6gui6", "libqt6printsupport6", "libcups2", "libc6", "fonts-liberation"})
            QVERIFY2(depends.contains(QRegularExpression("(^|, )" + package + "( |,|$)")),
                     qPrintable(depends));
    }

    void commandLineCalculator() {
        // Berlin comes from the DEFAULT.GEO beside the program, found through the link in bin.
        const QString cli = usr_.filePath("bin/korvane-energy-cli");
        const auto [code, berlin] = Tool(cli, {"--site", "berlin"});
        QVERIFY2(code == 0 && QRegularExpression("^\\d+%\\n$").match(berlin).hasMatch(), qPrintable(berlin));
        QCOMPARE(Tool(cli, {"--longitude", "13.4", "--latitude", "52.52"}).second, berlin);
    }

    // The window finds its libraries, plugins and DEFAULT.GEO and shows the first result on green. Qt's
    // minimal platform draws into memory and, asked to, writes each window it shows as a PNG into the working
    // folder.
    void windowShowsItsFirstResult() {
        const QDir shots(work_.filePath("shots")), home(work_.filePath("home"));
        QVERIFY(shots.mkpath(".") && home.mkpath("run"));
        QFile::setPermissions(home.filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "minimal:enable_fonts");
        environment.insert("QT_DEBUG_BACKINGSTORE", "1");
        environment.insert("HOME", home.path());
        environment.insert("XDG_CONFIG_HOME", home.filePath(".config"));
        environment.insert("XDG_RUNTIME_DIR", home.filePath("run"));
        environment.remove("DISPLAY");
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(shots.path());
        program.start(usr_.filePath("bin/korvane-energy"), {});
        const auto shown = [&] {
            const QStringList names = shots.entryList({"output*.png"}, QDir::Files);
            return std::any_of(names.begin(), names.end(), [&](const QString& name) {
                const QImage shot(shots.filePath(name));
                return shot.width() >= 602 && CountColor(shot, qRgb(0, 192, 0)) > 2000;
            });
        };
        QTRY_VERIFY2_WITH_TIMEOUT(shown(), qPrintable(program.errorString()), 60000);
        QCOMPARE(program.state(), QProcess::Running);
        program.kill();
        program.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(PackageTest)
#include "package_test.moc"
