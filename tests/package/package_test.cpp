// The program as a user gets it: the two Debian packages CPack makes, checked by Debian's tools, unpacked
// into a folder of their own and both programs started from there.
#include <QDateTime>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

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

// The date of the changelog's newest entry, as tar shows it.
QString Released() {
    QFile changelog(KORVANE_SOURCE_DIR "/packaging/changelog.in");
    if (!changelog.open(QIODevice::ReadOnly))
        return "no changelog";
    const QString text = QString::fromUtf8(changelog.readAll());
    const QRegularExpressionMatch trailer = QRegularExpression("^ -- .+  ([A-Z][a-z][a-z], .+)$", QRegularExpression::MultilineOption).match(text);
    return QDateTime::fromString(trailer.captured(1), Qt::RFC2822Date).toUTC().toString("yyyy-MM-dd HH:mm:ss");
}

const QString kCli = QStringLiteral("korvane-energy-cli"), kWindow = QStringLiteral("korvane-energy");

} // namespace

class PackageTest : public QObject {
    Q_OBJECT
    QTemporaryDir work_;
    QString usr_ = work_.filePath("root/usr");
    QMap<QString, QString> debs_; // by package name

  private slots:
    void initTestCase() {
        const QDir out(work_.filePath("deb"));
        const auto [code, packed] = Tool(KORVANE_CPACK, {"--config", KORVANE_BUILD_DIR "/CPackConfig.cmake",
                                                         "-G", "DEB", "-B", out.path()});
        QVERIFY2(code == 0, qPrintable(packed));
        for (const QString& deb : out.entryList({"*_" KORVANE_VERSION "_*.deb"}, QDir::Files)) {
            debs_[deb.section('_', 0, 0)] = out.filePath(deb);
            QCOMPARE(Tool("dpkg-deb", {"-x", out.filePath(deb), work_.filePath("root")}).first, 0);
        }
        QCOMPARE(debs_.keys(), QStringList({kWindow, kCli}));
    }

    // Each row: a checking tool on the packages or the unpacked tree, or a program from it, which must
    // succeed with output that matches and carries no warning. $-names are replaced before the command is
    // split.
    void commands_data() {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("expected");
        struct Row {
            const char *name, *command, *expected;
        };
        static const Row rows[] = {
            {"lintian", "lintian --pedantic --fail-on error,warning $WINDOW_DEB $CLI_DEB", ""},
            // The window needs its libraries, the print system's client, its font and the calculator's
            // package; the calculator needs neither Qt nor CUPS.
            {"window's dependencies", "dpkg-deb -f $WINDOW_DEB Depends",
             "^(?=.*korvane-energy-cli \\(= " KORVANE_VERSION
             "\\))(?=.*libqt6widgets6)(?=.*libqt6printsupport6)(?=.*libcups2)(?=.*fonts-liberation)"},
            {"calculator's dependencies", "dpkg-deb -f $CLI_DEB Depends",
             "^(?!.*(libqt|libcups))(?=.*libc6)"},
            {"calculator version", "$USR/bin/korvane-energy-cli --version",
             "^korvane-energy-cli " KORVANE_VERSION "\n$"},
            {"window version", "$USR/bin/korvane-energy --version", "^korvane-energy " KORVANE_VERSION "\n$"},
            {"window help, without a display", "$USR/bin/korvane-energy --help",
             "Usage: .*korvane-energy.*--version"},
            {"calculator's start values", "$USR/bin/korvane-energy-cli", "^69%\ndaylight autonomy: 28%\n$"},
            // Berlin comes from the site list in share, found through the link in bin.
            {"installed site list", "$USR/bin/korvane-energy-cli --site berlin --json",
             "\"percent\": \\d+, .*\"error\": null"},
            {"icons",
             "file -b $USR/share/icons/hicolor/16x16/apps/korvane-energy.png "
             "$USR/share/icons/hicolor/256x256/apps/korvane-energy.png",
             "^PNG image data, 16 x 16.*\nPNG image data, 256 x 256"},
            {"scalable icon, drawn",
             "grep -c -i fill=.#ffc800 $USR/share/icons/hicolor/scalable/apps/korvane-energy.svg", "^[1-9]"},
            // The About dialog sends the user to the readme in the program's folder; the licence lies beside
            // it.
            {"readme", "cmp $USR/lib/korvane-energy/README.md $SRC/README.md", "^$"},
            {"licence", "grep -c \"Permission is hereby granted\" $USR/lib/korvane-energy/LICENSE", "^1\n$"},
            {"room files open from the desktop",
             "grep -x -e \"Exec=korvane-energy %f\" -e MimeType=application/x-korvane-room; "
             "$USR/share/applications/korvane-energy.desktop",
             "^Exec.*\nMime"},
            {"desktop entry", "desktop-file-validate $USR/share/applications/korvane-energy.desktop", "^$"},
            // With the network check: an address that cannot be reached fails it.
            {"AppStream metadata", "sh -c \"appstreamcli validate --pedantic $USR/share/metainfo/*.xml\"",
             "successful"},
            {"no made-up addresses", "sh -c \"cat $USR/share/metainfo/*.xml; dpkg-deb -f $WINDOW_DEB Homepage\"",
             "^(?!.*\\.example).*</component>"},
            {"Qt's dialogs translated", "dpkg-deb -f $WINDOW_DEB Recommends", "qt6-translations-l10n"},
            // The changelog's newest entry dates every file, whenever the packages are made.
            {"file dates",
             "sh -c \"for deb in $WINDOW_DEB $CLI_DEB; do dpkg-deb --fsys-tarfile $deb | tar -tv --full-time; "
             "done\"",
             "^(\\S+ +\\S+ +\\d+ $RELEASED [^\n]*\n)+$"},
            {"bash completion",
             "bash -c \". $USR/share/bash-completion/completions/korvane-energy-cli; COMP_WORDS=(x --vers); "
             "COMP_CWORD=1; _korvane_energy_cli; echo ${COMPREPLY[@]}\"",
             "^--version\n$"},
            {"bash completion of choices and site names",
             "bash -c \". $USR/share/bash-completion/completions/korvane-energy-cli; "
             "COMP_WORDS=($USR/bin/korvane-energy-cli --control c); COMP_CWORD=2; _korvane_energy_cli; "
             "echo ${COMPREPLY[@]}; COMP_WORDS[1]=--site; COMP_WORDS[2]=frankf; _korvane_energy_cli; "
             "echo ${COMPREPLY[@]}\"",
             "^continuous continuous-off\nFrankfurt\\\\ am\\\\ Main\n$"},
            // The command in bin is a relative link, so the tree can be moved as a whole.
            {"link to $P", "readlink $USR/bin/$P", "^\\.\\./lib/korvane-energy/$P\n$"},
            {"manual page of $P", "man --warnings -l $USR/share/man/man1/$P.1.gz",
             "^(?i)$P\\(1\\).*--version"},
            // What Debian 12's dpkg-buildflags gives. Fortification is compiled in too, but C++ containers
            // call memcpy and the like with sizes known only at run time, so no call has a checked variant to
            // find.
            {"hardening of $P", "hardening-check --nofortify --nocfprotection $USR/lib/korvane-energy/$P",
             "Independent Executable: yes\n Stack protected: yes\n.*relocations: yes\n Immediate binding: "
             "yes"},
        };
        const QStringList names = {"$WINDOW_DEB", debs_[kWindow], "$CLI_DEB", debs_[kCli], "$RELEASED", Released(),
                                   "$USR",        usr_,           "$SRC",     KORVANE_SOURCE_DIR};
        for (const Row& row : rows) {
            // The sanitized and fuzzing builds leave Debian's flags out for their own instrumentation.
            if (!KORVANE_HARDENED && QString(row.name).startsWith("hardening"))
                continue;
            for (const QString& program : {kCli, kWindow}) {
                const auto expand = [&](QString text) {
                    for (int i = 0; i < names.size(); i += 2)
                        text.replace(names[i], names[i + 1]);
                    return text.replace("$P", program);
                };
                QTest::newRow(qPrintable(expand(row.name)))
                    << QProcess::splitCommand(expand(row.command)) << expand(row.expected);
                if (!QString(row.name).contains("$P"))
                    break;
            }
        }
    }
    void commands() {
        QFETCH(QStringList, command);
        QFETCH(QString, expected);
        const auto [code, output] = Tool(command.value(0), command.mid(1));
        QVERIFY2(code == 0, qPrintable(output));
        QVERIFY2(
            output.contains(QRegularExpression(expected, QRegularExpression::DotMatchesEverythingOption)),
            qPrintable(output));
        QVERIFY2(!output.contains("warning", Qt::CaseInsensitive), qPrintable(output));
    }

    // Made again later, the packages are the same bytes.
    void reproducible() {
        QTest::qWait(1100);
        const QDir again(work_.filePath("deb-again"));
        const auto [code, packed] = Tool(KORVANE_CPACK, {"--config", KORVANE_BUILD_DIR "/CPackConfig.cmake",
                                                         "-G", "DEB", "-B", again.path()});
        QVERIFY2(code == 0, qPrintable(packed));
        for (const QString& deb : debs_) {
            QFile first(deb), second(again.filePath(QFileInfo(deb).fileName()));
            QVERIFY(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
            QVERIFY2(first.readAll() == second.readAll(), qPrintable(deb));
        }
    }

    // A mistyped option is a usage error before the window needs a display, not an abort.
    void usageErrorWithoutDisplay() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(usr_ + "/bin/korvane-energy", {"--bogus"});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 2);
        QVERIFY(program.readAllStandardError().contains("Unknown option 'bogus'"));
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
        program.start(usr_ + "/bin/korvane-energy", {});
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
