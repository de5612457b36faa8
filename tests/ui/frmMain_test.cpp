// The main window as a user meets it: start-up, typing, leaving fields, lists and tabs, sites from files,
// switching languages, the calculation run and the remembered language. Bad site and settings files are
// in frmMain_badinput_test.cpp, printing in frmMain_print_test.cpp.

#include "FakeSeams.h"
#include "LayoutCheck.h"
#include "VbControls.h"
#include "VbError.h"
#include "clsInputOutput.h"
#include "clsLocalInfo.h"
#include "frmMain.h"
#include "modLangConstants.h"

#include <QApplication>
#include <QMenu>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace korvane;
using namespace korvane::ui;
using Stored = std::optional<QString>;

namespace {

QString Lang(int language, int baseId) {
    const auto entry = FindLangEntry((language - 1) * 1000 + baseId);
    return entry ? QString::fromUtf8(entry->data(), static_cast<qsizetype>(entry->size())) : QString();
}

const QString kAppTitle = QStringLiteral("KORVANE Energy");
const QColor kGreen(0, 192, 0);
const QColor kRed(255, 0, 0);

// The window started as the program starts it, with the test doubles of the desktop, and made active.
struct Started {
    test::FakeDesktop desktop;
    std::unique_ptr<frmMain> window;

    explicit Started(Stored storedLanguage = std::nullopt, QString folder = QString()) {
        if (storedLanguage)
            desktop.settings.SetLanguage(*storedLanguage);
        window = std::make_unique<frmMain>(desktop.seams(), folder);
        window->Load();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qFatal("window not active");
    }
    template <class T> T* Find(const QString& name) const {
        T* found = window->findChild<T*>(name);
        if (found == nullptr)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    VbTextBox* Field(int i) const { return Find<VbTextBox>(ElementName("txtInput", i)); }
    VbComboBox* List(int i) const { return Find<VbComboBox>(ElementName("lstInput", i)); }
    VbTabStrip* Tabs() const { return Find<VbTabStrip>("tabWindowTyp"); }
    QString Result() const { return Find<QLabel>("lblResult")->text(); }
    QColor ResultColor() const { return Find<VbPictureBox>("picResult")->BackColor(); }
    QString Calculate() const { return Find<QPushButton>("cmdCalculate")->text(); }
    void Click(const char* button) const { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
    void Key(int key) const { QTest::keyClick(window.get(), Qt::Key(key), Qt::ControlModifier); }
    void OpenSites() const { Find<QAction>("mnuFileCmd(0)")->trigger(); }
    std::vector<test::ShownMessage>& Messages() { return desktop.messages.shown; }
    QStringList Titles() const {
        QStringList titles;
        for (const auto& shown : desktop.messages.shown)
            titles << shown.title;
        return titles;
    }
    QStringList Items(int list) const {
        QStringList items;
        for (int i = 0; i < List(list)->count(); ++i)
            items << List(list)->itemText(i);
        return items;
    }
    // The one ticked language, 0 for none and -1 for several.
    int CheckedLanguage() const {
        int checked = 0;
        for (int i = 1; i <= 6; ++i)
            if (Find<VbMenuItem>(ElementName("mnuLangCmd", i))->isChecked())
                checked = checked == 0 ? i : -1;
        return checked;
    }
    // One warning box with this text under the program's title.
    void ExpectWarning(const QString& text) {
        QCOMPARE(Messages().size(), size_t(1));
        QCOMPARE(Messages()[0].title, kAppTitle);
        QCOMPARE(Messages()[0].text, text);
        QCOMPARE(Messages()[0].icon, QMessageBox::Warning);
    }
};

QString WriteGeoFile(const QTemporaryDir& dir, const char* name, const QByteArray& content) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace

class frmMainTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        gLanguage = 0;
        gDecimalSeparator = std::string(1, ',');
    }
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().size() <= 1); }

    void startsWithAFirstResult() {
        Started s;
        QCOMPARE(s.Result(), QStringLiteral("69%"));
        QCOMPARE(s.ResultColor(), kGreen);
        QVERIFY(s.Messages().empty());
        QCOMPARE(s.CheckedLanguage(), 1);
        QCOMPARE(s.List(0)->currentText(), QStringLiteral("Frankfurt am Main"));
        QCOMPARE(s.Field(5)->Text() + ' ' + s.Field(6)->Text() + ' ' + s.Field(7)->Text(),
                 QStringLiteral("8,68 50,11 1"));
        QCOMPARE(QString("%1 %2 %3")
                     .arg(s.List(1)->ListIndex())
                     .arg(s.List(2)->ListIndex())
                     .arg(s.Field(9)->Text()),
                 QStringLiteral("0 1 80"));
        QVERIFY(!s.Field(5)->isEnabled() && !s.Field(9)->isEnabled());
        QCOMPARE(s.Tabs()->SelectedItem(), 1);
        QCOMPARE(s.window->windowTitle(), kAppTitle);
        QCOMPARE(s.window->centralWidget()->size(), QSize(602, 431));
        QCOMPARE(s.window->minimumSize(), s.window->maximumSize());
        QVERIFY(!s.Find<QWidget>("optWindowSlope(1)")->isVisibleTo(s.Find<QWidget>("picWindowType(3)")));
        QVERIFY(!s.Find<QWidget>("chkDLSTime")->isVisibleTo(s.window.get()));
        QCOMPARE(s.Find<QAction>("mnuFileCmd(0)")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    }

    void startsWithoutDefaultGeo() {
        QTemporaryDir empty;
        Started s(std::nullopt, empty.path());
        s.ExpectWarning(Lang(1, 180));
        QCOMPARE(s.Items(0), (QStringList{Lang(1, 177), QString()}));
        QCOMPARE(s.List(0)->ListIndex(), 1);
        QCOMPARE(s.Field(5)->Text() + s.Field(6)->Text() + s.Field(7)->Text(), QStringLiteral("000"));
        QVERIFY(s.Result().endsWith('%'));
    }

    void focusOrder() {
        Started s;
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

    // The language read at start, then one chosen (Ctrl+key, 0 for none) and what closing stores.
    void storedLanguage_data() {
        QTest::addColumn<Stored>("stored");
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("firstText");
        QTest::addColumn<char>("key");
        QTest::addColumn<bool>("byMenu");
        QTest::addColumn<QString>("storedAfter");
        const QStringList failed{"frmMain:LoadSettings", "frmMain:LoadLanguage"};
        const QString e = QStringLiteral("Unhandled Error\r\n");
        QTest::newRow("first run") << Stored() << 1 << QStringList() << QString() << '\0' << false << "1";
        QTest::newRow("English") << Stored("2") << 2 << QStringList() << QString() << 'F' << true << "3";
        QTest::newRow("leading blank")
            << Stored(" 3") << 3 << QStringList() << QString() << 'N' << false << "5";
        QTest::newRow("zero") << Stored("0") << 0 << failed
                              << e + "340\r\nControl array element '0' doesn't exist" << 'E' << false << "2";
        QTest::newRow("seven") << Stored("7") << 0 << failed
                               << e + "340\r\nControl array element '7' doesn't exist" << 'E' << true << "2";
        QTest::newRow("not a number")
            << Stored("abc") << 0 << QStringList{"frmMain:LoadLanguage"}
            << e + "326\r\nResource with identifier '-900' not found" << 'E' << false << "2";
    }

    void storedLanguage() {
        QFETCH(Stored, stored);
        QFETCH(int, language);
        QFETCH(QStringList, titles);
        QFETCH(QString, firstText);
        QFETCH(char, key);
        QFETCH(bool, byMenu);
        QFETCH(QString, storedAfter);
        Started s(stored);
        QCOMPARE(gLanguage, int16_t(language));
        QCOMPARE(s.CheckedLanguage(), language);
        QCOMPARE(s.Titles().mid(0, titles.size()), titles);
        if (language != 0) {
            QCOMPARE(s.Calculate(), Lang(language, 159));
            QCOMPARE(s.Result(), QStringLiteral("69%"));
        } else {
            QCOMPARE(s.Messages().front().text, firstText);
            // The start texts stay and the sites are read all the same.
            QCOMPARE(s.Calculate(), Lang(1, 159));
            QCOMPARE(s.List(0)->currentText(), QStringLiteral("Frankfurt am Main"));
        }
        if (key != 0)
            s.Key(Qt::Key_A + key - 'A');
        if (language == 0) { // choosing a language repairs the window
            QCOMPARE(s.Calculate(), Lang(2, 159));
            QCOMPARE(s.List(1)->ListCount(), 13);
        }
        QCOMPARE(s.desktop.settings.saves, 0);
        if (byMenu)
            s.Find<QAction>("mnuFileCmd(1)")->trigger();
        else
            QVERIFY(s.window->close());
        QVERIFY(!s.window->isVisible());
        QCOMPARE(s.desktop.settings.saves, 1);
        QCOMPARE(s.desktop.settings.Language(), Stored(storedAfter));
    }

    void keyFilter_data() {
        QTest::addColumn<QString>("separator");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("typed"); // '\b' is Backspace
        QTest::addColumn<QString>("shown");
        const struct {
            const char *separator, *typed, *shown;
            int field;
        } rows[] = {{",", "2.5", "2,5", 2},    {",", "2,5", "2,5", 3},    {".", "2,5", "2.5", 2},
                    {".", "1.,2", "1..2", 12}, {",", "-8", "8", 0},       {",", "-500", "500", 4},
                    {",", "-7", "7", 9},       {",", "1-2-", "1-2-", 5},  {",", "-5,5", "-5,5", 6},
                    {",", "-123", "-12", 7},   {",", "5a0 0x", "500", 4}, {",", "1234567", "123456", 4},
                    {",", "12\b3", "13", 3}};
        for (const auto& r : rows)
            QTest::addRow("'%s' typed in %d under '%s'", r.typed, r.field, r.separator)
                << QString(r.separator) << r.field << QString(r.typed) << QString(r.shown);
    }

    void keyFilter() {
        QFETCH(QString, separator);
        QFETCH(int, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        gDecimalSeparator = separator.toStdString();
        Started s;
        s.List(0)->SetListIndex(0); // user-defined site and glazing unlock their fields
        s.List(2)->SetListIndex(0);
        s.Field(field)->setFocus(Qt::TabFocusReason);
        for (const QChar c : typed)
            c == '\b' ? QTest::keyClick(s.Field(field), Qt::Key_Backspace)
                      : QTest::keyClicks(s.Field(field), c);
        QCOMPARE(s.Field(field)->Text(), shown);
    }

    void rangeCheckOnLeaving_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("refused");
        const struct {
            int field;
            const char* text;
            bool refused;
        } rows[] = {{0, "24", false},   {0, "25", true},  {1, "0", false},   {1, "25", true},
                    {7, "-24", false},  {7, "24", false}, {7, "-25", true},  {7, "25", true},
                    {9, "100", false},  {9, "101", true}, {2, "-1", true},   {2, "0", false},
                    {11, "-0,5", true}, {12, "-1", true}, {14, "-5", false}, {4, "-1", false},
                    {5, "-170", false}, {0, "", false},   {2, "-1,,", false}};
        for (const auto& r : rows)
            QTest::addRow("'%s' in %d", r.text, r.field) << r.field << QString(r.text) << r.refused;
    }

    void rangeCheckOnLeaving() {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(bool, refused);
        Started s;
        s.List(0)->SetListIndex(0);
        s.List(2)->SetListIndex(0);
        const int panel = field == 11                                   ? 1
                          : (field == 10 || field == 12 || field == 13) ? 2
                          : field >= 14                                 ? 3
                                                                        : 0;
        if (panel != 0)
            s.Tabs()->setCurrentIndex(panel - 1);
        s.Field(field)->SetText(text);
        s.Field(field)->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(s.Field(field)->hasFocus());
        QTest::keyClick(s.Field(field), Qt::Key_Tab);
        if (refused) {
            QTRY_VERIFY(s.Field(field)->hasFocus());
            QCOMPARE(s.Field(field)->selectedText(), text);
        } else {
            QVERIFY(!s.Field(field)->hasFocus());
        }
        QCOMPARE(s.desktop.beep.count, refused ? 1 : 0);
        QCOMPARE(s.Field(field)->Text(), text);
        QVERIFY(s.Messages().empty());
    }

    void tabShowsItsPanelOnly_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QList<int>>("emptied"); // fields of the other panels, which the run must not read
        QTest::newRow("normal window") << 1 << QList<int>{10, 12, 13, 14, 15, 16};
        QTest::newRow("flat roof") << 2 << QList<int>{11, 14, 15, 16};
        QTest::newRow("sawtooth roof") << 3 << QList<int>{10, 11, 12, 13};
    }

    void tabShowsItsPanelOnly() {
        QFETCH(int, tab);
        QFETCH(QList<int>, emptied);
        Started s;
        QTest::mouseClick(s.Tabs()->tabBar(), Qt::LeftButton, {},
                          s.Tabs()->tabBar()->tabRect(tab - 1).center());
        QCOMPARE(s.Tabs()->SelectedItem(), tab);
        for (int panel = 1; panel <= 3; ++panel)
            QCOMPARE(s.Find<QWidget>(ElementName("picWindowType", panel))->isVisible(), panel == tab);
        for (const int field : emptied)
            s.Field(field)->SetText(QString());
        s.Click("cmdCalculate");
        QVERIFY(s.Messages().empty());
        QCOMPARE(s.ResultColor(), kGreen);
        if (tab == 3) { // a too small room height of the sawtooth roof now changes the result
            const QString before = s.Result();
            s.Field(15)->SetText(QStringLiteral("8"));
            s.Click("cmdCalculate");
            QVERIFY(s.Result() != before || !s.Messages().empty());
        }
    }

    void userDefinedSiteAndGlazing() {
        Started s;
        s.List(2)->SetListIndex(0);
        QCOMPARE(s.Field(9)->Text(), QString());
        QVERIFY(s.Field(9)->isEnabled());
        s.Field(9)->SetText(QStringLiteral("65"));
        s.List(2)->SetListIndex(2);
        QCOMPARE(s.Field(9)->Text(), QStringLiteral("50"));
        QVERIFY(!s.Field(9)->isEnabled());

        s.List(0)->SetListIndex(0);
        for (const int field : {5, 6, 7})
            QVERIFY(s.Field(field)->Text().isEmpty() && s.Field(field)->isEnabled());
        s.Click("cmdCalculate");
        s.ExpectWarning(Lang(1, 146));
        s.List(0)->SetListIndex(s.List(0)->findText(QStringLiteral("Berlin")));
        QCOMPARE(s.Field(5)->Text() + ' ' + s.Field(6)->Text(), QStringLiteral("13,4 52,52"));
        QVERIFY(!s.Field(5)->isEnabled());
        s.List(1)->SetListIndex(5); // the period list changes nothing on the window
        QCOMPARE(s.Field(5)->Text(), QStringLiteral("13,4"));
        QCOMPARE(s.Messages().size(), size_t(1));
        // Another language empties the user-defined glazing again.
        s.List(2)->SetListIndex(0);
        s.Field(9)->SetText(QStringLiteral("65"));
        s.Key(Qt::Key_E);
        QCOMPARE(s.List(2)->ListIndex(), 0);
        QVERIFY(s.Field(9)->Text().isEmpty() && s.Field(9)->isEnabled());
    }

    void sitesFromAFile() {
        QTemporaryDir dir;
        Started s;
        s.desktop.files.nextFileName =
            WriteGeoFile(dir, "sites.geo",
                         "* test sites\r\nFrankfurt am Main;8,68;50,11;1\r\nBerlin;13,4;52,52;1\r\n"
                         "FRANKFURT (ODER);14,55;52,35;1\r\nWien;16,37;48,21;1\r\n");
        s.Key(Qt::Key_O);
        QCOMPARE(s.desktop.files.titles, QStringList{Lang(1, 179)});
        QCOMPARE(s.desktop.files.filters, QStringList{"Geo. Dateien (*.geo)"});
        QCOMPARE(s.Items(0),
                 (QStringList{Lang(1, 177), "Frankfurt am Main", "Berlin", "FRANKFURT (ODER)", "Wien"}));
        QCOMPARE(s.List(0)->ListIndex(), 3);
        QCOMPARE(s.Field(5)->Text(), QStringLiteral("14,55"));

        // Without any Frankfurt the first site is chosen; a cancelled dialog changes nothing.
        s.desktop.files.nextFileName =
            WriteGeoFile(dir, "south.geo", "Wien;16,37;48,21;1\r\nGraz;15,44;47,07;1\r\n");
        s.OpenSites();
        QCOMPARE(s.Items(0), (QStringList{Lang(1, 177), "Wien", "Graz"}));
        QCOMPARE(s.List(0)->ListIndex(), 1);
        s.List(0)->SetListIndex(2);
        s.desktop.files.nextFileName.clear();
        s.OpenSites();
        QCOMPARE(s.List(0)->ListIndex(), 2);
        QVERIFY(s.Messages().empty());
    }

    void languageSwitch_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("language");
        const char keys[] = "DEFINS";
        for (int language = 1; language <= 6; ++language)
            QTest::addRow("Ctrl+%c", keys[language - 1])
                << int(Qt::Key_A + keys[language - 1] - 'A') << language;
    }

    void languageSwitch() {
        QFETCH(int, key);
        QFETCH(int, language);
        Started s;
        s.List(1)->SetListIndex(3);
        s.List(2)->SetListIndex(3);
        s.List(0)->SetListIndex(s.List(0)->findText(QStringLiteral("Berlin")));
        s.Tabs()->setCurrentIndex(2);
        s.Field(14)->setFocus(); // the shortcut works inside a field
        QTRY_VERIFY(s.Field(14)->hasFocus());
        QTest::keyClick(s.Field(14), Qt::Key(key), Qt::ControlModifier);

        QCOMPARE(gLanguage, int16_t(language));
        QCOMPARE(s.CheckedLanguage(), language);
        const auto texts = [&](int l) {
            return QStringList{Lang(l, 159), Lang(l, 131), Lang(l, 128),
                               Lang(l, 138), Lang(l, 103), Lang(l, 173)};
        };
        QCOMPARE((QStringList{s.Calculate(), s.Tabs()->tabText(0), s.Find<QLabel>("lblInput(17)")->text(),
                              s.Find<VbFrame>("fraRange(5)")->Caption(), s.Find<QMenu>("mnuLang")->title(),
                              s.List(1)->itemText(12)}),
                 texts(language));
        QCOMPARE(s.List(1)->ListCount(), 13);
        QCOMPARE(s.Items(2), (QStringList{Lang(language, 177), Lang(language, 174), Lang(language, 175),
                                          Lang(language, 176)}));
        QCOMPARE(s.List(0)->itemText(0), Lang(language, 177));
        QCOMPARE(s.List(1)->ListIndex() * 10 + s.List(2)->ListIndex(), 33);
        QCOMPARE(s.Field(9)->Text(), QStringLiteral("30"));
        // Choosing the current language changes nothing; any other refills the sites with the default chosen.
        QCOMPARE(s.List(0)->currentText(),
                 language == 1 ? QStringLiteral("Berlin") : QStringLiteral("Frankfurt am Main"));
        QCOMPARE(s.Tabs()->SelectedItem(), 3);
        QCOMPARE(s.Result(), QStringLiteral("69%"));
        // Texts that are the same in every language stay as they are.
        QCOMPARE(s.Find<VbFrame>("fraRange(4)")->Caption() + ' ' + s.Find<QLabel>("lblUnit(11)")->text() +
                     ' ' + s.Find<QRadioButton>("optWindowSlope(0)")->text() + ' ' + s.window->windowTitle(),
                 QStringLiteral("Ergebnis m² 90° ") + kAppTitle);
        QVERIFY(s.Messages().empty());
        QCOMPARE(test::ClippedTexts(*s.window), QStringList());
    }

    void calculationRun_data() {
        QTest::addColumn<QStringList>("fields"); // "index=text"
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("message"); // base id, 0 for none
        QTest::newRow("0 to 24 is a valid run") << QStringList{"0=0", "1=24"} << 1 << 0;
        QTest::newRow("start equals end") << QStringList{"1=8"} << 1 << 153;
        QTest::newRow("start after end, English") << QStringList{"0=17", "1=8"} << 2 << 153;
        QTest::newRow("start empty") << QStringList{"0="} << 1 << 146;
        QTest::newRow("end empty is not 153") << QStringList{"1="} << 1 << 146;
        QTest::newRow("width empty, English") << QStringList{"3="} << 2 << 146;
        QTest::newRow("width unreadable") << QStringList{"3=5,,"} << 1 << 146;
        QTest::newRow("window height empty") << QStringList{"11="} << 1 << 146;
    }

    void calculationRun() {
        QFETCH(QStringList, fields);
        QFETCH(int, language);
        QFETCH(int, message);
        Started s(QString::number(language));
        // A recognisable display shows whether the run reached it.
        s.Find<QLabel>("lblResult")->setText(QStringLiteral("100%"));
        s.Find<VbPictureBox>("picResult")->SetBackColor(Qt::blue);
        for (const QString& assignment : fields)
            s.Field(assignment.section('=', 0, 0).toInt())->SetText(assignment.section('=', 1));
        s.Click("cmdCalculate");
        if (message == 0) {
            QVERIFY(s.Messages().empty());
            QCOMPARE(s.ResultColor(), kGreen);
            QVERIFY(s.Result().endsWith('%') && s.Result() != QStringLiteral("100%"));
            return;
        }
        s.ExpectWarning(Lang(language, message));
        QCOMPARE(s.Result(), QStringLiteral("100%"));
        QCOMPARE(s.ResultColor(), QColor(Qt::blue));
        if (message == 146)
            QTRY_VERIFY(s.Field(0)->hasFocus());
    }

    void modelMessageShowsStoredPercentOnRed() {
        Started s;
        s.Field(2)->SetText(QStringLiteral("10"));
        s.Click("cmdCalculate");

        clsInputOutput expected; // the start values with a room depth of 10
        expected.BeginHour = 8;
        expected.EndHour = 17;
        expected.RoomDepth = 10;
        expected.RoomWidth = 5;
        expected.NominalIlluminance = 500;
        expected.Longitude = 8.68;
        expected.Latitude = 50.11;
        expected.TimeDiffGMT = 1;
        expected.Transmittance = 80;
        expected.WindowType = 1;
        expected.WindowArray = 60;
        expected.WindowHeight = 2;
        expected.WindowSlope = 90;
        QVERIFY_THROWS_EXCEPTION(VbError, expected.CalculateEnergySaving());
        QVERIFY(expected.StoredPercent().has_value() && *expected.StoredPercent() > 0);
        QCOMPARE(s.Result(), QString::number(*expected.StoredPercent()) + '%');
        QCOMPARE(s.ResultColor(), kRed);
        s.ExpectWarning(Lang(1, 155));

        // The next successful run turns the field green again.
        s.Field(2)->SetText(QStringLiteral("4"));
        s.Click("cmdCalculate");
        QCOMPARE(s.Result(), QStringLiteral("69%"));
        QCOMPARE(s.ResultColor(), kGreen);
    }
};

QTEST_MAIN(frmMainTest)
#include "frmMain_test.moc"
