// The Print button with a printer that keeps its pages as images: when a page is printed, what it shows, and
// what the user sees when the printer fails.

#include "FakeSeams.h"
#include "VbControls.h"
#include "clsLocalInfo.h"
#include "frmMain.h"
#include "modLangConstants.h"

#include <QApplication>
#include <QMainWindow>
#include <QtTest>

#include <memory>

using namespace korvane;
using namespace korvane::ui;

namespace {

QString Lang(int baseId) {
    const auto entry = FindLangEntry(baseId);
    return QString::fromUtf8(entry->data(), static_cast<qsizetype>(entry->size()));
}

const QColor kGreen(0, 192, 0);
const QColor kRed(255, 0, 0);

struct Started {
    test::FakeDesktop desktop;
    std::unique_ptr<frmMain> window;

    Started() {
        window = std::make_unique<frmMain>(desktop.seams());
        window->Load();
        window->show();
    }
    template <class T> T* Find(const QString& name) const {
        T* found = window->findChild<T*>(name);
        if (found == nullptr)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    VbTextBox* Field(int i) const { return Find<VbTextBox>(ElementName("txtInput", i)); }
    QString Result() const { return Find<QLabel>("lblResult")->text(); }
    QColor ResultColor() const { return Find<VbPictureBox>("picResult")->BackColor(); }
    void Click(const char* button) const { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
    std::vector<test::ImagePrinter::Page>& Pages() { return desktop.printer.pages; }
};

// Pixels of one colour on a page.
int CountColor(const QImage& image, const QColor& color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == color ? 1 : 0;
    return count;
}

// The smallest rectangle holding every pixel that is not white.
QRect InkBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace

class frmMainPrintTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void printRun_data();
    void printRun();
    void printerFailure_data();
    void printerFailure();
    void pagePlacement_data();
    void pagePlacement();
};

void frmMainPrintTest::init() {
    gLanguage = 0;
    gDecimalSeparator = std::string(1, ',');
}

void frmMainPrintTest::cleanup() {
    QTRY_VERIFY(QApplication::topLevelWidgets().size() <= 1);
}

void frmMainPrintTest::printRun_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("glazing");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("result"); // empty: the red field of a failed run

    // The first result is 69% on green; rows that print nothing leave it so.
    QTest::newRow("valid inputs") << "cmdPrint" << 2 << "6" << 1 << 1 << 1 << ""
                                  << "41%";
    QTest::newRow("sawtooth tab") << "cmdPrint" << -1 << "" << 3 << 1 << 1 << ""
                                  << "54%";
    QTest::newRow("model message: printed red after the message")
        << "cmdPrint" << 2 << "10" << 1 << 1 << 1 << Lang(155) << "";
    QTest::newRow("start equals end") << "cmdPrint" << 1 << "8" << 1 << 1 << 0 << Lang(153) << "69%";
    QTest::newRow("empty transmittance") << "cmdPrint" << -1 << "" << 1 << 0 << 0 << Lang(146) << "69%";
    QTest::newRow("calculate never prints") << "cmdCalculate" << 2 << "6" << 1 << 1 << 0 << ""
                                            << "41%";
}

void frmMainPrintTest::printRun() {
    QFETCH(QString, button);
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(int, tab);
    QFETCH(int, glazing);
    QFETCH(int, pages);
    QFETCH(QString, message);
    QFETCH(QString, result);
    const QColor color = result.isEmpty() ? kRed : kGreen;

    Started s;
    if (field >= 0)
        s.Field(field)->SetText(text);
    s.Find<VbTabStrip>("tabWindowTyp")->setCurrentIndex(tab - 1);
    s.Find<VbComboBox>(ElementName("lstInput", 2))->SetListIndex(glazing);
    s.Click(qPrintable(button));

    if (message.isEmpty()) {
        QVERIFY(s.desktop.messages.shown.empty());
    } else {
        QCOMPARE(s.desktop.messages.shown.size(), size_t(1));
        QVERIFY2(s.desktop.messages.shown[0].text.startsWith(message),
                 qPrintable(s.desktop.messages.shown[0].text));
    }
    if (!result.isEmpty())
        QCOMPARE(s.Result(), result);
    QCOMPARE(s.ResultColor(), color);
    QCOMPARE(s.Pages().size(), size_t(pages));
    if (pages == 0)
        return;

    const test::ImagePrinter::Page& page = s.Pages()[0];
    // The client area, without menu bar or frame, after the run's message had been closed.
    QCOMPARE(page.form, s.window->centralWidget());
    QCOMPARE(page.messagesShownBefore, s.desktop.messages.shown.size());
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

void frmMainPrintTest::printerFailure_data() {
    QTest::addColumn<QString>("depth");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QColor>("color");
    QTest::newRow("after a good run") << "6" << QStringList{"frmMain:CalculateData"} << kGreen;
    QTest::newRow("after a model message")
        << "10" << QStringList{"KORVANE Energy", "frmMain:CalculateData"} << kRed;
}

void frmMainPrintTest::printerFailure() {
    QFETCH(QString, depth);
    QFETCH(QStringList, titles);
    QFETCH(QColor, color);

    Started s;
    s.desktop.printer.refuse = true;
    s.Field(2)->SetText(depth);
    s.Click("cmdPrint");

    QStringList shownTitles;
    for (const auto& shown : s.desktop.messages.shown)
        shownTitles << shown.title;
    QCOMPARE(shownTitles, titles);
    const test::ShownMessage& report = s.desktop.messages.shown.back();
    QCOMPARE(report.text, QStringLiteral("Unhandled Error\r\n482\r\nPrinter error"));
    QCOMPARE(report.icon, QMessageBox::Warning);
    QCOMPARE(report.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // The run's own result stays on the window.
    QCOMPARE(s.ResultColor(), color);
    QVERIFY(s.Result() != QStringLiteral("69%"));
    QVERIFY(s.Pages().empty());
}

void frmMainPrintTest::pagePlacement_data() {
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

void frmMainPrintTest::pagePlacement() {
    QFETCH(QSize, form);
    QFETCH(QRect, printable);
    QFETCH(QRect, expected);

    QWidget widget;
    widget.resize(form);
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, Qt::black);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);

    QImage page(printable.right() + 50, printable.bottom() + 50, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    PaintForm(widget, painter, QRectF(printable));
    painter.end();
    const QRect ink = InkBounds(page);
    // Edges may be shared with the neighbouring pixel.
    QVERIFY2(qAbs(ink.left() - expected.left()) <= 1 && qAbs(ink.top() - expected.top()) <= 1 &&
                 qAbs(ink.right() - expected.right()) <= 1 && qAbs(ink.bottom() - expected.bottom()) <= 1,
             qPrintable(QDebug::toString(ink)));
}

QTEST_MAIN(frmMainPrintTest)
#include "frmMain_print_test.moc"
