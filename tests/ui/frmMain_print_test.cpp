// The Calculate and Print buttons, with a printer that keeps its pages as images: the result or message of
// each run, when a page is printed and what it shows, what the user sees when the printer fails, and where
// the form lands on the page.

#include "WindowHarness.h"

#include <QPainter>

#include <algorithm>
#include <tuple>

using namespace korvane;
using namespace korvane::ui;
using namespace korvane::ui::test;

namespace {

// Pixels of one colour on a page.
int CountColor(const QImage& image, const QColor& color) {
    const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());
    return int(std::count(pixels, pixels + image.width() * image.height(), color.rgb()));
}

// The form painted on a white page as the printer paints it.
QImage Painted(QWidget& form, QSize size, QRect printable) {
    QImage page(size, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    PaintForm(form, painter, QRectF(printable));
    painter.end();
    return page;
}

const QString kNoSpace = QStringLiteral("KORVANE Energy|Data out of space");
const QString kRefused = QStringLiteral("frmMain:CalculateData|Unhandled Error\r\n482\r\nPrinter error");

// name, Print or Calculate, the language, the setup ("field=text", "tab=n", "glazing=n" or "refuse" for the
// printer); the messages ("title|text", or a number for that text under the program's title), the result
// and its colour (100% on blue before the run), and the pages printed.
using Run = std::tuple<const char*, bool, int, const char*, QStringList, const char*, QColor, int>;

} // namespace

Q_DECLARE_METATYPE(Run)

class frmMainPrintTest : public QObject {
    Q_OBJECT

  private slots:

    void run_data() {
        QTest::addColumn<Run>("run");
        const QColor blue(Qt::blue);
        const Run runs[] = {
            {"0 to 24", false, 1, "0=0 1=24", {}, "31%", kGreen, 0},
            {"start equals end", false, 1, "1=8", {"153"}, "100%", blue, 0},
            {"start after end, English", false, 2, "0=17 1=8", {"153"}, "100%", blue, 0},
            {"start empty", false, 1, "0=", {"146"}, "100%", blue, 0},
            {"end empty is not 153", false, 1, "1=", {"146"}, "100%", blue, 0},
            {"width empty, English", false, 2, "3=", {"146"}, "100%", blue, 0},
            {"width unreadable", false, 1, "3=5,,", {"146"}, "100%", blue, 0},
            {"window height empty", false, 1, "11=", {"146"}, "100%", blue, 0},
            // Each tab reads its own panel only.
            {"normal window", false, 1, "tab=1 10= 12= 13= 14= 15= 16=", {}, "69%", kGreen, 0},
            {"flat roof", false, 1, "tab=2 11= 14= 15= 16=", {}, "88%", kGreen, 0},
            {"sawtooth roof, printed", true, 1, "tab=3 10= 11= 12= 13=", {}, "54%", kGreen, 1},
            {"low sawtooth room", false, 1, "tab=3 15=8", {kNoSpace}, "0%", kRed, 0},
            {"printed", true, 1, "2=6", {}, "41%", kGreen, 1},
            {"model message, printed red after it", true, 1, "2=10", {"155"}, "20%", kRed, 1},
            {"start equals end, not printed", true, 1, "1=8", {"153"}, "100%", blue, 0},
            {"empty transmittance, not printed", true, 1, "glazing=0", {"146"}, "100%", blue, 0},
            {"refused after a good run", true, 1, "2=6 refuse", {kRefused}, "41%", kGreen, 0},
            {"refused after a model message", true, 1, "2=10 refuse", {"155", kRefused}, "20%", kRed, 0},
        };
        for (const Run& r : runs)
            QTest::newRow(std::get<0>(r)) << r;
    }

    void run() {
        QFETCH(Run, run);
        const auto& [name, print, language, setup, messages, result, color, pages] = run;
        Window s(QString::number(language));
        // A recognisable display shows whether the run reached it.
        s.Find<QLabel>("lblResult")->setText(QStringLiteral("100%"));
        s.Find<VbPictureBox>("picResult")->SetBackColor(Qt::blue);
        for (const QString& step : QString(setup).split(' ')) {
            const QString key = step.section('=', 0, 0), value = step.section('=', 1);
            if (key == "tab")
                s.ClickTab(value.toInt());
            else if (key == "glazing")
                s.List(2)->SetListIndex(value.toInt());
            else if (key == "refuse")
                s.desktop.printer.refuse = true;
            else
                s.Field(key.toInt())->SetText(value);
        }
        const int tab = s.Tabs()->SelectedItem();
        for (int panel = 1; panel <= 3; ++panel)
            QCOMPARE(s.Find<QWidget>(ElementName("picWindowType", panel))->isVisible(), panel == tab);
        s.Click(print ? "cmdPrint" : "cmdCalculate");

        QStringList shown = messages;
        for (QString& m : shown)
            m = m.contains('|') ? m : kAppTitle + '|' + Lang(language, m.toInt());
        QCOMPARE(s.Shown(), shown);
        for (const auto& m : s.Messages())
            QVERIFY(m.icon == QMessageBox::Warning && m.buttons == QMessageBox::Ok);
        if (shown.contains(kAppTitle + '|' + Lang(language, 146)))
            QTRY_VERIFY(s.Field(0)->hasFocus());
        QCOMPARE(s.Result(), QString(result));
        QCOMPARE(s.ResultColor(), color);
        QCOMPARE(s.desktop.printer.pages.size(), size_t(pages));
        if (pages == 0)
            return;

        const ImagePrinter::Page& page = s.desktop.printer.pages[0];
        // Printed after the run's message had been closed: the client area, without menu bar or frame, as the
        // run left it, with the panel of the chosen tab and the coloured result.
        QCOMPARE(page.messagesShownBefore, s.Messages().size());
        QCOMPARE(page.image, Painted(*s.window->centralWidget(), page.image.size(), page.image.rect()));
        QVERIFY(CountColor(page.image, color) > 500);
        QCOMPARE(CountColor(page.image, color == kGreen ? kRed : kGreen), 0);
    }

    // The form takes the full printable width at the top, or, when it would run past the bottom, the full
    // height, centred across.
    void pagePlacement() {
        const struct {
            QSize form;
            QRect printable, expected;
        } cases[] = {{{602, 431}, {30, 40, 1204, 1700}, {30, 40, 1204, 862}}, // the main window, portrait
                     {{400, 100}, {0, 0, 1000, 1000}, {0, 0, 1000, 250}},     // enlarged by a fraction
                     {{100, 400}, {0, 10, 1000, 800}, {400, 10, 200, 800}}};  // a tall form
        for (const auto& c : cases) {
            QWidget widget;
            widget.resize(c.form);
            widget.setStyleSheet(QStringLiteral("background: black"));
            widget.setAttribute(Qt::WA_StyledBackground);
            const QImage page =
                Painted(widget, QSize(c.printable.right() + 50, c.printable.bottom() + 50), c.printable);
            QRect ink; // every pixel that is not white
            for (int y = 0; y < page.height(); ++y)
                for (int x = 0; x < page.width(); ++x)
                    ink |= page.pixel(x, y) != qRgb(255, 255, 255) ? QRect(x, y, 1, 1) : QRect();
            // Edges may be shared with the neighbouring pixel.
            const QMargins pixel(1, 1, 1, 1);
            QVERIFY2(ink.marginsAdded(pixel).contains(c.expected) &&
                         c.expected.marginsAdded(pixel).contains(ink),
                     qPrintable(QDebug::toString(ink)));
        }
    }
};

QTEST_MAIN(frmMainPrintTest)
#include "frmMain_print_test.moc"
