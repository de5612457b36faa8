// The main window as a user meets it: start-up, fields, lists, tabs, languages, Calculate and Print on a
// printer that keeps its pages as images, site files and stored settings good and bad, and seeded random use.

#include "LayoutCheck.h"
#include "WindowHarness.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <random>
#include <tuple>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

using namespace korvane;
using namespace korvane::ui;
using namespace korvane::ui::test;

namespace {

// The separator, the field, a text pasted past the key filter, then keys typed ('\b' is Backspace), then Tab:
// what the field shows and whether leaving it is refused with a beep and the text selected.
using Input = std::tuple<const char*, int, const char*, const char*, const char*, bool>;

// name, Print?, language, setup ("field=text", "tab=n", "glazing=n", "refuse": the printer does); messages
// ("title|text", or the number of a text under the program's title), result, colour, pages printed.
using Run = std::tuple<const char*, bool, int, const char*, QStringList, const char*, QColor, int>;

const QString e75 = QStringLiteral("Unhandled Error\r\n75\r\nPath/File access error");

QByteArray Junk(qsizetype size) {
    QByteArray bytes(size, '\0');
    QRandomGenerator(7).generate(bytes.begin(), bytes.end());
    return bytes;
}

// The site list, its selection and the three site fields.
QStringList SiteState(const Window& s) {
    QStringList state = s.Items(0) << QString::number(s.List(0)->ListIndex());
    for (const int field : {5, 6, 7})
        state << s.Field(field)->Text();
    return state;
}

// Root passes every permission bit; without these capabilities this thread meets them as any user does.
class ScopedPermissionsApply {
#ifdef Q_OS_LINUX
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool active_ = syscall(SYS_capget, &header_, saved_) == 0 && Drop();

    bool Drop() {
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
            reduced[cap / 32].effective &= ~(1u << (cap % 32));
        return syscall(SYS_capset, &header_, reduced) == 0;
    }

  public:
    ~ScopedPermissionsApply() {
        if (active_)
            syscall(SYS_capset, &header_, saved_);
    }
#endif
};

// Where a site file or the settings file is, or that no file was chosen.
enum Place { Missing, File, Folder, FolderReadOnly, FileReadOnly, FolderUnderAFile, Cancelled };

// name, content, place (Missing: gone after the dialog), message as "title|text", the site list, selection
// and fields after it (none: all kept).
using SiteFile = std::tuple<const char*, QByteArray, Place, QString, QStringList>;
// name, configuration bytes, place, language chosen by Ctrl+key (0: none), closed by the menu (or the frame);
// language at the start, titles and first text of its messages, saving fails, language stored after it.
using Stored =
    std::tuple<const char*, QByteArray, Place, int, bool, int, QStringList, QString, bool, QString>;

constexpr int kActions = 600;
constexpr int kFields[] = {0, 1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 16};
// A refused field takes the focus back once: out, in elsewhere, out again, back in.
constexpr int kMaxFocusChangesPerAction = 8;
// Random texts: mostly digits and separators, with signs, exponents, blanks and foreign marks.
const QString kPool = QStringLiteral("0123456789012345678901234567890123456789,.,.-+eE a%\u00e4\u20ac\u066b");
// Texts that numeric conversions are known to trip over.
const QStringList kNasty{"9E999", "1e308", "-0",  "NaN",       "inf",   "1,5,5", "\u066b5", "1 000",
                         "&H10",  "1d2",   "  8", "8  ",       "+8",    "(5)",   "5-",      "1.2.3",
                         "",      "-",     ",",   "0,0000001", "99999", "-9999", "1e-9",    "24",
                         "-24,5", "100",   "101", "0",         "00000", "4,"};
// Values a user would type into each field, so that runs reach the engine as often as they stop before it.
const std::map<int, QStringList> kSensible{
    {0, {"6", "7", "8", "0"}},       {1, {"16", "17", "20", "24"}},
    {4, {"300", "500", "750"}},      {5, {"8,68", "-3,7", "13.4"}},
    {6, {"50,11", "40,4", "-33.9"}}, {7, {"1", "0", "-5"}},
    {9, {"80", "50", "30", "0"}},    {-1, {"1", "2", "4", "6,5", "10", "0,5"}}};

bool IsUnhandledError(const ShownMessage& m) {
    return m.title.startsWith("frmMain:") && m.text.startsWith("Unhandled Error\r\n");
}

} // namespace

Q_DECLARE_METATYPE(Input)
Q_DECLARE_METATYPE(Run)
Q_DECLARE_METATYPE(SiteFile)
Q_DECLARE_METATYPE(Stored)

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
        // The bounds and lengths of every field are walked in the field table's own test.
        const Input rows[] = {
            {",", 3, "", "2,5", "2,5", false},   {".", 12, "", "1.,2", "1..2", false},
            {",", 0, "", "-8", "8", false},      {",", 5, "", "1-2-", "1-2-", false},
            {",", 6, "", "-5,5", "-5,5", false}, {",", 4, "", "5a0 0x", "500", false},
            {",", 3, "", "12\b3", "13", false},  {",", 2, "-1", "", "-1", true},
            {",", 11, "-0,5", "", "-0,5", true}, {",", 12, "-1", "", "-1", true},
            {",", 14, "-5", "", "-5", false},    {",", 4, "-1", "", "-1", false},
            {",", 5, "-170", "", "-170", false}, {",", 0, "", "", "", false},
            {",", 2, "-1,,", "", "-1,,", false}, {",", 3, "-", "2", "-2", true},
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
        // Which field stops a run with which message is the conversion's own test.
        const Run runs[] = {
            {"0 to 24", false, 1, "0=0 1=24", {}, "31%", kGreen, 0},
            {"start after end, English", false, 2, "0=17 1=8", {"153"}, "100%", blue, 0},
            {"start empty", false, 1, "0=", {"146"}, "100%", blue, 0},
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

    void siteFiles_data() {
        QTest::addColumn<SiteFile>("row");
        const auto failed = [](const QString& number, const QString& description) {
            return QStringLiteral("frmMain:OpenGeoFile;clsGeoFile:OpenGeoFile|Unhandled Error\r\n%1\r\n%2")
                .arg(number, description);
        };
        const QString notAFile = failed("75", "Path/File access error: sites.geo is not a regular file");
        const QByteArray good("* test sites\r\nFrankfurt am Main;8,68;50,11;1\r\nBerlin;13,4;52,52;1\r\n"
                              "FRANKFURT (ODER);14,55;52,35;1\r\nWien;16,37;48,21;1\r\n");
        const QStringList frankfurts{
            "Frankfurt am Main", "Berlin", "FRANKFURT (ODER)", "Wien", "3", "14,55", "52,35", "1"};
        const SiteFile rows[] = {
            // The last site named Frankfurt is chosen, else the first.
            {"good", good, File, "", frankfurts},
            {"cancelled", "", Cancelled, "", {}},
            {"40 000 lines",
             QByteArray("Wien;16,37;48,21;1\r\n").repeated(40000),
             File,
             failed("6", "Overflow in line 32768 of sites.geo"),
             {}},
            {"a folder", "", Folder, notAFile, {}},
            {"gone after the dialog", "", Missing, kAppTitle + '|' + Lang(1, 180), {}},
        };
        // What the reader makes of other bytes is the site-file reader's own test.
        for (const SiteFile& r : rows)
            QTest::newRow(std::get<0>(r)) << r;
    }

    void siteFiles() {
        QFETCH(SiteFile, row);
        const auto& [name, content, place, shown, sites] = row;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("sites.geo"));
        if (place == File)
            QVERIFY(Write(path, content));
        else if (place == Folder)
            QVERIFY(QDir().mkpath(path));
        Window s;
        s.desktop.files.nextFileName = place == Cancelled ? QString() : path;
        s.List(0)->SetListIndex(s.List(0)->findText(QStringLiteral("Berlin")));
        const QStringList before = SiteState(s);

        s.Key('O');
        QCOMPARE(s.desktop.files.titles + s.desktop.files.filters,
                 (QStringList{Lang(1, 179), "Geo. Dateien (*.geo)"}));
        QCOMPARE(s.Shown().replaceInStrings(path, QStringLiteral("sites.geo")),
                 shown.isEmpty() ? QStringList() : QStringList{shown});
        for (const auto& m : s.Messages())
            QCOMPARE(m.icon, QMessageBox::Warning);
        QCOMPARE(SiteState(s), sites.isEmpty() ? before : QStringList{Lang(1, 177)} + sites);
    }

    void settings_data() {
        QTest::addColumn<Stored>("row");
        const QStringList none;
        // Without a language the start texts stay and the first run cannot name its message 146.
        const QStringList noTexts{"frmMain:LoadLanguage", "frmMain:CalculateData"};
        const QStringList unusable = QStringList{"frmMain:LoadSettings"} + noTexts;
        const auto lang = [](const char* v) { return "[Settings]\nLanguage=" + QByteArray(v) + '\n'; };
        const QByteArray english = lang("2");
        const QString e = QStringLiteral("Unhandled Error\r\n");
        const QString e340 = e + "340\r\nControl array element '%1' doesn't exist";
        const Stored rows[] = {
            {"first run", "", Missing, 0, false, 1, none, "", false, "1"},
            {"English, French chosen, closed by the menu", english, File, 3, true, 2, none, "", false, "3"},
            {"leading blank, Dutch chosen", lang("\" 3\""), File, 5, false, 3, none, "", false, "5"},
            {"zero, English chosen", lang("0"), File, 2, false, 0, unusable, e340.arg(0), false, "2"},
            {"seven, English by menu", lang("7"), File, 2, true, 0, unusable, e340.arg(7), false, "2"},
            {"garbage", Junk(300), File, 0, false, 1, none, "", false, "1"},
            {"broken section line", "[Settings\nLanguage=2\n", File, 0, false, 2, none, "", false, "2"},
            {"not a number", lang("zwei"), File, 0, false, 0, noTexts,
             e + "326\r\nResource with identifier '-900' not found", false, "0"},
            {"too big", lang("99999999999"), File, 0, false, 0, unusable, e + "6\r\nOverflow", false, "0"},
            {"configuration file is a folder", "", Folder, 3, false, 0, unusable, e75, true, ""},
            {"folder read-only, French chosen", english, FolderReadOnly, 3, false, 2, none, "", true, "2"},
            {"file read-only, French chosen", english, FileReadOnly, 3, false, 2, none, "", true, "2"},
            {"folder cannot be created", "", FolderUnderAFile, 0, false, 1, none, "", true, ""},
        };
        for (const Stored& r : rows)
            QTest::newRow(std::get<0>(r)) << r;
    }

    void settings() {
        QFETCH(Stored, row);
        const auto& [name, stored, place, chosen, byMenu, language, startTitles, firstText, saveFails,
                     storedAfter] = row;
        QTemporaryDir home;
        const QString folder = home.filePath(place == FolderUnderAFile ? "file/config" : "config");
        const QString file = folder + QStringLiteral("/KORVANE Energy.conf");
        QVERIFY(place == FolderUnderAFile ? Write(home.filePath("file"), "not a folder")
                                          : QDir().mkpath(place == Folder ? file : folder));
        QVERIFY(place == Missing || place == Folder || place == FolderUnderAFile || Write(file, stored));
        if (place == FileReadOnly || place == FolderReadOnly)
            QVERIFY(QFile::setPermissions(place == FileReadOnly ? file : folder,
                                          QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);

        {
            const ScopedPermissionsApply permissions;
            QtSettingsStore store;
            Window s(std::nullopt, QString(), &store);
            QCOMPARE(gLanguage, int16_t(language));
            for (int i = 1; i <= 6; ++i)
                QCOMPARE(s.Find<VbMenuItem>(ElementName("mnuLangCmd", i))->isChecked(), i == language);
            QCOMPARE(s.Shown(true), startTitles);
            QCOMPARE(s.Shown().value(0).section('|', 1), firstText);
            // Without a language the start texts stay and the sites are read all the same.
            QCOMPARE(s.Calculate(), Lang(language == 0 ? 1 : language, 159));
            QCOMPARE(s.List(0)->currentText(), QStringLiteral("Frankfurt am Main"));
            if (chosen != 0) { // choosing a language repairs the window
                s.Key(kLanguageKeys[chosen - 1]);
                QCOMPARE(s.Calculate(), Lang(chosen, 159));
                QCOMPARE(s.List(1)->ListCount(), 13);
            }
            // The language is stored on closing only.
            QCOMPARE(Read(file), place == Folder || place == FolderUnderAFile ? QByteArray() : stored);
            s.Messages().clear();
            byMenu ? s.Find<QAction>("mnuFileCmd(1)")->trigger() : void(s.window->close());
            QVERIFY(!s.window->isVisible());
            QCOMPARE(s.Shown(), saveFails ? QStringList{"frmMain:SaveSettings|" + e75} : QStringList());
        }

        QFile::setPermissions(folder,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(QFileInfo(file).isDir(), place == Folder);
        // As plain text: a QSettings here would still hold the change that failed, and write it.
        const QByteArray text = Read(file);
        QCOMPARE(QRegularExpression("Language=(\\S*)").match(QString::fromLatin1(text)).captured(1),
                 storedAfter);
        if (place == FolderReadOnly || place == FileReadOnly)
            QCOMPARE(text, stored);
    }

    // Every run ends in a result, message 146 or 153, a red field with the engine's message, or an "Unhandled
    // Error" box; no action crashes, hangs (Qt Test's watchdog) or sends the focus to and fro.
    void randomUse_data() {
        QTest::addColumn<unsigned>("seed");
        QTest::addColumn<QString>("separator");
        QTest::newRow("comma, seed 1") << 1u << ",";
        QTest::newRow("point, seed 2") << 2u << ".";
        QTest::newRow("separator unreadable, seed 3") << 3u << "";
    }

    void randomUse() {
        QFETCH(unsigned, seed);
        QFETCH(QString, separator);
        std::mt19937 rng(seed);
        const auto chance = [&](int below) { return std::uniform_int_distribution<int>(0, 99)(rng) < below; };
        const auto any = [&](qsizetype count) {
            return std::uniform_int_distribution<int>(0, int(count) - 1)(rng);
        };
        // Random characters, up to a little more than the field takes, or else a nasty text.
        const auto randomText = [&](const VbTextBox* field, int percent) {
            QString text = chance(percent) ? QString() : kNasty[any(kNasty.size())];
            for (int n = text.isNull() ? any(field->maxLength() + 3) : 0; n > 0; --n)
                text += kPool.at(any(kPool.size()));
            return text;
        };
        // Each character as a key press; characters beyond ASCII come as keys that type them.
        const auto type = [](QWidget* widget, const QString& text) {
            for (const QChar c : text)
                QTest::sendKeyEvent(QTest::Click, widget,
                                    c.unicode() < 0x80 ? QTest::asciiToKey(c.toLatin1()) : Qt::Key_unknown,
                                    QString(c), Qt::NoModifier);
        };

        Window w(QString::number(1 + any(6)), QString(), nullptr, separator.toStdString());
        QCOMPARE(w.Result(), QStringLiteral("69%"));
        int focusChanges = 0;
        // Bound to a local object, so that a failed check leaves no connection to this frame behind.
        QObject counting;
        connect(qApp, &QApplication::focusChanged, &counting, [&] { ++focusChanges; });
        QString action;

        for (int step = 0; step < kActions; ++step) {
            QList<VbTextBox*> fields;
            for (const int i : kFields)
                if (w.Field(i)->isVisible() && w.Field(i)->isEnabled())
                    fields << w.Field(i);
            VbTextBox* field = fields[any(fields.size())];
            const qsizetype shownBefore = qsizetype(w.Messages().size());
            const QString resultBefore = w.Result();
            const QColor colorBefore = w.ResultColor();
            const int beepsBefore = w.desktop.beep.count;
            const int language = gLanguage;
            focusChanges = 0;

            const int kind = any(94);
            if (kind < 36) {
                const bool sensible = kind < 28;
                const QStringList& values =
                    kSensible.count(field->Index()) ? kSensible.at(field->Index()) : kSensible.at(-1);
                const QString text = sensible ? values[any(values.size())] : randomText(field, 70);
                action = "type '" + text + "' into " + field->objectName();
                QTest::mouseClick(field, Qt::LeftButton);
                if (sensible)
                    field->selectAll();
                else if (chance(50))
                    QTest::keyClick(field, Qt::Key_End);
                for (int i = sensible ? 0 : any(3); i > 0; --i)
                    QTest::keyClick(field, Qt::Key_Backspace);
                type(field, text);
            } else if (kind < 44) {
                const QString text = randomText(field, 50);
                action = "paste '" + text + "' into " + field->objectName();
                QApplication::clipboard()->setText(text);
                QTest::mouseClick(field, Qt::LeftButton);
                if (chance(70))
                    field->selectAll();
                QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
            } else if (kind < 50) {
                const bool back = chance(30);
                const int count = 1 + any(4);
                action = QStringLiteral("%1 x %2").arg(back ? "Shift+Tab" : "Tab").arg(count);
                for (int i = 0; i < count; ++i)
                    QTest::keyClick(
                        QApplication::focusWidget() ? QApplication::focusWidget() : w.window.get(),
                        back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
            } else if (kind < 54) {
                QList<VbOptionButton*> options = w.window->findChildren<VbOptionButton*>();
                options.removeIf([](const VbOptionButton* option) { return !option->isVisible(); });
                if (options.isEmpty())
                    continue;
                VbOptionButton* option = options[any(options.size())];
                action = "click " + option->objectName();
                QTest::mouseClick(option, Qt::LeftButton);
            } else if (kind < 60) {
                const Qt::Key moves[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End,
                                         Qt::Key_PageDown};
                VbComboBox* list = w.List(any(3));
                const Qt::Key move = moves[any(5)];
                action = QStringLiteral("key %1 in %2").arg(move).arg(list->objectName());
                list->setFocus(Qt::MouseFocusReason);
                QTest::keyClick(list, move);
            } else if (kind < 65) {
                const int tab = 1 + any(3);
                action = QStringLiteral("tab %1").arg(tab);
                w.ClickTab(tab);
            } else if (kind < 69) {
                const int chosen = any(6);
                action = QStringLiteral("language %1").arg(chosen + 1);
                w.Key(kLanguageKeys[chosen]);
            } else {
                action = kind >= 87 ? "Print" : "Calculate";
                w.Click(kind >= 87 ? "cmdPrint" : "cmdCalculate");
            }
            // Let every queued focus change land, then make sure no more are coming.
            for (int i = 0; i < 3; ++i)
                QCoreApplication::processEvents();
            const int settled = focusChanges;
            QCoreApplication::processEvents();
            const QString where = QStringLiteral("step %1: %2: %3 focus changes, result %4, messages: %5")
                                      .arg(QString::number(step), action, QString::number(focusChanges),
                                           w.Result(), w.Shown().mid(shownBefore).join(" / "));
            QVERIFY2(focusChanges == settled && focusChanges <= kMaxFocusChangesPerAction, qPrintable(where));
            QVERIFY2(QRegularExpression("^(100|[1-9]?\\d)%$").match(w.Result()).hasMatch() &&
                         (w.ResultColor() == kGreen || w.ResultColor() == kRed),
                     qPrintable(where));
            const QList<ShownMessage> shown(w.Messages().begin() + shownBefore, w.Messages().end());
            if (kind < 69) {
                QVERIFY2(std::all_of(shown.begin(), shown.end(), IsUnhandledError), qPrintable(where));
                continue;
            }
            // Print goes on after the run, and what it shows then is its own business: the first message
            // tells the run's outcome.
            QVERIFY2(kind >= 87 || shown.size() <= 1, qPrintable(where));
            const ShownMessage first = shown.value(0);
            const bool refused = first.title == kAppTitle &&
                                 (first.text == Lang(language, 146) || first.text == Lang(language, 153));
            // A value out of its field's range stops the run with the beep of the check on leaving.
            const bool beeped = w.desktop.beep.count > beepsBefore;
            const bool fine =
                shown.empty() ? w.ResultColor() == kGreen ||
                                    (beeped && w.Result() == resultBefore && w.ResultColor() == colorBefore)
                : refused                  ? w.Result() == resultBefore && w.ResultColor() == colorBefore
                : first.title == kAppTitle ? w.ResultColor() == kRed && !first.text.isEmpty()
                                           : IsUnhandledError(first);
            QVERIFY2(fine && (shown.empty() || first.icon == QMessageBox::Warning), qPrintable(where));
        }
        QVERIFY(w.window->close());
    }
};

QTEST_MAIN(frmMainTest)
#include "frmMain_test.moc"
