// The Calculate and Print buttons, with a printer that keeps its pages as images: the result or message of
// each run, when a page is printed and what it shows, what the user sees when the printer fails, and where
// the form lands on the page.

#include "WindowHarness.h"

#include <QPainter>

using namespace korvane;
using namespace korvane::ui;
using namespace korvane::ui::test;

namespace {

// Pixels of one colour on a page.
int CountColor(const QImage& image, const QColor& color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == color ? 1 : 0;
    return count;
}

const QString kPrinterError = QStringLiteral("frmMain:CalculateData|Unhandled Error\r\n482\r\nPrinter error");

} // namespace

class frmMainPrintTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        gLanguage = 0;
        gDecimalSeparator = std::string(1, ',');
    }
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().size() <= 1); }

    void run_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("setup"); // "field=text", "tab=n", "glazing=n" or "printer=refuse"
        QTest::addColumn<QStringList>(
            "shown");                        // "title|text"; a number is that text under the program's title
        QTest::addColumn<QString>("result"); // 100% on blue is the display before the run
        QTest::addColumn<QColor>("color");
        QTest::addColumn<int>("pages");
        const QString calc = "cmdCalculate", print = "cmdPrint";
        const QStringList none;
        const QColor blue(Qt::blue);
        QTest::newRow("0 to 24") << calc << 1 << QStringList{"0=0", "1=24"} << none << "31%" << kGreen << 0;
        QTest::newRow("start equals end")
            << calc << 1 << QStringList{"1=8"} << QStringList{"153"} << "100%" << blue << 0;
        QTest::newRow("start after end, English")
            << calc << 2 << QStringList{"0=17", "1=8"} << QStringList{"153"} << "100%" << blue << 0;
        QTest::newRow("start empty") << calc << 1 << QStringList{"0="} << QStringList{"146"} << "100%" << blue
                                     << 0;
        QTest::newRow("end empty is not 153")
            << calc << 1 << QStringList{"1="} << QStringList{"146"} << "100%" << blue << 0;
        QTest::newRow("width empty, English")
            << calc << 2 << QStringList{"3="} << QStringList{"146"} << "100%" << blue << 0;
        QTest::newRow("width unreadable")
            << calc << 1 << QStringList{"3=5,,"} << QStringList{"146"} << "100%" << blue << 0;
        QTest::newRow("window height empty")
            << calc << 1 << QStringList{"11="} << QStringList{"146"} << "100%" << blue << 0;
        // Each tab reads its own panel only.
        QTest::newRow("normal window")
            << calc << 1 << QStringList{"tab=1", "10=", "12=", "13=", "14=", "15=", "16="} << none << "69%"
            << kGreen << 0;
        QTest::newRow("flat roof") << calc << 1 << QStringList{"tab=2", "11=", "14=", "15=", "16="} << none
                                   << "88%" << kGreen << 0;
        QTest::newRow("sawtooth roof, printed")
            << print << 1 << QStringList{"tab=3", "10=", "11=", "12=", "13="} << none << "54%" << kGreen << 1;
        QTest::newRow("sawtooth roof, low room")
            << calc << 1 << QStringList{"tab=3", "15=8"} << QStringList{kAppTitle + "|Data out of space"}
            << "0%" << kRed << 0;
        QTest::newRow("printed") << print << 1 << QStringList{"2=6"} << none << "41%" << kGreen << 1;
        QTest::newRow("model message, printed red after it")
            << print << 1 << QStringList{"2=10"} << QStringList{"155"} << "20%" << kRed << 1;
        QTest::newRow("start equals end, not printed")
            << print << 1 << QStringList{"1=8"} << QStringList{"153"} << "100%" << blue << 0;
        QTest::newRow("empty transmittance, not printed")
            << print << 1 << QStringList{"glazing=0"} << QStringList{"146"} << "100%" << blue << 0;
        QTest::newRow("printer refuses after a good run")
            << print << 1 << QStringList{"2=6", "printer=refuse"} << QStringList{kPrinterError} << "41%"
            << kGreen << 0;
        QTest::newRow("printer refuses after a model message")
            << print << 1 << QStringList{"2=10", "printer=refuse"} << QStringList{"155", kPrinterError}
            << "20%" << kRed << 0;
    }

    void run() {
        QFETCH(QString, button);
        QFETCH(int, language);
        QFETCH(QStringList, setup);
        QFETCH(QStringList, shown);
        QFETCH(QString, result);
        QFETCH(QColor, color);
        QFETCH(int, pages);
        Window s(QString::number(language));
        // A recognisable display shows whether the run reached it.
        s.Find<QLabel>("lblResult")->setText(QStringLiteral("100%"));
        s.Find<VbPictureBox>("picResult")->SetBackColor(Qt::blue);
        for (const QString& step : setup) {
            const QString name = step.section('=', 0, 0), value = step.section('=', 1);
            if (name == "tab")
                s.ClickTab(value.toInt());
            else if (name == "glazing")
                s.List(2)->SetListIndex(value.toInt());
            else if (name == "printer")
                s.desktop.printer.refuse = true;
            else
                s.Field(name.toInt())->SetText(value);
        }
        const int tab = s.Tabs()->SelectedItem();
        for (int panel = 1; panel <= 3; ++panel)
            QCOMPARE(s.Find<QWidget>(ElementName("picWindowType", panel))->isVisible(), panel == tab);
        s.Click(button);

        for (QString& m : shown)
            m = m.contains('|') ? m : kAppTitle + '|' + Lang(language, m.toInt());
        QCOMPARE(s.Shown(), shown);
        for (const auto& m : s.Messages())
            QVERIFY(m.icon == QMessageBox::Warning && m.buttons == QMessageBox::Ok);
        if (shown.contains(kAppTitle + '|' + Lang(language, 146)))
            QTRY_VERIFY(s.Field(0)->hasFocus());
        QCOMPARE(s.Result(), result);
        QCOMPARE(s.ResultColor(), color);
        QCOMPARE(s.desktop.printer.pages.size(), size_t(pages));
        if (pages == 0)
            return;

        const ImagePrinter::Page& page = s.desktop.printer.pages[0];
        // The client area, without menu bar or frame, after the run's message had been closed.
        QCOMPARE(page.form, s.window->centralWidget());
        QCOMPARE(page.messagesShownBefore, s.Messages().size());
        // The page shows the window as the run left it: the panel of the chosen tab and the coloured result.
        QImage now(page.image.size(), QImage::Format_RGB32);
        now.fill(Qt::white);
        QPainter painter(&now);
        PaintForm(*s.window->centralWidget(), painter, QRectF(now.rect()));
        painter.end();
        QCOMPARE(page.image, now);
        QVERIFY(CountColor(page.image, color) > 500);
        QCOMPARE(CountColor(page.image, color == kGreen ? kRed : kGreen), 0);
    }

    void pagePlacement_data() {
        QTest::addColumn<QSize>("form");
        QTest::addColumn<QRect>("printable");
        QTest::addColumn<QRect>("expected");
        // The main window's client area is wider than high: it takes the full printable width, at the top.
        QTest::newRow("wide form on a portrait page")
            << QSize(602, 431) << QRect(30, 40, 1204, 1700) << QRect(30, 40, 1204, 862);
        QTest::newRow("enlarged by a fraction")
            << QSize(400, 100) << QRect(0, 0, 1000, 1000) << QRect(0, 0, 1000, 250);
        // A form that would run past the bottom fits the height instead, centred across.
        QTest::newRow("tall form") << QSize(100, 400) << QRect(0, 10, 1000, 800) << QRect(400, 10, 200, 800);
    }

    void pagePlacement() {
        QFETCH(QSize, form);
        QFETCH(QRect, printable);
        QFETCH(QRect, expected);
        QWidget widget;
        widget.resize(form);
        widget.setStyleSheet(QStringLiteral("background: black"));
        widget.setAttribute(Qt::WA_StyledBackground);
        QImage page(printable.right() + 50, printable.bottom() + 50, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        PaintForm(widget, painter, QRectF(printable));
        painter.end();
        QRect ink; // every pixel that is not white
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                if (page.pixel(x, y) != qRgb(255, 255, 255))
                    ink |= QRect(x, y, 1, 1);
        // Edges may be shared with the neighbouring pixel.
        QVERIFY2(qAbs(ink.left() - expected.left()) <= 1 && qAbs(ink.top() - expected.top()) <= 1 &&
                     qAbs(ink.right() - expected.right()) <= 1 && qAbs(ink.bottom() - expected.bottom()) <= 1,
                 qPrintable(QDebug::toString(ink)));
    }
};

QTEST_MAIN(frmMainPrintTest)
#include "frmMain_print_test.moc"
