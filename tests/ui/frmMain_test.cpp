// The main window as a user meets it: start-up, typing, pasting and leaving fields, lists and tabs, switching
// languages, and the Calculate and Print runs on a printer that keeps its pages as images. Stored languages
// and site files are in frmMain_badinput_test.cpp.

#include "LayoutCheck.h"
#include "WindowHarness.h"

#include <QMenu>
#include <QTabBar>
#include <QTemporaryDir>

#include <tuple>

using namespace korvane;
using namespace korvane::ui;
using namespace korvane::ui::test;

namespace {

// The separator, the field, a text pasted past the key filter, then keys typed ('\b' is Backspace), then Tab:
// what the field shows and whether leaving it is refused with a beep and the text selected.
using Input = std::tuple<const char*, int, const char*, const char*, const char*, bool>;

// name, Print or Calculate, the language, the setup ("field=text", "tab=n", "glazing=n" or "refuse" for the
// printer); the messages ("title|text", or a number for that text under the program's title), the result
// and its colour (100% on blue before the run), and the pages printed.
using Run = std::tuple<const char*, bool, int, const char*, QStringList, const char*, QColor, int>;

} // namespace

Q_DECLARE_METATYPE(Input)
Q_DECLARE_METATYPE(Run)

class frmMainTest : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().size() <= 1); }

    // The first result, the fixed layout and the Tab order.
    void startsWithAFirstResultAndTabOrder() {
        Window s;
        QCOMPARE(s.ResultColor(), kGreen);
        QVERIFY(s.Messages().empty());
        QCOMPARE((QStringList{s.Result(), s.List(0)->currentText(), s.Field(5)->Text(), s.Field(6)->Text(),
                              s.Field(7)->Text(), s.Field(9)->Text(), QString::number(s.List(1)->ListIndex()),
                              QString::number(s.List(2)->ListIndex())}),
                 (QStringList{"69%", "Frankfurt am Main", "8,68", "50,11", "1", "80", "0", "1"}));
        QVERIFY(!s.Field(5)->isEnabled() && !s.Field(9)->isEnabled());
        QCOMPARE(s.Tabs()->SelectedItem(), 1);
        QCOMPARE(s.window->centralWidget()->size(), QSize(602, 431));
        QCOMPARE(s.window->minimumSize(), s.window->maximumSize());
        QVERIFY(!s.Find<QWidget>("optWindowSlope(1)")->isVisibleTo(s.Find<QWidget>("picWindowType(3)")));
        QVERIFY(!s.Find<QWidget>("chkDLSTime")->isVisibleTo(s.window.get()));
        s.Field(0)->setFocus();
        QTRY_VERIFY(s.Field(0)->hasFocus());
        QStringList visited;
        for (int i = 0; i < 14; ++i) {
            QWidget* focus = QApplication::focusWidget();
            visited << (qobject_cast<QTabBar*>(focus) ? QStringLiteral("tabWindowTyp") : focus->objectName());
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        QCOMPARE(visited.join(' '),
                 QStringLiteral("txtInput(0) txtInput(1) lstInput(1) txtInput(2) txtInput(3) "
                                "txtInput(4) lstInput(0) lstInput(2) tabWindowTyp "
                                "optWindowArray(0) txtInput(11) cmdCalculate cmdPrint txtInput(0)"));
    }

    void startsWithoutDefaultGeo() {
        QTemporaryDir empty;
        Window s(std::nullopt, empty.path());
        QCOMPARE(s.Shown(), QStringList{kAppTitle + '|' + Lang(1, 180)});
        QCOMPARE(s.Items(0) << QString::number(s.List(0)->ListIndex())
                            << s.Field(5)->Text() + s.Field(6)->Text() + s.Field(7)->Text(),
                 (QStringList{Lang(1, 177), QString(), "1", "000"}));
        QVERIFY(s.Result().endsWith('%'));
    }

    void fieldInput_data() {
        QTest::addColumn<Input>("row");
        const Input rows[] = {
            {",", 2, "", "2.5", "2,5", false},    {",", 3, "", "2,5", "2,5", false},
            {".", 2, "", "2,5", "2.5", false},    {".", 12, "", "1.,2", "1..2", false},
            {",", 0, "", "-8", "8", false},       {",", 4, "", "-500", "500", false},
            {",", 9, "", "-7", "7", false},       {",", 5, "", "1-2-", "1-2-", false},
            {",", 6, "", "-5,5", "-5,5", false},  {",", 7, "", "-123", "-12", false},
            {",", 4, "", "5a0 0x", "500", false}, {",", 4, "", "1234567", "123456", false},
            {",", 3, "", "12\b3", "13", false},   {",", 0, "24", "", "24", false},
            {",", 0, "25", "", "25", true},       {",", 1, "0", "", "0", false},
            {",", 1, "25", "", "25", true},       {",", 7, "-24", "", "-24", false},
            {",", 7, "24", "", "24", false},      {",", 7, "-25", "", "-25", true},
            {",", 7, "25", "", "25", true},       {",", 9, "100", "", "100", false},
            {",", 9, "101", "", "101", true},     {",", 2, "-1", "", "-1", true},
            {",", 2, "0", "", "0", false},        {",", 11, "-0,5", "", "-0,5", true},
            {",", 12, "-1", "", "-1", true},      {",", 14, "-5", "", "-5", false},
            {",", 4, "-1", "", "-1", false},      {",", 5, "-170", "", "-170", false},
            {",", 0, "", "", "", false},          {",", 2, "-1,,", "", "-1,,", false},
            {",", 3, "-", "2", "-2", true},
        };
        for (const auto& [separator, field, pasted, typed, shown, refused] : rows)
            QTest::addRow("'%s' then '%s' in %d under '%s'", pasted, typed, field, separator)
                << Input{separator, field, pasted, typed, shown, refused};
    }

    void fieldInput() {
        QFETCH(Input, row);
        const auto& [separator, field, pasted, typed, shown, refused] = row;
        Window s(std::nullopt, QString(), nullptr, separator);
        s.List(0)->SetListIndex(0); // user-defined site and glazing unlock their fields
        s.List(2)->SetListIndex(0);
        if (field >= 10 && field != 11) // on the roof panels
            s.Tabs()->setCurrentIndex(field <= 13 ? 1 : 2);
        VbTextBox* box = s.Field(field);
        box->SetText(QString(pasted));
        box->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(box->hasFocus());
        box->end(false);
        for (const QChar c : QString(typed))
            c == '\b' ? QTest::keyClick(box, Qt::Key_Backspace) : QTest::keyClicks(box, c);
        QCOMPARE(box->Text(), QString(shown));
        QTest::keyClick(box, Qt::Key_Tab);
        QTRY_COMPARE(box->hasFocus(), refused);
        if (refused)
            QCOMPARE(box->selectedText(), QString(shown));
        QCOMPARE(s.desktop.beep.count, refused ? 1 : 0);
        QCOMPARE(box->Text(), QString(shown));
        QVERIFY(s.Messages().empty());
    }

    // A user-defined site and glazing empty their fields, the period list changes nothing on the window, and
    // another language empties the user-defined glazing again.
    void userDefinedSiteAndGlazing() {
        Window s;
        s.List(0)->SetListIndex(0);
        s.List(2)->SetListIndex(0);
        QCOMPARE(s.Field(5)->Text() + s.Field(6)->Text() + s.Field(7)->Text() + s.Field(9)->Text(),
                 QString());
        s.Field(9)->SetText(QStringLiteral("65"));
        s.List(1)->SetListIndex(5);
        QCOMPARE(s.Field(5)->Text() + '|' + s.Field(9)->Text(), QStringLiteral("|65"));
        s.Key('E');
        QCOMPARE(s.List(2)->ListIndex(), 0);
        QVERIFY(s.Field(9)->Text().isEmpty() && s.Field(9)->isEnabled());
        QVERIFY(s.Messages().empty());
    }

    void languageSwitch_data() {
        QTest::addColumn<int>("language");
        for (int language = 1; language <= 6; ++language)
            QTest::addRow("Ctrl+%c", kLanguageKeys[language - 1]) << language;
    }

    void languageSwitch() {
        QFETCH(int, language);
        Window s;
        s.List(1)->SetListIndex(3);
        s.List(2)->SetListIndex(3);
        s.List(0)->SetListIndex(s.List(0)->findText(QStringLiteral("Berlin")));
        s.Tabs()->setCurrentIndex(2);
        s.Field(14)->setFocus(); // the shortcut works inside a field
        QTRY_VERIFY(s.Field(14)->hasFocus());
        s.Key(kLanguageKeys[language - 1], s.Field(14));

        QCOMPARE(gLanguage, int16_t(language));
        for (int i = 1; i <= 6; ++i)
            QCOMPARE(s.Find<VbMenuItem>(ElementName("mnuLangCmd", i))->isChecked(), i == language);
        QStringList expected;
        for (const int id : {159, 131, 128, 138, 103, 173, 177, 177, 174, 175, 176})
            expected << Lang(language, id);
        QCOMPARE((QStringList{s.Calculate(), s.Tabs()->tabText(0), s.Find<QLabel>("lblInput(17)")->text(),
                              s.Find<VbFrame>("fraRange(5)")->Caption(), s.Find<QMenu>("mnuLang")->title(),
                              s.List(1)->itemText(12), s.List(0)->itemText(0)} +
                  s.Items(2)),
                 expected);
        // Choosing the current language changes nothing; any other refills the sites with the default chosen.
        QCOMPARE(
            (QStringList{QString::number(s.List(1)->ListCount()), QString::number(s.List(1)->ListIndex()),
                         QString::number(s.List(2)->ListIndex()), s.Field(9)->Text(),
                         QString::number(s.Tabs()->SelectedItem()), s.Result(), s.List(0)->currentText()}),
            (QStringList{"13", "3", "3", "30", "3", "69%", language == 1 ? "Berlin" : "Frankfurt am Main"}));
        // Texts that are the same in every language stay as they are.
        QCOMPARE(s.Find<VbFrame>("fraRange(4)")->Caption() + ' ' + s.Find<QLabel>("lblUnit(11)")->text() +
                     ' ' + s.Find<QRadioButton>("optWindowSlope(0)")->text() + ' ' + s.window->windowTitle(),
                 QStringLiteral("Ergebnis m² 90° ") + kAppTitle);
        QVERIFY(s.Messages().empty());
        QCOMPARE(ClippedTexts(*s.window), QStringList());
    }

    void run_data() {
        QTest::addColumn<Run>("run");
        const QColor blue(Qt::blue);
        const QString noSpace = "KORVANE Energy|Data out of space";
        const QString refused = "frmMain:CalculateData|Unhandled Error\r\n482\r\nPrinter error";
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
            {"low sawtooth room", false, 1, "tab=3 15=8", {noSpace}, "0%", kRed, 0},
            {"printed", true, 1, "2=6", {}, "41%", kGreen, 1},
            {"model message, printed red after it", true, 1, "2=10", {"155"}, "20%", kRed, 1},
            {"start equals end, not printed", true, 1, "1=8", {"153"}, "100%", blue, 0},
            {"empty transmittance, not printed", true, 1, "glazing=0", {"146"}, "100%", blue, 0},
            {"refused after a good run", true, 1, "2=6 refuse", {refused}, "41%", kGreen, 0},
            {"refused after a model message", true, 1, "2=10 refuse", {"155", refused}, "20%", kRed, 0},
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
        QCOMPARE(page.image,
                 ImagePrinter::Paint(*s.window->centralWidget(), page.image.size(), page.image.rect()));
        QVERIFY(CountNear(page.image, color) > 500);
        QCOMPARE(CountNear(page.image, color == kGreen ? kRed : kGreen), 0);
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
            const QImage page = ImagePrinter::Paint(
                widget, QSize(c.printable.right() + 50, c.printable.bottom() + 50), c.printable);
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

QTEST_MAIN(frmMainTest)
#include "frmMain_test.moc"
