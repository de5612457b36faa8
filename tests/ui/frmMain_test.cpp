// The main window as a user meets it: start-up, typing, leaving fields, lists and tabs, sites from files,
// switching languages, the calculation run and the remembered language.

#include "FakeSeams.h"
#include "LayoutCheck.h"
#include "VbControls.h"
#include "clsInputOutput.h"
#include "clsLocalInfo.h"
#include "frmMain.h"
#include "modLangConstants.h"

#include "VbError.h"

#include <QApplication>
#include <QMenu>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace korvane;
using namespace korvane::ui;

namespace {

QString Lang(int language, int baseId) {
    const auto entry = FindLangEntry((language - 1) * 1000 + baseId);
    return entry ? QString::fromUtf8(entry->data(), static_cast<qsizetype>(entry->size())) : QString();
}

const QString kAppTitle = QStringLiteral("KORVANE Energy");
const QColor kGreen(0, 192, 0);
const QColor kRed(255, 0, 0);

// The window started as the program starts it, with the test doubles of the desktop.
struct Started {
    test::FakeDesktop desktop;
    std::unique_ptr<frmMain> window;

    explicit Started(std::optional<QString> storedLanguage = std::nullopt, QString folder = QString()) {
        if (storedLanguage)
            desktop.settings.SetLanguage(*storedLanguage);
        window = std::make_unique<frmMain>(desktop.seams(), folder);
        window->Load();
        window->show();
        window->activateWindow();
    }
    bool Active() { return QTest::qWaitForWindowActive(window.get()); }

    template <class T> T* Find(const QString& name) const {
        T* found = window->findChild<T*>(name);
        if (found == nullptr)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    VbTextBox* Field(int i) const { return Find<VbTextBox>(ElementName("txtInput", i)); }
    VbComboBox* List(int i) const { return Find<VbComboBox>(ElementName("lstInput", i)); }
    QWidget* Panel(int i) const { return Find<QWidget>(ElementName("picWindowType", i)); }
    VbMenuItem* LangItem(int i) const { return Find<VbMenuItem>(ElementName("mnuLangCmd", i)); }
    VbTabStrip* Tabs() const { return Find<VbTabStrip>("tabWindowTyp"); }
    QString Result() const { return Find<QLabel>("lblResult")->text(); }
    QColor ResultColor() const { return Find<VbPictureBox>("picResult")->BackColor(); }
    void Click(const char* button) const { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }
    std::vector<test::ShownMessage>& Messages() { return desktop.messages.shown; }
    QStringList Titles() const {
        QStringList titles;
        for (const auto& shown : desktop.messages.shown)
            titles << shown.title;
        return titles;
    }
    // Puts the focus into a field and types, as a user does.
    void Type(int field, const QString& keys) const {
        Field(field)->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(Field(field), keys);
    }
    QStringList Items(int list) const {
        QStringList items;
        for (int i = 0; i < List(list)->count(); ++i)
            items << List(list)->itemText(i);
        return items;
    }
    int CheckedLanguage() const {
        int checked = 0;
        for (int i = 1; i <= 6; ++i)
            checked = LangItem(i)->isChecked() ? (checked == 0 ? i : -1) : checked;
        return checked;
    }
};

// A site file written for one test.
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
    void init();
    void cleanup();

    void startsWithAFirstResult();
    void startsWithoutDefaultGeo();
    void windowIsFixedAndControlsHidden();
    void focusOrder();
    void noTextClippedInAnyLanguage_data();
    void noTextClippedInAnyLanguage();

    void storedLanguage_data();
    void storedLanguage();
    void languageIsStoredOnClose_data();
    void languageIsStoredOnClose();

    void keyFilter_data();
    void keyFilter();
    void rangeCheckOnLeaving_data();
    void rangeCheckOnLeaving();

    void tabShowsItsPanelOnly_data();
    void tabShowsItsPanelOnly();
    void userDefinedSiteAndGlazing();
    void sitesFromAFile();
    void siteFileFailuresKeepTheList_data();
    void siteFileFailuresKeepTheList();

    void languageSwitch_data();
    void languageSwitch();
    void languageSwitchEmptiesUserDefinedGlazing();

    void calculationRun_data();
    void calculationRun();
    void modelMessageShowsStoredPercentOnRed();
};

void frmMainTest::init() {
    gLanguage = 0;
    gDecimalSeparator = std::string(1, ',');
}

void frmMainTest::cleanup() {
    QTRY_VERIFY(QApplication::topLevelWidgets().size() <= 1);
}

// --- start-up ----------------------------------------------------------------------------------------------

void frmMainTest::startsWithAFirstResult() {
    Started s;
    QCOMPARE(s.Result(), QStringLiteral("69%"));
    QCOMPARE(s.ResultColor(), kGreen);
    QVERIFY(s.Messages().empty());
    QCOMPARE(gLanguage, int16_t(1));
    QCOMPARE(s.CheckedLanguage(), 1);
    QCOMPARE(s.List(0)->currentText(), QStringLiteral("Frankfurt am Main"));
    QCOMPARE(s.Field(5)->Text() + ' ' + s.Field(6)->Text() + ' ' + s.Field(7)->Text(),
             QStringLiteral("8,68 50,11 1"));
    QCOMPARE(s.List(1)->ListIndex(), 0);
    QCOMPARE(s.List(2)->ListIndex(), 1);
    QCOMPARE(s.Field(9)->Text(), QStringLiteral("80"));
    QVERIFY(!s.Field(5)->isEnabled() && !s.Field(9)->isEnabled());
    QCOMPARE(s.Tabs()->SelectedItem(), 1);
    QVERIFY(s.Panel(1)->isVisible() && !s.Panel(2)->isVisible() && !s.Panel(3)->isVisible());
    QCOMPARE(s.window->windowTitle(), kAppTitle);
}

void frmMainTest::startsWithoutDefaultGeo() {
    QTemporaryDir empty;
    Started s(std::nullopt, empty.path());
    QCOMPARE(s.Messages().size(), size_t(1));
    QCOMPARE(s.Messages()[0].title, kAppTitle);
    QCOMPARE(s.Messages()[0].text, Lang(1, 180));
    QCOMPARE(s.Messages()[0].icon, QMessageBox::Warning);
    QCOMPARE(s.Items(0), (QStringList{Lang(1, 177), QString()}));
    QCOMPARE(s.List(0)->ListIndex(), 1);
    QCOMPARE(s.Field(5)->Text() + s.Field(6)->Text() + s.Field(7)->Text(), QStringLiteral("000"));
    QVERIFY(s.Result().endsWith('%'));
    QVERIFY(s.Result() != QStringLiteral("100%"));
}

void frmMainTest::windowIsFixedAndControlsHidden() {
    Started s;
    QCOMPARE(s.window->centralWidget()->size(), QSize(602, 431));
    QCOMPARE(s.window->minimumSize(), s.window->maximumSize());
    QVERIFY(!s.Find<QWidget>("optWindowSlope(1)")->isVisibleTo(s.Panel(3)));
    QVERIFY(!s.Find<QWidget>("chkDLSTime")->isVisibleTo(s.window.get()));
    QCOMPARE(s.Find<QAction>("mnuFileCmd(0)")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
}

void frmMainTest::focusOrder() {
    Started s;
    QVERIFY(s.Active());
    s.Field(0)->setFocus();
    QTRY_VERIFY(s.Field(0)->hasFocus());
    QStringList visited;
    for (int i = 0; i < 14; ++i) {
        QWidget* focus = QApplication::focusWidget();
        visited << (qobject_cast<QTabBar*>(focus) ? QStringLiteral("tabWindowTyp") : focus->objectName());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    QCOMPARE(visited,
             (QStringList{"txtInput(0)", "txtInput(1)", "lstInput(1)", "txtInput(2)", "txtInput(3)",
                          "txtInput(4)", "lstInput(0)", "lstInput(2)", "tabWindowTyp", "optWindowArray(0)",
                          "txtInput(11)", "cmdCalculate", "cmdPrint", "txtInput(0)"}));
}

void frmMainTest::noTextClippedInAnyLanguage_data() {
    QTest::addColumn<int>("language");
    for (int language = 1; language <= 6; ++language)
        QTest::newRow(qPrintable(Lang(language, 104 + language - 1).remove('&'))) << language;
}

void frmMainTest::noTextClippedInAnyLanguage() {
    QFETCH(int, language);
    Started s(QString::number(language));
    QCOMPARE(test::ClippedTexts(*s.window), QStringList());
}

// --- the remembered language -------------------------------------------------------------------------------

void frmMainTest::storedLanguage_data() {
    QTest::addColumn<std::optional<QString>>("stored");
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QString>("firstText");
    const QStringList failed{"frmMain:LoadSettings", "frmMain:LoadLanguage"};
    QTest::newRow("first run") << std::optional<QString>() << 1 << QStringList() << QString();
    QTest::newRow("English") << std::optional<QString>("2") << 2 << QStringList() << QString();
    QTest::newRow("leading blank") << std::optional<QString>(" 3") << 3 << QStringList() << QString();
    QTest::newRow("Spanish") << std::optional<QString>("6") << 6 << QStringList() << QString();
    QTest::newRow("zero") << std::optional<QString>("0") << 0 << failed
                          << "Unhandled Error\r\n340\r\nControl array element '0' doesn't exist";
    QTest::newRow("seven") << std::optional<QString>("7") << 0 << failed
                           << "Unhandled Error\r\n340\r\nControl array element '7' doesn't exist";
    QTest::newRow("not a number") << std::optional<QString>("abc") << 0 << QStringList{"frmMain:LoadLanguage"}
                                  << "Unhandled Error\r\n326\r\nResource with identifier '-900' not found";
}

void frmMainTest::storedLanguage() {
    QFETCH(std::optional<QString>, stored);
    QFETCH(int, language);
    QFETCH(QStringList, titles);
    QFETCH(QString, firstText);
    Started s(stored);
    QVERIFY(s.Active());
    QCOMPARE(gLanguage, int16_t(language));
    QCOMPARE(s.CheckedLanguage(), language);
    QCOMPARE(s.Titles().mid(0, titles.size()), titles);
    if (language != 0) {
        QCOMPARE(s.Find<QPushButton>("cmdCalculate")->text(), Lang(language, 159));
        QCOMPARE(s.Result(), QStringLiteral("69%"));
        return;
    }
    QCOMPARE(s.Messages().front().text, firstText);
    // The start texts stay, the sites are read all the same, and choosing a language repairs the window.
    QCOMPARE(s.Find<QPushButton>("cmdCalculate")->text(), Lang(1, 159));
    QCOMPARE(s.List(0)->currentText(), QStringLiteral("Frankfurt am Main"));
    QTest::keyClick(s.window.get(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(s.Find<QPushButton>("cmdCalculate")->text(), Lang(2, 159));
    QCOMPARE(s.List(1)->ListCount(), 13);
}

void frmMainTest::languageIsStoredOnClose_data() {
    QTest::addColumn<std::optional<QString>>("stored");
    QTest::addColumn<int>("key"); // 0: no language chosen
    QTest::addColumn<bool>("byMenu");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first run, close box") << std::optional<QString>() << 0 << false << "1";
    QTest::newRow("first run, menu") << std::optional<QString>() << 0 << true << "1";
    QTest::newRow("Spanish to French, menu") << std::optional<QString>("6") << int(Qt::Key_F) << true << "3";
    QTest::newRow("Spanish to Dutch, close box")
        << std::optional<QString>("6") << int(Qt::Key_N) << false << "5";
    QTest::newRow("unusable stays unusable") << std::optional<QString>("9") << 0 << false << "0";
}

void frmMainTest::languageIsStoredOnClose() {
    QFETCH(std::optional<QString>, stored);
    QFETCH(int, key);
    QFETCH(bool, byMenu);
    QFETCH(QString, expected);
    Started s(stored);
    QVERIFY(s.Active());
    if (key != 0)
        QTest::keyClick(s.window.get(), Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(s.desktop.settings.saves, 0);
    if (byMenu)
        s.Find<QAction>("mnuFileCmd(1)")->trigger();
    else
        QVERIFY(s.window->close());
    QVERIFY(!s.window->isVisible());
    QCOMPARE(s.desktop.settings.saves, 1);
    QCOMPARE(s.desktop.settings.Language(), std::optional<QString>(expected));
}

// --- typing and leaving fields -----------------------------------------------------------------------------

void frmMainTest::keyFilter_data() {
    QTest::addColumn<QString>("separator");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("point types the comma") << "," << 2 << "2.5"
                                           << "2,5";
    QTest::newRow("comma stays a comma") << "," << 3 << "2,5"
                                         << "2,5";
    QTest::newRow("comma types the point") << "." << 2 << "2,5"
                                           << "2.5";
    QTest::newRow("second separator passes") << "." << 12 << "1.,2"
                                             << "1..2";
    QTest::newRow("no minus in hours") << "," << 0 << "-8"
                                       << "8";
    QTest::newRow("no minus in the room") << "," << 4 << "-500"
                                          << "500";
    QTest::newRow("no minus in the glazing") << "," << 9 << "-7"
                                             << "7";
    QTest::newRow("minus anywhere in longitude") << "," << 5 << "1-2-"
                                                 << "1-2-";
    QTest::newRow("minus in latitude") << "," << 6 << "-5,5"
                                       << "-5,5";
    QTest::newRow("minus in GMT, three at most") << "," << 7 << "-123"
                                                 << "-12";
    QTest::newRow("letters and blanks discarded") << "," << 4 << "5a0 0x"
                                                  << "500";
    QTest::newRow("length limit") << "," << 4 << "1234567"
                                  << "123456";
    QTest::newRow("backspace edits") << "," << 3 << "12\b3"
                                     << "13";
}

void frmMainTest::keyFilter() {
    QFETCH(QString, separator);
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    gDecimalSeparator = separator.toStdString();
    Started s;
    QVERIFY(s.Active());
    s.List(0)->SetListIndex(0); // user-defined site and glazing unlock their fields
    s.List(2)->SetListIndex(0);
    s.Field(field)->setFocus(Qt::TabFocusReason);
    for (const QChar c : typed) {
        if (c == '\b')
            QTest::keyClick(s.Field(field), Qt::Key_Backspace);
        else
            QTest::keyClicks(s.Field(field), QString(c));
    }
    QCOMPARE(s.Field(field)->Text(), shown);
}

void frmMainTest::rangeCheckOnLeaving_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("refused");
    QTest::newRow("start 24") << 0 << "24" << false;
    QTest::newRow("start 25") << 0 << "25" << true;
    QTest::newRow("end 0") << 1 << "0" << false;
    QTest::newRow("end 25") << 1 << "25" << true;
    QTest::newRow("GMT -24") << 7 << "-24" << false;
    QTest::newRow("GMT 24") << 7 << "24" << false;
    QTest::newRow("GMT -25") << 7 << "-25" << true;
    QTest::newRow("GMT 25") << 7 << "25" << true;
    QTest::newRow("transmittance 100") << 9 << "100" << false;
    QTest::newRow("transmittance 101") << 9 << "101" << true;
    QTest::newRow("depth negative") << 2 << "-1" << true;
    QTest::newRow("depth 0") << 2 << "0" << false;
    QTest::newRow("window height negative") << 11 << "-0,5" << true;
    QTest::newRow("flat roof area negative") << 12 << "-1" << true;
    QTest::newRow("sawtooth accepts negative") << 14 << "-5" << false;
    QTest::newRow("illuminance accepts negative") << 4 << "-1" << false;
    QTest::newRow("longitude accepts negative") << 5 << "-170" << false;
    QTest::newRow("empty passes") << 0 << "" << false;
    QTest::newRow("not a number passes") << 2 << "-1,," << false;
}

void frmMainTest::rangeCheckOnLeaving() {
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(bool, refused);
    Started s;
    QVERIFY(s.Active());
    s.List(0)->SetListIndex(0);
    s.List(2)->SetListIndex(0);
    const int panel = field == 11 ? 1 : (field == 10 || field == 12 || field == 13) ? 2 : field >= 14 ? 3 : 0;
    if (panel != 0)
        s.Tabs()->setCurrentIndex(panel - 1);
    s.Field(field)->SetText(text);
    s.Field(field)->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(s.Field(field)->hasFocus());
    QTest::keyClick(s.Field(field), Qt::Key_Tab);
    if (refused) {
        QTRY_VERIFY(s.Field(field)->hasFocus());
        QCOMPARE(s.desktop.beep.count, 1);
        QCOMPARE(s.Field(field)->selectedText(), text);
    } else {
        QVERIFY(!s.Field(field)->hasFocus());
        QCOMPARE(s.desktop.beep.count, 0);
    }
    QCOMPARE(s.Field(field)->Text(), text);
    QVERIFY(s.Messages().empty());
}

// --- lists, tabs and sites ---------------------------------------------------------------------------------

void frmMainTest::tabShowsItsPanelOnly_data() {
    QTest::addColumn<int>("tab");
    QTest::addColumn<QList<int>>("emptied"); // fields of the other panels, which the run must not read
    QTest::newRow("normal window") << 1 << QList<int>{10, 12, 13, 14, 15, 16};
    QTest::newRow("flat roof") << 2 << QList<int>{11, 14, 15, 16};
    QTest::newRow("sawtooth roof") << 3 << QList<int>{10, 11, 12, 13};
}

void frmMainTest::tabShowsItsPanelOnly() {
    QFETCH(int, tab);
    QFETCH(QList<int>, emptied);
    Started s;
    QVERIFY(s.Active());
    QTest::mouseClick(s.Tabs()->tabBar(), Qt::LeftButton, {}, s.Tabs()->tabBar()->tabRect(tab - 1).center());
    QCOMPARE(s.Tabs()->SelectedItem(), tab);
    for (int panel = 1; panel <= 3; ++panel)
        QCOMPARE(s.Panel(panel)->isVisible(), panel == tab);
    for (const int field : emptied)
        s.Field(field)->SetText(QString());
    s.Click("cmdCalculate");
    QCOMPARE(s.Titles(), QStringList());
    QCOMPARE(s.ResultColor(), kGreen);
    if (tab == 3) {
        // Typing a too small room height of the sawtooth roof now changes the result.
        const QString before = s.Result();
        s.Field(15)->SetText(QStringLiteral("8"));
        s.Click("cmdCalculate");
        QVERIFY(s.Result() != before || !s.Messages().empty());
    }
}

void frmMainTest::userDefinedSiteAndGlazing() {
    Started s;
    s.List(2)->SetListIndex(0);
    QCOMPARE(s.Field(9)->Text(), QString());
    QVERIFY(s.Field(9)->isEnabled());
    s.Field(9)->SetText(QStringLiteral("65"));
    s.List(2)->SetListIndex(2);
    QCOMPARE(s.Field(9)->Text(), QStringLiteral("50"));
    QVERIFY(!s.Field(9)->isEnabled());

    s.List(0)->SetListIndex(0);
    for (const int field : {5, 6, 7}) {
        QCOMPARE(s.Field(field)->Text(), QString());
        QVERIFY(s.Field(field)->isEnabled());
    }
    s.Click("cmdCalculate");
    QCOMPARE(s.Messages().size(), size_t(1));
    QCOMPARE(s.Messages()[0].text, Lang(1, 146));
    s.List(0)->SetListIndex(s.List(0)->findText(QStringLiteral("Berlin")));
    QCOMPARE(s.Field(5)->Text() + ' ' + s.Field(6)->Text(), QStringLiteral("13,4 52,52"));
    QVERIFY(!s.Field(5)->isEnabled());

    // The period list changes nothing on the window.
    s.List(1)->SetListIndex(5);
    QCOMPARE(s.Field(5)->Text(), QStringLiteral("13,4"));
    QCOMPARE(s.Messages().size(), size_t(1));
}

void frmMainTest::sitesFromAFile() {
    QTemporaryDir dir;
    const QString path =
        WriteGeoFile(dir, "sites.geo",
                     "* test sites\r\nFrankfurt am Main;8,68;50,11;1\r\nBerlin;13,4;52,52;1\r\n"
                     "FRANKFURT (ODER);14,55;52,35;1\r\nWien;16,37;48,21;1\r\n");
    Started s;
    QVERIFY(s.Active());
    s.desktop.files.nextFileName = path;
    QTest::keyClick(s.window.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(s.desktop.files.titles, QStringList{Lang(1, 179)});
    QCOMPARE(s.desktop.files.filters, QStringList{"Geo. Dateien (*.geo)"});
    QCOMPARE(s.Items(0),
             (QStringList{Lang(1, 177), "Frankfurt am Main", "Berlin", "FRANKFURT (ODER)", "Wien"}));
    QCOMPARE(s.List(0)->ListIndex(), 3);
    QCOMPARE(s.Field(5)->Text(), QStringLiteral("14,55"));

    // Without any Frankfurt the first site is chosen; a cancelled dialog changes nothing.
    s.desktop.files.nextFileName =
        WriteGeoFile(dir, "south.geo", "Wien;16,37;48,21;1\r\nGraz;15,44;47,07;1\r\n");
    s.Find<QAction>("mnuFileCmd(0)")->trigger();
    QCOMPARE(s.Items(0), (QStringList{Lang(1, 177), "Wien", "Graz"}));
    QCOMPARE(s.List(0)->ListIndex(), 1);
    s.List(0)->SetListIndex(2);
    s.desktop.files.nextFileName.clear();
    s.Find<QAction>("mnuFileCmd(0)")->trigger();
    QCOMPARE(s.List(0)->ListIndex(), 2);
    QVERIFY(s.Messages().empty());
}

void frmMainTest::siteFileFailuresKeepTheList_data() {
    QTest::addColumn<QByteArray>("content"); // empty: the file does not exist
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("textStart");
    QTest::newRow("missing") << QByteArray() << kAppTitle << Lang(1, 180);
    QTest::newRow("no sites") << QByteArray("* only a comment\r\n")
                              << "frmMain:OpenGeoFile;clsGeoFile:OpenGeoFile"
                              << "Unhandled Error\r\n9\r\n";
    QTest::newRow("bad number") << QByteArray("Ort;acht;50;1\r\n")
                                << "frmMain:OpenGeoFile;clsGeoFile:OpenGeoFile"
                                << "Unhandled Error\r\n13\r\n";
}

void frmMainTest::siteFileFailuresKeepTheList() {
    QFETCH(QByteArray, content);
    QFETCH(QString, title);
    QFETCH(QString, textStart);
    QTemporaryDir dir;
    Started s;
    const QStringList before = s.Items(0);
    s.List(0)->SetListIndex(2);
    s.desktop.files.nextFileName =
        content.isEmpty() ? dir.filePath("nowhere.geo") : WriteGeoFile(dir, "bad.geo", content);
    s.Find<QAction>("mnuFileCmd(0)")->trigger();
    QCOMPARE(s.Messages().size(), size_t(1));
    QCOMPARE(s.Messages()[0].title, title);
    QVERIFY2(s.Messages()[0].text.startsWith(textStart), qPrintable(s.Messages()[0].text));
    QCOMPARE(s.Items(0), before);
    QCOMPARE(s.List(0)->ListIndex(), 2);
}

// --- languages ---------------------------------------------------------------------------------------------

void frmMainTest::languageSwitch_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("language");
    QTest::newRow("Ctrl+D German") << int(Qt::Key_D) << 1;
    QTest::newRow("Ctrl+E English") << int(Qt::Key_E) << 2;
    QTest::newRow("Ctrl+F French") << int(Qt::Key_F) << 3;
    QTest::newRow("Ctrl+I Italian") << int(Qt::Key_I) << 4;
    QTest::newRow("Ctrl+N Dutch") << int(Qt::Key_N) << 5;
    QTest::newRow("Ctrl+S Spanish") << int(Qt::Key_S) << 6;
}

void frmMainTest::languageSwitch() {
    QFETCH(int, key);
    QFETCH(int, language);
    Started s;
    QVERIFY(s.Active());
    s.List(1)->SetListIndex(3);
    s.List(2)->SetListIndex(3);
    s.List(0)->SetListIndex(s.List(0)->findText(QStringLiteral("Berlin")));
    s.Tabs()->setCurrentIndex(2);
    s.Field(14)->setFocus();
    QTRY_VERIFY(s.Field(14)->hasFocus());
    QTest::keyClick(s.Field(14), Qt::Key(key), Qt::ControlModifier);

    QCOMPARE(gLanguage, int16_t(language));
    QCOMPARE(s.CheckedLanguage(), language);
    QCOMPARE(s.Find<QPushButton>("cmdCalculate")->text(), Lang(language, 159));
    QCOMPARE(s.Tabs()->tabText(0), Lang(language, 131));
    QCOMPARE(s.Find<QLabel>("lblInput(17)")->text(), Lang(language, 128));
    QCOMPARE(s.Find<VbFrame>("fraRange(5)")->Caption(), Lang(language, 138));
    QCOMPARE(s.Find<QMenu>("mnuLang")->title(), Lang(language, 103));
    QCOMPARE(s.Items(1).size(), 13);
    QCOMPARE(s.Items(1).at(12), Lang(language, 173));
    QCOMPARE(s.Items(2), (QStringList{Lang(language, 177), Lang(language, 174), Lang(language, 175),
                                      Lang(language, 176)}));
    QCOMPARE(s.List(0)->itemText(0), Lang(language, 177));
    QCOMPARE(s.List(1)->ListIndex(), 3);
    QCOMPARE(s.List(2)->ListIndex(), 3);
    QCOMPARE(s.Field(9)->Text(), QStringLiteral("30"));
    // Choosing the current language changes nothing; any other refills the sites with the default chosen.
    QCOMPARE(s.List(0)->currentText(),
             language == 1 ? QStringLiteral("Berlin") : QStringLiteral("Frankfurt am Main"));
    QCOMPARE(s.Tabs()->SelectedItem(), 3);
    QCOMPARE(s.Result(), QStringLiteral("69%"));
    QCOMPARE(s.Find<VbFrame>("fraRange(4)")->Caption(), QStringLiteral("Ergebnis"));
    QCOMPARE(s.Find<QLabel>("lblUnit(11)")->text(), QStringLiteral("m²"));
    QCOMPARE(s.Find<QRadioButton>("optWindowSlope(0)")->text(), QStringLiteral("90°"));
    QCOMPARE(s.window->windowTitle(), kAppTitle);
    QVERIFY(s.Messages().empty());
}

void frmMainTest::languageSwitchEmptiesUserDefinedGlazing() {
    Started s;
    s.List(2)->SetListIndex(0);
    s.Field(9)->SetText(QStringLiteral("65"));
    s.LangItem(2)->trigger();
    QCOMPARE(s.List(2)->ListIndex(), 0);
    QCOMPARE(s.Field(9)->Text(), QString());
    QVERIFY(s.Field(9)->isEnabled());
}

// --- the calculation run -----------------------------------------------------------------------------------

void frmMainTest::calculationRun_data() {
    QTest::addColumn<QStringList>("fields"); // "index=text"
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("message"); // base id, 0 for none
    QTest::addColumn<QString>("result");
    QTest::newRow("start values") << QStringList() << 1 << "cmdCalculate" << 0 << "69%";
    QTest::newRow("print runs the calculation") << QStringList{"4=300"} << 1 << "cmdPrint" << 0 << "";
    QTest::newRow("0 to 24 is a valid run") << QStringList{"0=0", "1=24"} << 1 << "cmdCalculate" << 0 << "";
    QTest::newRow("start equals end") << QStringList{"1=8"} << 1 << "cmdCalculate" << 153 << "100%";
    QTest::newRow("start after end, English")
        << QStringList{"0=17", "1=8"} << 2 << "cmdCalculate" << 153 << "100%";
    QTest::newRow("print with start equals end") << QStringList{"1=8"} << 1 << "cmdPrint" << 153 << "100%";
    QTest::newRow("start empty") << QStringList{"0="} << 1 << "cmdCalculate" << 146 << "100%";
    QTest::newRow("end empty is not 153") << QStringList{"1="} << 1 << "cmdCalculate" << 146 << "100%";
    QTest::newRow("width empty, English") << QStringList{"3="} << 2 << "cmdCalculate" << 146 << "100%";
    QTest::newRow("width unreadable") << QStringList{"3=5,,"} << 1 << "cmdPrint" << 146 << "100%";
    QTest::newRow("window height empty") << QStringList{"11="} << 1 << "cmdCalculate" << 146 << "100%";
}

void frmMainTest::calculationRun() {
    QFETCH(QStringList, fields);
    QFETCH(int, language);
    QFETCH(QString, button);
    QFETCH(int, message);
    QFETCH(QString, result);
    Started s(QString::number(language));
    QVERIFY(s.Active());
    // A recognisable display shows whether the run reached it.
    s.Find<QLabel>("lblResult")->setText(QStringLiteral("100%"));
    s.Find<VbPictureBox>("picResult")->SetBackColor(Qt::blue);
    for (const QString& assignment : fields) {
        const auto parts = assignment.split('=');
        s.Field(parts[0].toInt())->SetText(parts[1]);
    }
    s.Click(qPrintable(button));
    if (message == 0) {
        QVERIFY(s.Messages().empty());
        QCOMPARE(s.ResultColor(), kGreen);
        QVERIFY(s.Result().endsWith('%') && s.Result() != QStringLiteral("100%"));
        if (!result.isEmpty())
            QCOMPARE(s.Result(), result);
        return;
    }
    QCOMPARE(s.Messages().size(), size_t(1));
    QCOMPARE(s.Messages()[0].text, Lang(language, message));
    QCOMPARE(s.Messages()[0].title, kAppTitle);
    QCOMPARE(s.Messages()[0].icon, QMessageBox::Warning);
    QCOMPARE(s.Result(), result);
    QCOMPARE(s.ResultColor(), QColor(Qt::blue));
    if (message == 146)
        QTRY_VERIFY(s.Field(0)->hasFocus());
}

void frmMainTest::modelMessageShowsStoredPercentOnRed() {
    Started s;
    s.Field(2)->SetText(QStringLiteral("10"));
    s.Click("cmdCalculate");

    clsInputOutput expected;
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
    QCOMPARE(s.Messages().size(), size_t(1));
    QCOMPARE(s.Messages()[0].text, Lang(1, 155));
    QCOMPARE(s.Messages()[0].title, kAppTitle);

    // The next successful run turns the field green again.
    s.Field(2)->SetText(QStringLiteral("4"));
    s.Click("cmdCalculate");
    QCOMPARE(s.Result(), QStringLiteral("69%"));
    QCOMPARE(s.ResultColor(), kGreen);
}

QTEST_MAIN(frmMainTest)
#include "frmMain_test.moc"
