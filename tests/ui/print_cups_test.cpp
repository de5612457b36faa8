// Printing for real on the CUPS-PDF queue the fixture set up (KORVANE_PRINT_QUEUE, PDFs in KORVANE_PDF_DIR),
// read back with poppler's tools; and "Printer error" without a printer, on refusal, or when the service
// stops.

#include "WindowHarness.h"

#include <QDir>
#include <QPrinterInfo>
#include <QProcess>

#include <cups/cups.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <map>
#include <set>
#include <thread>

using namespace korvane;
using namespace korvane::ui;
using namespace korvane::ui::test;

namespace {

// Runs a tool to its end, at most 60 seconds: its exit code (-1 when it did not end) and its output.
std::pair<int, QString> Tool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ended = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    if (!ended)
        process.kill();
    return {ended ? process.exitCode() : -1, QString::fromLocal8Bit(process.readAll())};
}

const auto Queue = [] { return qEnvironmentVariable("KORVANE_PRINT_QUEUE"); };
const auto PdfDir = [] { return QDir(qEnvironmentVariable("KORVANE_PDF_DIR")); };
const auto Pdfs = [] { return PdfDir().entryList({QStringLiteral("*.pdf")}, QDir::Files); };
// True once the queue holds no job that is not completed.
bool QueueIdle() {
    const auto [code, jobs] = Tool("lpstat", {"-o", Queue()});
    return code == 0 && jobs.trimmed().isEmpty();
}

// The window printing on the desktop's real printer, its depth field set: 6 m gives 41%.
struct Started : Window {
    static inline QtPrinter printer;
    explicit Started(const QString& depth = "6") : Window(std::nullopt, QString(), nullptr, ",", &printer) {
        Field(2)->SetText(depth);
        Click("cmdPrint");
    }
    // What the user is told when printing fails: one "Printer error" box, the run's result still shown.
    void CheckPrinterError() {
        QCOMPARE(Shown(), QStringList{"frmMain:CalculateData|Unhandled Error\r\n482\r\nPrinter error"});
        QCOMPARE(Messages()[0].icon, QMessageBox::Warning);
        QCOMPARE(Result(), QStringLiteral("41%"));
    }
};

// A cupsd of the test's own (KORVANE_CUPSD_SCRIPT) under /tmp, since socket paths end at 108 bytes.
struct PrivateCupsd {
    static constexpr const char* kQueue = "KorvaneStopped";
    QTemporaryDir dir{QStringLiteral("/tmp/korvane-cupsd-XXXXXX")};
    bool started = Script("start") == 0;

    ~PrivateCupsd() { Stop(); }
    // As the service is stopped: SIGTERM, then wait for the end. Safe from any thread, and twice.
    void Stop() const { Script("stop"); }
    int Script(const char* action) const {
        const std::string command = "bash '" + qEnvironmentVariable("KORVANE_CUPSD_SCRIPT").toStdString() +
                                    "' " + action + " '" + dir.path().toStdString() + "' " + kQueue + " " +
                                    std::to_string(::getpid());
        return std::system(command.c_str());
    }
};

// A Unix socket listening on, or connected to, path; -1 when that fails.
int UnixSocket(const std::string& path, bool listen) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof(address.sun_path) - 1);
    const auto* at = reinterpret_cast<const sockaddr*>(&address);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (listen ? ::bind(fd, at, sizeof(address)) == 0 && ::listen(fd, 8) == 0
               : ::connect(fd, at, sizeof(address)) == 0)
        return fd;
    ::close(fd);
    return -1;
}

// Passes everything between the client library and the private cupsd until a PDF starts: then it stops the
// cupsd and drops every connection, and refuses later ones, so the service ends while the page is sent.
struct CuttingProxy {
    int listen;
    std::string upstream;
    std::function<void()> stopService;
    std::atomic<bool> done{false}, cut{false};
    std::thread thread{[this] { Run(); }};

    ~CuttingProxy() {
        done = true;
        thread.join();
        ::close(listen);
    }
    void Run() {
        std::map<int, int> peer; // each open socket and the one its bytes go to
        std::set<int> clients;
        std::string seen; // the tail of what clients sent, so that a marker split between reads is found
        const auto drop = [&](int fd) {
            for (const int end : {fd, peer[fd]}) {
                ::close(end);
                peer.erase(end);
                clients.erase(end);
            }
        };
        while (!done) {
            std::vector<pollfd> fds{{listen, POLLIN, 0}};
            for (const auto& link : peer)
                fds.push_back({link.first, POLLIN, 0});
            if (::poll(fds.data(), fds.size(), 50) <= 0)
                continue;
            for (std::size_t i = 1; i < fds.size(); ++i) {
                const int fd = fds[i].fd;
                if (fds[i].revents == 0 || !peer.contains(fd))
                    continue;
                char buffer[65536];
                const ssize_t got = ::recv(fd, buffer, sizeof(buffer), 0);
                if (got <= 0 || ::send(peer[fd], buffer, std::size_t(got), MSG_NOSIGNAL) != got) {
                    drop(fd);
                } else if (clients.contains(fd)) {
                    seen.append(buffer, std::size_t(got));
                    cut = cut || seen.find("%PDF-") != std::string::npos;
                    seen.erase(0, seen.size() - std::min<std::size_t>(seen.size(), 4));
                }
            }
            if (cut && !peer.empty())
                stopService();
            while (cut && !peer.empty())
                drop(peer.begin()->first);
            if (fds[0].revents & POLLIN) {
                const int client = ::accept(listen, nullptr, nullptr);
                const int server = cut ? -1 : UnixSocket(upstream, false);
                if (server < 0) {
                    ::close(client);
                } else {
                    peer[client] = server;
                    peer[server] = client;
                    clients.insert(client);
                }
            }
        }
        while (!peer.empty())
            drop(peer.begin()->first);
    }
};

} // namespace

class PrintCupsTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().size() <= 1); }

    void printsOnePageOnTheDefaultQueue_data() {
        QTest::addColumn<QString>("depth");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("green");
        QTest::newRow("good run: green") << "6"
                                         << "41%" << true;
        QTest::newRow("failing run: red") << "10"
                                          << "20%" << false;
    }

    void printsOnePageOnTheDefaultQueue() {
        QFETCH(QString, depth);
        QFETCH(QString, result);
        QFETCH(bool, green);
        QVERIFY2(!Queue().isEmpty(),
                 "KORVANE_PRINT_QUEUE is not set: run through ctest, whose fixture adds it");
        QCOMPARE(QPrinterInfo::defaultPrinter().printerName(), Queue());
        QVERIFY(QueueIdle());
        const QStringList before = Pdfs();

        Started s(depth);
        // Only the run's own message, if any: the printing went through.
        QCOMPARE(s.Shown(true).count(QStringLiteral("frmMain:CalculateData")), 0);
        QCOMPARE(s.Result(), result);
        QStringList added;
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                added = Pdfs();
                for (const QString& old : before)
                    added.removeAll(old);
                return !added.isEmpty() && QueueIdle();
            }(),
            90000);
        QCOMPARE(added.size(), 1);
        const QString pdf = PdfDir().filePath(added[0]);
        const auto [infoCode, info] = Tool("pdfinfo", {pdf});
        QVERIFY2(infoCode == 0 && info.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(info));

        // Drawn at the printer's resolution, not a copy of the screen blown up: a screen image of the window
        // would spread its 602 pixels over the page's width at about 75 dots per inch.
        const auto [imagesCode, images] = Tool("pdfimages", {"-list", pdf});
        const QStringList rows = images.split('\n', Qt::SkipEmptyParts).mid(2);
        QVERIFY2(imagesCode == 0 && !rows.isEmpty(), qPrintable(images));
        for (const QString& row : rows) {
            const QStringList columns = row.simplified().split(' ');
            QVERIFY2(columns.size() > 12 && columns[12].toInt() >= 250, qPrintable(images));
        }

        const QString png = work_.filePath(QStringLiteral("page"));
        QCOMPARE(Tool("pdftoppm", {"-r", "50", "-singlefile", "-png", pdf, png}).first, 0);
        const QImage page(png + QStringLiteral(".png"));
        QVERIFY(!page.isNull());
        // At 50 dots per inch the result field is about 70 × 35 pixels; nothing else has its colour.
        QVERIFY2(CountNear(page, green ? kGreen : kRed, 39) > 1000, "too little of the result's colour");
        QCOMPARE(CountNear(page, green ? kRed : kGreen, 39), 0);
        // The window sits at the top of the page: the lowest quarter is blank paper.
        QCOMPARE(
            CountNear(page.copy(0, page.height() * 3 / 4, page.width(), page.height() / 4), Qt::black, 39),
            0);
    }

    void refusedJob() {
        QVERIFY2(!Queue().isEmpty(),
                 "KORVANE_PRINT_QUEUE is not set: run through ctest, whose fixture adds it");
        const QStringList before = Pdfs();
        QCOMPARE(Tool("cupsreject", {Queue()}).first, 0);
        Started s;
        QCOMPARE(Tool("cupsaccept", {Queue()}).first, 0);
        s.CheckPrinterError();
        QVERIFY(QueueIdle());
        QCOMPARE(Pdfs(), before);
    }

    // Run with CUPS_SERVER pointing nowhere, so that there is no printer at all.
    void noDefaultPrinter() {
        QVERIFY2(QPrinterInfo::defaultPrinter().isNull(),
                 "this case needs a system without a default printer");
        Started().CheckPrinterError();
    }

    // Stopped while the page is sent (stopped before, there is no default printer, as above): the user is
    // told "Printer error" once, and the window goes on working.
    void cupsdStopped() {
        PrivateCupsd cupsd;
        QVERIFY2(cupsd.started, "the test's own cupsd did not start: see the script's output above");
        const QString socket = cupsd.dir.filePath("proxy.sock");
        CuttingProxy proxy{UnixSocket(socket.toStdString(), true),
                           cupsd.dir.filePath("cups.sock").toStdString(), [&cupsd] { cupsd.Stop(); }};
        QVERIFY(proxy.listen >= 0);
        cupsSetServer(QFile::encodeName(socket).constData());
        QCOMPARE(QPrinterInfo::defaultPrinter().printerName(), QString::fromLatin1(PrivateCupsd::kQueue));

        Started s;
        QVERIFY(proxy.cut);
        s.CheckPrinterError();
        // Still usable: the next calculation shows its own result, and nothing else.
        s.Field(2)->SetText(QStringLiteral("5"));
        s.Click(QStringLiteral("cmdCalculate"));
        QCOMPARE(s.Result(), QStringLiteral("52%"));
        QCOMPARE(s.Messages().size(), std::size_t{1});
        cupsSetServer(nullptr);
    }

  private:
    QTemporaryDir work_;
};

QTEST_MAIN(PrintCupsTest)
#include "print_cups_test.moc"
