// Printing for real on the CUPS-PDF queue the fixture set up (KORVANE_PRINT_QUEUE, PDFs in KORVANE_PDF_DIR),
// read back with poppler's tools; and "Printer error" without a printer or on refusal.

#include "WindowHarness.h"

#include <QDir>
#include <QPrinterInfo>

using namespace korvane;
using namespace korvane::ui;
using namespace korvane::ui::test;

namespace {

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

} // namespace

class PrintCupsTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().size() <= 1); }

    void printsOnePageOnTheDefaultQueue_data() {
        QTest::addColumn<QString>("depth");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("green");
        QTest::newRow("good run: green") << QStringLiteral("6") << QStringLiteral("41%") << true;
        QTest::newRow("failing run: red") << QStringLiteral("10") << QStringLiteral("20%") << false;
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

    void refusedJob() { // after the queue was checked above
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

  private:
    QTemporaryDir work_;
};

QTEST_MAIN(PrintCupsTest)
#include "print_cups_test.moc"
