// The program as a user gets it: installed with `cmake --install` into a prefix of its own, started from
// there without a display until it shows its first result, and packed by CPack into a .deb.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>

namespace {

const QString kBuild = QStringLiteral(KORVANE_BUILD_DIR);
const QString kPkgDir = QStringLiteral("lib/korvane-energy");

struct Run {
    int exitCode = -1;
    QString output;
};

Run Tool(const QString& program, const QStringList& arguments, int timeoutMs = 300000) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Run run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.output =
            program + QStringLiteral(" did not finish: ") + QString::fromLocal8Bit(process.readAll());
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromLocal8Bit(process.readAll());
    return run;
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int CountColor(const QImage& image, QRgb color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == color ? 1 : 0;
    return count;
}

} // namespace

class PackageTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void layout();
    void commandLineCalculator();
    void installedProgramShowsItsFirstResult();
    void debianPackage();

  private:
    QTemporaryDir work_;
    QString prefix_;
};

void PackageTest::initTestCase() {
    QVERIFY(work_.isValid());
    prefix_ = work_.filePath(QStringLiteral("prefix"));
    const Run install = Tool(QStringLiteral(KORVANE_CMAKE),
                             {QStringLiteral("--install"), kBuild, QStringLiteral("--prefix"), prefix_});
    QVERIFY2(install.exitCode == 0, qPrintable(install.output));
}

void PackageTest::layout() {
    const QDir prefix(prefix_);
    for (const QString& program : {QStringLiteral("korvane-energy"), QStringLiteral("korvane-energy-cli")}) {
        // The command in bin is a relative link, so the tree can be moved as a whole.
        const QFileInfo link(prefix.filePath(QStringLiteral("bin/") + program));
        QVERIFY2(link.isSymLink(), qPrintable(link.filePath()));
        QVERIFY(
            std::filesystem::read_symlink(QFile::encodeName(link.filePath()).toStdString()).is_relative());
        QCOMPARE(link.canonicalFilePath(),
                 QFileInfo(prefix.filePath(kPkgDir + '/' + program)).canonicalFilePath());
        QVERIFY(QFileInfo(link.canonicalFilePath()).isExecutable());
    }
    QCOMPARE(Contents(prefix.filePath(kPkgDir + QStringLiteral("/DEFAULT.GEO"))),
             Contents(QStringLiteral(KORVANE_SOURCE_DIR "/data/DEFAULT.GEO")));
    QVERIFY(!QFileInfo::exists(prefix.filePath(QStringLiteral("bin/DEFAULT.GEO"))));

    const QString desktop = QString::fromUtf8(
        Contents(prefix.filePath(QStringLiteral("share/applications/korvane-energy.desktop"))));
    for (const QString& line : {QStringLiteral("[Desktop Entry]"), QStringLiteral("Type=Application"),
                                QStringLiteral("Name=KORVANE Energy"), QStringLiteral("Exec=korvane-energy"),
                                QStringLiteral("Icon=korvane-energy")})
        QVERIFY2(desktop.split('\n').contains(line), qPrintable(line));
    for (const int size : {16, 32, 48, 256}) {
        const QImage icon(
            prefix.filePath(QStringLiteral("share/icons/hicolor/%1x%1/apps/korvane-energy.png").arg(size)));
        QCOMPARE(icon.size(), QSize(size, size));
        // Drawn, not blank: the sun's yellow is in every size.
        QVERIFY(CountColor(icon.convertToFormat(QImage::Format_RGB32), qRgb(255, 200, 0)) > 0);
    }
}

void PackageTest::commandLineCalculator() {
    // Berlin comes from the DEFAULT.GEO beside the installed program, found through the link in bin.
    const QString cli = QDir(prefix_).filePath(QStringLiteral("bin/korvane-energy-cli"));
    const Run berlin = Tool(cli, {QStringLiteral("--site"), QStringLiteral("berlin")});
    QVERIFY2(berlin.exitCode == 0, qPrintable(berlin.output));
    const Run typed = Tool(cli, {QStringLiteral("--longitude"), QStringLiteral("13.4"),
                                 QStringLiteral("--latitude"), QStringLiteral("52.52")});
    QCOMPARE(berlin.output, typed.output);
    QVERIFY(QRegularExpression(QStringLiteral("^\\d+%\\n$")).match(berlin.output).hasMatch());
}

// Qt's minimal platform draws into memory and, asked to, writes each window it shows as a PNG file into the
// working folder: enough to see the installed program's window without a display.
void PackageTest::installedProgramShowsItsFirstResult() {
    const QString shots = work_.filePath(QStringLiteral("shots"));
    const QString home = work_.filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(shots) && QDir().mkpath(home + QStringLiteral("/run")));
    QFile::setPermissions(home + QStringLiteral("/run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("minimal:enable_fonts"));
    environment.insert(QStringLiteral("QT_DEBUG_BACKINGSTORE"), QStringLiteral("1"));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/run"));
    environment.remove(QStringLiteral("DISPLAY"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(shots);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(QDir(prefix_).filePath(QStringLiteral("bin/korvane-energy")), {});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));

    // The window with the first result on its green field, 69% for the default site.
    auto shown = [&] {
        for (const QString& name : QDir(shots).entryList({QStringLiteral("output*.png")}, QDir::Files)) {
            const QImage shot(QDir(shots).filePath(name));
            if (shot.width() >= 602 &&
                CountColor(shot.convertToFormat(QImage::Format_RGB32), qRgb(0, 192, 0)) > 2000)
                return true;
        }
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(shown() || program.state() == QProcess::NotRunning, 60000);
    const bool running = program.state() == QProcess::Running;
    program.kill();
    program.waitForFinished();
    QVERIFY2(running,
             qPrintable(QStringLiteral("the program ended: ") + QString::fromLocal8Bit(program.readAll())));
    QVERIFY(shown());
}

void PackageTest::debianPackage() {
    const QString out = work_.filePath(QStringLiteral("deb"));
    const Run pack = Tool(QStringLiteral(KORVANE_CPACK),
                          {QStringLiteral("--config"), kBuild + QStringLiteral("/CPackConfig.cmake"),
                           QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), out});
    QVERIFY2(pack.exitCode == 0, qPrintable(pack.output));
    const QStringList debs = QDir(out).entryList({QStringLiteral("*.deb")}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    const QString deb = QDir(out).filePath(debs[0]);
    QVERIFY2(debs[0].startsWith(QStringLiteral("korvane-energy_" KORVANE_VERSION "_")), qPrintable(debs[0]));

    const Run depends =
        Tool(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), deb, QStringLiteral("Depends")});
    QCOMPARE(depends.exitCode, 0);
    // The window's libraries with the platform and print plugins they carry, the print system's client
    // library, and the window's font.
    for (const QString& package : {QStringLiteral("libqt6widgets6"), QStringLiteral("libqt6gui6"),
                                   QStringLiteral("libqt6printsupport6"), QStringLiteral("libcups2"),
                                   QStringLiteral("libc6"), QStringLiteral("fonts-liberation")})
        QVERIFY2(depends.output.contains(
                     QRegularExpression(QStringLiteral("(^|, )") + package + QStringLiteral("( |,|$)"))),
                 qPrintable(package + QStringLiteral(" not in: ") + depends.output));

    const Run contents = Tool(QStringLiteral("dpkg-deb"), {QStringLiteral("-c"), deb});
    QCOMPARE(contents.exitCode, 0);
    for (const QString& entry :
         {QStringLiteral("./usr/lib/korvane-energy/korvane-energy"),
          QStringLiteral("./usr/lib/korvane-energy/DEFAULT.GEO"),
          QStringLiteral("./usr/bin/korvane-energy -> ../lib/korvane-energy/korvane-energy"),
          QStringLiteral("./usr/share/applications/korvane-energy.desktop"),
          QStringLiteral("./usr/share/icons/hicolor/48x48/apps/korvane-energy.png")})
        QVERIFY2(contents.output.contains(entry),
                 qPrintable(entry + QStringLiteral(" not in:\n") + contents.output));

    // Unpacked anywhere, the calculator finds its site list.
    const QString root = work_.filePath(QStringLiteral("unpacked"));
    QCOMPARE(Tool(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), deb, root}).exitCode, 0);
    const Run berlin = Tool(root + QStringLiteral("/usr/bin/korvane-energy-cli"),
                            {QStringLiteral("--site"), QStringLiteral("berlin")});
    QVERIFY2(berlin.exitCode == 0, qPrintable(berlin.output));
}

QTEST_GUILESS_MAIN(PackageTest)
#include "package_test.moc"
