// Printing for real: the Print button sends the window to the default CUPS queue, a CUPS-PDF printer that the
// test fixture set up, and the page that comes out is read back with poppler's tools. Without a default
// printer, or with a queue that refuses jobs, the user is told "Printer error".
//
// KORVANE_PRINT_QUEUE names the queue and KORVANE_PDF_DIR the folder its PDFs land in. The cases where the
// print service stops run a cupsd of their own (KORVANE_CUPSD_SCRIPT), never the system's.

#include "WindowHarness.h"

#include <QApplication>
#include <QDir>
#include <QPrinterInfo>
#include <QProcess>
#include <QtTest>

#include <cups/cups.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

using namespace korvane;
using namespace korvane::ui;

namespace {

constexpr int kJobTimeoutMs = 90000;

struct Run {
    int exitCode = -1;
    QString output;
};

// Runs a tool to its end, at most 60 seconds.
Run Tool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ended = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    if (!ended)
        process.kill();
    return {ended ? process.exitCode() : -1, QString::fromLocal8Bit(process.readAll())};
}

QString Queue() {
    return qEnvironmentVariable("KORVANE_PRINT_QUEUE");
}

QStringList Pdfs() {
    return QDir(qEnvironmentVariable("KORVANE_PDF_DIR")).entryList({QStringLiteral("*.pdf")}, QDir::Files);
}

// True once the queue holds no job that is not completed.
bool QueueIdle() {
    const Run jobs = Tool(QStringLiteral("lpstat"), {QStringLiteral("-o"), Queue()});
    return jobs.exitCode == 0 && jobs.output.trimmed().isEmpty();
}

// The window printing on the desktop's real printer, its depth field set: 6 m gives 41%.
struct Started : test::Window {
    static inline QtPrinter printer;
    explicit Started(const QString& depth = QStringLiteral("6"))
        : test::Window(std::nullopt, QString(), nullptr, ",", &printer) {
        Field(2)->SetText(depth);
    }
    void Print() const { Click(QStringLiteral("cmdPrint")); }
    // What the user is told when printing fails: one "Printer error" box, the run's result still shown.
    void CheckPrinterError() {
        QCOMPARE(Shown(), QStringList{"frmMain:CalculateData|Unhandled Error\r\n482\r\nPrinter error"});
        QCOMPARE(Messages()[0].icon, QMessageBox::Warning);
        QCOMPARE(Result(), QStringLiteral("41%"));
    }
};

// A cupsd of the test's own in a short folder under /tmp (socket paths are limited to 108 bytes), with one
// queue, its default, whose jobs go nowhere. The script tells on stderr why it could not start.
struct PrivateCupsd {
    static constexpr const char* kQueue = "KorvaneStopped";
    QTemporaryDir dir{QStringLiteral("/tmp/korvane-cupsd-XXXXXX")}; // not TMPDIR, which may be long
    bool started = Script("start") == 0;

    ~PrivateCupsd() { Stop(); }
    // As the service is stopped: SIGTERM, then wait for the end. Safe from any thread, and twice.
    void Stop() const { Script("stop"); }
    QString Socket() const { return dir.filePath(QStringLiteral("cups.sock")); }
    int Script(const char* action) const {
        const std::string command = "bash '" + qEnvironmentVariable("KORVANE_CUPSD_SCRIPT").toStdString() +
                                    "' " + action + " '" + dir.path().toStdString() + "' " + kQueue + " " +
                                    std::to_string(::getpid());
        return std::system(command.c_str());
    }
};

// A Unix socket listening on, or connected to, path; -1 when that fails or there is no path.
int UnixSocket(const std::string& path, bool listen) {
    if (path.empty())
        return -1;
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

// Stands between the client library and the private cupsd, passing everything on, until the first bytes of a
// PDF go through: then it stops the cupsd and drops every connection, so the service ends while the page is
// being sent. Later connections are accepted and closed at once, as a dead server's would fail.
class CuttingProxy {
  public:
    CuttingProxy(const QString& path, const QString& upstream, std::function<void()> stopService)
        : listen_(UnixSocket(path.toStdString(), true)), upstream_(upstream.toStdString()),
          stopService_(std::move(stopService)), thread_([this] { Run(); }) {}
    ~CuttingProxy() {
        done_ = true;
        thread_.join();
        ::close(listen_);
    }
    bool Listening() const { return listen_ >= 0; }
    bool Cut() const { return cut_; }

  private:
    void Run() {
        std::map<int, int> peer; // each open socket and the one its bytes go to
        std::set<int> clients;
        std::string seen; // the tail of what clients sent, so that a marker split between reads is found
        const auto drop = [&](int fd) {
            const int other = peer[fd];
            for (const int end : {fd, other}) {
                ::close(end);
                peer.erase(end);
                clients.erase(end);
            }
        };
        while (!done_ && listen_ >= 0) {
            std::vector<pollfd> fds{{listen_, POLLIN, 0}};
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
                if (got <= 0 ||
                    ::send(peer[fd], buffer, static_cast<std::size_t>(got), MSG_NOSIGNAL) != got) {
                    drop(fd);
                } else if (clients.contains(fd)) {
                    seen.append(buffer, static_cast<std::size_t>(got));
                    cut_ = cut_ || seen.find("%PDF-") != std::string::npos;
                    seen.erase(0, seen.size() - std::min<std::size_t>(seen.size(), 4));
                }
            }
            if (cut_ && !peer.empty()) {
                stopService_();
                while (!peer.empty())
                    drop(peer.begin()->first);
            }
            if (fds[0].revents & POLLIN) {
                const int client = ::accept(listen_, nullptr, nullptr);
                const int server = cut_ ? -1 : UnixSocket(upstream_, false);
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

    int listen_;
    std::string upstream_;
    std::function<void()> stopService_;
    std::atomic<bool> done_{false};
    std::atomic<bool> cut_{false};
    std::thread thread_;
};

// Pixels close to a colour, allowing for the colour conversions on the way through CUPS and Ghostscript.
int CountNear(const QImage& image, const QColor& color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += qAbs(c.red() - color.red()) < 40 && qAbs(c.green() - color.green()) < 40 &&
                             qAbs(c.blue() - color.blue()) < 40
                         ? 1
                         : 0;
        }
    }
    return count;
}

} // namespace

class PrintCupsTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().size() <= 1); }
    void printsOnePageOnTheDefaultQueue_data();
    void printsOnePageOnTheDefaultQueue();
    void refusedJob();
    void noDefaultPrinter();
    void cupsdStopped_data();
    void cupsdStopped();

  private:
    QTemporaryDir work_;
};

void PrintCupsTest::printsOnePageOnTheDefaultQueue_data() {
    QTest::addColumn<QString>("depth");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QColor>("otherColor");
    QTest::newRow("good run: green") << "6"
                                     << "41%" << test::kGreen << test::kRed;
    QTest::newRow("failing run: red") << "10"
                                      << "20%" << test::kRed << test::kGreen;
}

void PrintCupsTest::printsOnePageOnTheDefaultQueue() {
    QFETCH(QString, depth);
    QFETCH(QString, result);
    QFETCH(QColor, color);
    QFETCH(QColor, otherColor);
    QVERIFY2(!Queue().isEmpty(), "KORVANE_PRINT_QUEUE is not set: run through ctest, whose fixture adds it");
    QCOMPARE(QPrinterInfo::defaultPrinter().printerName(), Queue());
    QVERIFY(QueueIdle());
    const QStringList before = Pdfs();

    Started s(depth);
    s.Print();
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
        kJobTimeoutMs);
    QCOMPARE(added.size(), 1);
    const QString pdf = QDir(qEnvironmentVariable("KORVANE_PDF_DIR")).filePath(added[0]);

    const Run info = Tool(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY2(info.exitCode == 0 && info.output.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))),
             qPrintable(info.output));

    // Drawn at the printer's resolution, not a copy of the screen blown up: a screen image of the window
    // would spread its 602 pixels over the page's width at about 75 dots per inch.
    const Run images = Tool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    const QStringList rows = images.output.split('\n', Qt::SkipEmptyParts).mid(2);
    QVERIFY2(images.exitCode == 0 && !rows.isEmpty(), qPrintable(images.output));
    for (const QString& row : rows) {
        const QStringList columns = row.simplified().split(' ');
        QVERIFY2(columns.size() > 12 && columns[12].toInt() >= 250, qPrintable(images.output));
    }

    const QString png = work_.filePath(QStringLiteral("page"));
    QCOMPARE(
        Tool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("50"),
                                          QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, png})
            .exitCode,
        0);
    const QImage page(png + QStringLiteral(".png"));
    QVERIFY(!page.isNull());
    // At 50 dots per inch the result field is about 70 × 35 pixels; nothing else has its colour.
    QVERIFY2(CountNear(page, color) > 1000, qPrintable(QString::number(CountNear(page, color))));
    QCOMPARE(CountNear(page, otherColor), 0);
    // The window sits at the top of the page: the lowest quarter is blank paper.
    const QImage lower = page.copy(0, page.height() * 3 / 4, page.width(), page.height() / 4);
    QCOMPARE(CountNear(lower, Qt::black), 0);
}

void PrintCupsTest::refusedJob() {
    QVERIFY2(!Queue().isEmpty(), "KORVANE_PRINT_QUEUE is not set: run through ctest, whose fixture adds it");
    const QStringList before = Pdfs();
    QCOMPARE(Tool(QStringLiteral("cupsreject"), {Queue()}).exitCode, 0);
    Started s;
    s.Print();
    QCOMPARE(Tool(QStringLiteral("cupsaccept"), {Queue()}).exitCode, 0);
    s.CheckPrinterError();
    QVERIFY(QueueIdle());
    QCOMPARE(Pdfs(), before);
}

// Run with CUPS_SERVER pointing nowhere, so that there is no printer at all.
void PrintCupsTest::noDefaultPrinter() {
    QVERIFY2(QPrinterInfo::defaultPrinter().isNull(), "this case needs a system without a default printer");
    Started s;
    s.Print();
    s.CheckPrinterError();
}

void PrintCupsTest::cupsdStopped_data() {
    QTest::addColumn<bool>("midJob");
    QTest::newRow("stopped before Print") << false;
    QTest::newRow("stopped while the page is sent") << true;
}

// The user is told "Printer error" once, and the window goes on working.
void PrintCupsTest::cupsdStopped() {
    QFETCH(bool, midJob);
    PrivateCupsd cupsd;
    QVERIFY2(cupsd.started, "the test's own cupsd did not start: see the script's output above");
    const QString proxyPath = cupsd.dir.filePath(QStringLiteral("proxy.sock"));
    CuttingProxy proxy(midJob ? proxyPath : QString(), cupsd.Socket(), [&cupsd] { cupsd.Stop(); });
    QVERIFY(proxy.Listening() == midJob);
    cupsSetServer(QFile::encodeName(midJob ? proxyPath : cupsd.Socket()).constData());
    QCOMPARE(QPrinterInfo::defaultPrinter().printerName(), QString::fromLatin1(PrivateCupsd::kQueue));

    Started s;
    if (!midJob)
        cupsd.Stop();
    s.Print();
    QCOMPARE(proxy.Cut(), midJob);
    s.CheckPrinterError();
    // Still usable: the next calculation shows its own result, and nothing else.
    s.Field(2)->SetText(QStringLiteral("5"));
    s.Click(QStringLiteral("cmdCalculate"));
    QCOMPARE(s.Result(), QStringLiteral("52%"));
    QCOMPARE(s.Messages().size(), std::size_t{1});
    cupsSetServer(nullptr);
}

QTEST_MAIN(PrintCupsTest)
#include "print_cups_test.moc"
